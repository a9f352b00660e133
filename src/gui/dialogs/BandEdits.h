#pragma once

#include <array>
#include <string>

namespace kv {

class CBand;

// The edits of the utility dialogs that need more than one setter, without
// the dialogs.

// Bass and treble as the "Bass & Treble" dialog edits them.
struct ToneSettings {
    int bassCorner = 0;
    int trebleCorner = 0;
    double bassGain = 0.0;
    double trebleGain = 0.0;
};
ToneSettings ReadTone(const CBand& band);
// Sets the bass gain, then the treble gain, each rounded to the TAS3103's
// 0.5 dB steps: a gain between them would be refused only when the unit is
// programmed, far from where it was typed.
void SetToneGains(CBand& band, double bassDb, double trebleDb);
void SetToneCorners(CBand& band, int bassSelection, int trebleSelection);
// Corners first, then gains, as they were.
void RestoreTone(CBand& band, const ToneSettings& tone);
// The five corner frequencies of the band's sample rate, as the corner lists
// show them ("1500 Hz"), for selections 1 to 5.
std::array<std::string, 5> CornerTexts(const CBand& band, bool treble);

// Routing, gain, mute and polarity as the "Routing & Gain" dialog edits them.
struct RoutingSettings {
    int input = 0;
    double gain = 0.0;
    bool muted = false;
    bool reversedPhase = false;
};
RoutingSettings ReadRouting(const CBand& band);
void RestoreRouting(CBand& band, const RoutingSettings& routing);

} // namespace kv
