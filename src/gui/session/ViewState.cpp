#include "session/ViewState.h"

#include "hardware/UnitProgramming.h"
#include "math/Rounding.h"
#include "model/MainGrid.h"
#include "ui/ISettings.h"

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
}};

} // namespace

void ViewState::Read(const ISettings& settings) {
    const ShowFlags defaults = DefaultShowFlags();
    for (const FlagSetting& setting : kFlagSettings) {
        source_.showFlags[setting.flag] =
            settings.GetInt(kShowCurves, setting.name, defaults[setting.flag] ? 1 : 0) != 0;
    }
    port_ = ReadPort(settings, kWindowPort);
    source_.visiblePirLength = kMainPirLength;
}

void ViewState::Write(ISettings& settings) const {
    for (const FlagSetting& setting : kFlagSettings) {
        settings.SetInt(kShowCurves, setting.name, source_.showFlags[setting.flag] ? 1 : 0);
    }
    WritePort(settings, kWindowPort, port_);
    settings.SetInt(kShowCurves, kPirLengthName,
                    static_cast<int>(RoundHalfAway(source_.visiblePirLength * 1000.0)));
}

} // namespace kv
