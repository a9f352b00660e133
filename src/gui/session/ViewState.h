#pragma once

#include "graphs/CCurveBase.h"

#include <array>
#include <string>

namespace kv {

class CConfiguration;
class ISettings;
class VDoubleVec;

// The selected block of the schematic: its kind (a BlockKind) and band; -1
// and -1 when nothing is selected.
struct BlockSelection {
    int kind = -1;
    int band = -1;
};

// The lengths the PIR views offer, in seconds: 5, 10, 20, 50 and 100 ms.
inline constexpr std::array<double, 5> kPirLengths = {0.005, 0.01, 0.02, 0.05, 0.1};

// The response panes, for what each has of its own.
enum class PaneKind { Band, Total };

// How the window looks at the design: the selected block, the band the band
// pane shows, the display switches, the PIR length, each pane's level range
// and the serial port. The switches, the PIR length and the port are kept in
// the settings between runs.
class ViewState {
public:
    ViewState(CConfiguration& design, const VDoubleVec& grid) : source_{design, grid} {}

    // What the response panes and zoomed windows draw from.
    ResponseViewSource& Source() { return source_; }
    ShowFlags& Flags() { return source_.showFlags; }
    const ShowFlags& Flags() const { return source_.showFlags; }
    double PirLength() const { return source_.visiblePirLength; }
    // One of kPirLengths; false, changing nothing, for any other length.
    bool SetPirLength(double seconds);

    // The span of a pane's level axis, in dB, while the user has not zoomed
    // it; kept within the spans a level axis takes.
    double LevelRange(PaneKind pane) const;
    void SetLevelRange(PaneKind pane, double dB);

    // The band the band pane shows; -1 for none.
    int CurrentBand() const { return source_.currentBand; }
    void SetCurrentBand(int band) { source_.currentBand = band; }
    const BlockSelection& Selection() const { return selection_; }
    void Select(const BlockSelection& selection) { selection_ = selection; }
    void ClearSelection() { selection_ = {}; }

    // The port Update HMQ programs through, as the user chose or typed it
    // ("/dev/ttyUSB0", "COM3"); empty when none is chosen yet.
    const std::string& Port() const { return port_; }
    void SetPort(const std::string& port) { port_ = port; }

    // The switches, the PIR length and the port as the last run left them;
    // a PIR length that is none of kPirLengths gives 20 ms.
    void Read(const ISettings& settings);
    void Write(ISettings& settings) const;

private:
    ResponseViewSource source_;
    BlockSelection selection_;
    std::string port_;
};

} // namespace kv
