#include "hardware/CfgText.h"

#include "hardware/TAS3103Registers.h"

#include <array>
#include <cstdio>
#include <vector>

namespace kv {
namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr std::size_t kLongSeparator = 68;
constexpr std::size_t kShortSeparator = 40;

// One piece of the file: a line of text, or the blocks of a subaddress range.
struct CfgPiece {
    enum class Kind { Line, Blocks };
    Kind kind;
    std::string text;
    int first = 0;
    int last = 0;
};

CfgPiece Line(std::string text) {
    return {CfgPiece::Kind::Line, std::move(text)};
}
CfgPiece Blank() {
    return Line("");
}
CfgPiece Blocks(int first, int last) {
    return {CfgPiece::Kind::Blocks, {}, first, last};
}
CfgPiece Blocks(tas3103::SubaddressRun run) {
    return Blocks(run.first, run.last);
}
CfgPiece LongSeparator() {
    return Line(std::string(kLongSeparator, '/'));
}
CfgPiece ShortSeparator() {
    return Line(std::string(kShortSeparator, '/'));
}

void AddSection(std::vector<CfgPiece>& pieces, const char* heading, tas3103::SubaddressRun run) {
    pieces.push_back(Blank());
    pieces.push_back(Line(heading));
    pieces.push_back(Blocks(run));
}

// A heading, its blocks and the blank line that closes them.
void AddClosedSection(std::vector<CfgPiece>& pieces, const char* heading,
                      tas3103::SubaddressRun run) {
    pieces.push_back(Line(heading));
    pieces.push_back(Blocks(run));
    pieces.push_back(Blank());
}

// Blocks in groups of five subaddresses, each group closed by a blank line.
template <std::size_t N>
void AddGroups(std::vector<CfgPiece>& pieces, const std::array<int, N>& groupStarts) {
    for (const int first : groupStarts) {
        pieces.push_back(Blocks(first, first + 4));
        pieces.push_back(Blank());
    }
}

// One subaddress as a run of its own.
constexpr tas3103::SubaddressRun Single(int subaddress) {
    return {subaddress, subaddress};
}

// The channel biquads of one channel.
constexpr tas3103::SubaddressRun ChannelBiquads(std::size_t channel) {
    const int first = tas3103::kChannelBiquads[channel];
    return {first, first + kBiquadsPerBand - tas3103::kInputBiquadsPerChannel - 1};
}

// A line break inside the title would start a line of its own, which a
// reader of the file could take for a subaddress or data line.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return text;
}

std::vector<CfgPiece> Layout(const std::string& title) {
    std::vector<CfgPiece> p;
    p.push_back(LongSeparator());
    p.push_back(Line("// Title:     " + OneLine(title)));
    p.push_back(Line("// Target:    TAS3103 / 24LC64"));
    p.push_back(Line("// Generator: Kestrelvane v1.0 - Veldrasound HMQ27 crossover designer"));
    p.push_back(LongSeparator());
    using namespace tas3103;
    AddSection(p, "// 01 42 24 33 => I2S Data Format - I2S Master Mode - Analog In",
               Single(kSerialDataFormat));
    AddSection(p, "// Starting I2C Check word", Single(kStartCheckWord));
    AddSection(p, "// INPUT MIXER", kInputMixers);
    AddSection(p, "// EFFECTS BLOCKS MIXES", kEffectsMixers);
    AddSection(p, "// INPUT BIQUADS", kInputBiquadRun);
    AddSection(p, "// Reverb Bypass (Rg0 / Inline (Rg1) Mixers", kReverbMixerRun);
    AddSection(p, "// CH1 BIQUADS", ChannelBiquads(0));
    AddSection(p, "// CH2 BIQUADS", ChannelBiquads(1));
    AddSection(p, "// CH3 BIQUADS", ChannelBiquads(2));
    AddSection(p, "// Bass and Treble Bypass / Inline Mixers", kToneMixerRun);
    AddSection(p, "// DRC Input Mixers", kDrcInputMixers);
    AddSection(p, "// DRC Inline / Bypass Mixers", kDrcMixerRun);
    AddSection(p, "// Dither Output Gain Mixers", kDitherGainMixers);
    AddSection(p, "// Input Mixers Into Spectrum Analyzer / VU Meter", kMeterInputMixerRun);
    AddSection(p, "// Spectrum Analyzer / VU Meter", Single(kMeter));
    AddSection(p, "// Output Mixer Gains", kOutputMixers);
    p.push_back(Blank());
    p.push_back(Line("// Loudness Coefficients"));
    AddGroups(p, kLoudness);
    p.push_back(Line("// DRC Coefficients"));
    AddGroups(p, kDrc);
    AddClosedSection(p, "// Spectrum Analyzer / VU Meter Coefficients", kMeterCoefficients);
    AddClosedSection(p, "// Dither Stream Generation Coefficients", kDitherCoefficients);
    p.push_back(ShortSeparator());
    p.push_back(Blocks(kUnlabelledBlocks));
    p.push_back(Blank());
    AddClosedSection(p, "// Ch1 / Ch2 Effects Block Outputs to Ch3 Input", kCrossChannelMixers);
    AddClosedSection(p, "// Watchdog Timer Enable - LSB = 0 => Enabled", Single(kWatchdog));
    AddClosedSection(p, "// GPIO", Single(kGpio));
    AddClosedSection(p, "// Volume Coefficients", Single(kVolumeCoefficients));
    AddClosedSection(p, "// Volume Slew Rate and Bass & Treble Slew Rate", Single(kSlewRates));
    AddClosedSection(p, "// CH1 Volume (5.23 precision)", Single(kVolume));
    AddClosedSection(p, "// CH2 Volume (5.23 precision)", Single(kVolume + 1));
    AddClosedSection(p, "// CH3 Volume (5.23 precision)", Single(kVolume + 2));
    AddClosedSection(p, "// Bass & Treble Selections", {kBassCorners, kTrebleGains});
    AddClosedSection(p, "// Delay / Reverb Settings", Single(kDelays));
    AddClosedSection(p, "// M and N Settings for I2C Controller", Single(kI2cMandN));
    p.push_back(ShortSeparator());
    AddClosedSection(p, "// Ending I2C Check word", Single(tas3103::kEndCheckWord));
    p.push_back(ShortSeparator());
    p.push_back(Line("// End Of File"));
    p.push_back(ShortSeparator());
    return p;
}

// The subaddress line, then one line per word of its data.
void AppendBlock(std::string& text, const CTAS3103& tas, const CTAS3103::Image& image,
                 int subaddress) {
    char line[16];
    std::snprintf(line, sizeof line, "X%02x", subaddress);
    text += line;
    text += kLineEnd;
    const std::size_t offset = tas.Offset(subaddress);
    for (std::size_t at = offset; at + 4 <= offset + tas.Size(subaddress); at += 4) {
        std::snprintf(line, sizeof line, "%02X %02X %02X %02X", image[at], image[at + 1],
                      image[at + 2], image[at + 3]);
        text += line;
        text += kLineEnd;
    }
}

} // namespace

std::string FormatCfgText(const CTAS3103& tas, const std::string& title,
                          const CTAS3103::Image& image) {
    std::string text;
    for (const CfgPiece& piece : Layout(title)) {
        if (piece.kind == CfgPiece::Kind::Line) {
            text += piece.text;
            text += kLineEnd;
            continue;
        }
        for (int s = piece.first; s <= piece.last; ++s) {
            AppendBlock(text, tas, image, s);
        }
    }
    return text;
}

} // namespace kv
