#include "hardware/CfgText.h"

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
CfgPiece LongSeparator() {
    return Line(std::string(kLongSeparator, '/'));
}
CfgPiece ShortSeparator() {
    return Line(std::string(kShortSeparator, '/'));
}

void AddSection(std::vector<CfgPiece>& pieces, const char* heading, int first, int last) {
    pieces.push_back(Blank());
    pieces.push_back(Line(heading));
    pieces.push_back(Blocks(first, last));
}

// A heading, its blocks and the blank line that closes them.
void AddClosedSection(std::vector<CfgPiece>& pieces, const char* heading, int first, int last) {
    pieces.push_back(Line(heading));
    pieces.push_back(Blocks(first, last));
    pieces.push_back(Blank());
}

// Blocks in groups of five subaddresses, each group closed by a blank line.
void AddGroups(std::vector<CfgPiece>& pieces, std::initializer_list<int> groupStarts) {
    for (const int first : groupStarts) {
        pieces.push_back(Blocks(first, first + 4));
        pieces.push_back(Blank());
    }
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
    AddSection(p, "// 01 42 24 33 => I2S Data Format - I2S Master Mode - Analog In", 0xF9, 0xF9);
    AddSection(p, "// Starting I2C Check word", 0x00, 0x00);
    AddSection(p, "// INPUT MIXER", 0x01, 0x24);
    AddSection(p, "// EFFECTS BLOCKS MIXES", 0x25, 0x33);
    AddSection(p, "// INPUT BIQUADS", 0x34, 0x4B);
    AddSection(p, "// Reverb Bypass (Rg0 / Inline (Rg1) Mixers", 0x4C, 0x4E);
    AddSection(p, "// CH1 BIQUADS", 0x4F, 0x5A);
    AddSection(p, "// CH2 BIQUADS", 0x5B, 0x66);
    AddSection(p, "// CH3 BIQUADS", 0x67, 0x72);
    AddSection(p, "// Bass and Treble Bypass / Inline Mixers", 0x73, 0x75);
    AddSection(p, "// DRC Input Mixers", 0x76, 0x7B);
    AddSection(p, "// DRC Inline / Bypass Mixers", 0x7C, 0x7E);
    AddSection(p, "// Dither Output Gain Mixers", 0x7F, 0x83);
    AddSection(p, "// Input Mixers Into Spectrum Analyzer / VU Meter", 0x84, 0x88);
    AddSection(p, "// Spectrum Analyzer / VU Meter", 0x89, 0x89);
    AddSection(p, "// Output Mixer Gains", 0x8A, 0xA1);
    p.push_back(Blank());
    p.push_back(Line("// Loudness Coefficients"));
    AddGroups(p, {0xA2, 0xA7, 0xAC});
    p.push_back(Line("// DRC Coefficients"));
    AddGroups(p, {0xB1, 0xB6});
    AddClosedSection(p, "// Spectrum Analyzer / VU Meter Coefficients", 0xBB, 0xC5);
    AddClosedSection(p, "// Dither Stream Generation Coefficients", 0xC6, 0xC7);
    p.push_back(ShortSeparator());
    p.push_back(Blocks(0xCA, 0xCF));
    p.push_back(Blank());
    AddClosedSection(p, "// Ch1 / Ch2 Effects Block Outputs to Ch3 Input", 0xD0, 0xD1);
    AddClosedSection(p, "// Watchdog Timer Enable - LSB = 0 => Enabled", 0xEB, 0xEB);
    AddClosedSection(p, "// GPIO", 0xEF, 0xEF);
    AddClosedSection(p, "// Volume Coefficients", 0xF0, 0xF0);
    AddClosedSection(p, "// Volume Slew Rate and Bass & Treble Slew Rate", 0xF1, 0xF1);
    AddClosedSection(p, "// CH1 Volume (5.23 precision)", 0xF2, 0xF2);
    AddClosedSection(p, "// CH2 Volume (5.23 precision)", 0xF3, 0xF3);
    AddClosedSection(p, "// CH3 Volume (5.23 precision)", 0xF4, 0xF4);
    AddClosedSection(p, "// Bass & Treble Selections", 0xF5, 0xF8);
    AddClosedSection(p, "// Delay / Reverb Settings", 0xFA, 0xFA);
    AddClosedSection(p, "// M and N Settings for I2C Controller", 0xFB, 0xFB);
    p.push_back(ShortSeparator());
    AddClosedSection(p, "// Ending I2C Check word", 0xFC, 0xFC);
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
