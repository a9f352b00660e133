#include "session/ViewState.h"

#include "hardware/UnitProgramming.h"
#include "math/Rounding.h"
#include "model/MainGrid.h"
#include "ui/ISettings.h"

#include <algorithm>
#include <array>

namespace kv {
namespace {

constexpr const char* kShowCurves = "Show Curves";
// The port as a number too, as earlier versions keep it.
constexpr PortSettingNames kWindowPort{"Settings", "COM Port", kPortDeviceName};
constexpr const char* kPirLengthName = "Visible PIR Length";

struct FlagSetting {
    ShowFlag flag;
    const char* name;
};

constexpr std::array<FlagSetting, kShowFlagCount> kFlagSettings = {{
    {ShowFlag::ImportedSpl, "Show Imported SPL"},
    {ShowFlag::Filter, "Show Filter SPL"},
    {ShowFlag::Total, "Show Total SPL"},
    {ShowFlag::Target, "Show Target SPL"},
    {ShowFlag::SumFilter, "Show Sum Filter SPL"},
    {ShowFlag::SumTotal, "Show Sum Total SPL"},
    {ShowFlag::SumTarget, "Show Sum Target SPL"},
    {ShowFlag::Individual, "Show Individual"},
    {ShowFlag::Phase, "Show Phase"},
    {ShowFlag::GroupDelay, "Show Group-Delay"},
    {ShowFlag::UnwrappedPhase, "Show Unwrapped Phase"},
    {ShowFlag::Hardware, "Show Hardware SPL"},
    {ShowFlag::Handles, "Show Handles"},
}};

// The PIR length as the settings keep it, in whole milliseconds.
int PirMilliseconds(double seconds) {
    return static_cast<int>(RoundHalfAway(seconds * 1000.0));
}

} // namespace

void ViewState::Read(const ISettings& settings) {
    const ShowFlags defaults = DefaultShowFlags();
    for (const FlagSetting& setting : kFlagSettings) {
        source_.showFlags[setting.flag] =
            settings.GetInt(kShowCurves, setting.name, defaults[setting.flag] ? 1 : 0) != 0;
    }
    port_ = ReadPort(settings, kWindowPort);
    const int pirMs = settings.GetInt(kShowCurves, kPirLengthName, PirMilliseconds(kMainPirLength));
    source_.visiblePirLength = kMainPirLength;
    for (const double length : kPirLengths) {
        if (PirMilliseconds(length) == pirMs) {
            source_.visiblePirLength = length;
        }
    }
}

bool ViewState::SetPirLength(double seconds) {
    const bool offered =
        std::find(kPirLengths.begin(), kPirLengths.end(), seconds) != kPirLengths.end();
    if (offered) {
        source_.visiblePirLength = seconds;
    }
    return offered;
}

double ViewState::LevelRange(PaneKind pane) const {
    return pane == PaneKind::Band ? source_.bandLevelRange : source_.totalLevelRange;
}

void ViewState::SetLevelRange(PaneKind pane, double dB) {
    const double range = std::clamp(dB, kSmallestLevelSpan, kLargestLevelSpan);
    (pane == PaneKind::Band ? source_.bandLevelRange : source_.totalLevelRange) = range;
}

void ViewState::Write(ISettings& settings) const {
    for (const FlagSetting& setting : kFlagSettings) {
        settings.SetInt(kShowCurves, setting.name, source_.showFlags[setting.flag] ? 1 : 0);
    }
    WritePort(settings, kWindowPort, port_);
    settings.SetInt(kShowCurves, kPirLengthName, PirMilliseconds(source_.visiblePirLength));
}

} // namespace kv
