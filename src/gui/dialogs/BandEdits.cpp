#include "dialogs/BandEdits.h"

#include "archive/VString.h"
#include "model/CBand.h"

#include <cmath>

namespace kv {
namespace {

// The chip plays bass and treble in 0.5 dB steps only.
double RoundedToToneGrid(double dB) {
    return std::round(dB / kToneGainStepDb) * kToneGainStepDb;
}

} // namespace

ToneSettings ReadTone(const CBand& band) {
    return {band.bassCorner, band.trebleCorner, band.bassGain, band.trebleGain};
}

void SetToneGains(CBand& band, double bassDb, double trebleDb) {
    band.SetBassGain(RoundedToToneGrid(bassDb));
    band.SetTrebleGain(RoundedToToneGrid(trebleDb));
}

void SetToneCorners(CBand& band, int bassSelection, int trebleSelection) {
    band.SetBassCorner(bassSelection);
    band.SetTrebleCorner(trebleSelection);
}

void RestoreTone(CBand& band, const ToneSettings& tone) {
    SetToneCorners(band, tone.bassCorner, tone.trebleCorner);
    band.SetBassGain(tone.bassGain);
    band.SetTrebleGain(tone.trebleGain);
}

std::array<std::string, 5> CornerTexts(const CBand& band, bool treble) {
    std::array<std::string, 5> texts;
    for (int selection = kMinToneCorner; selection <= kMaxToneCorner; ++selection) {
        VString text;
        text.Format("%.0lf Hz", ToneCornerHz(treble, selection, band.SampleRate()));
        texts[static_cast<std::size_t>(selection - kMinToneCorner)] = text;
    }
    return texts;
}

RoutingSettings ReadRouting(const CBand& band) {
    return {band.input, band.gain, band.muted, band.reversedPhase};
}

void RestoreRouting(CBand& band, const RoutingSettings& routing) {
    band.SetInput(routing.input);
    band.SetGain(routing.gain);
    band.SetMuted(routing.muted);
    band.SetReversedPhase(routing.reversedPhase);
}

} // namespace kv
