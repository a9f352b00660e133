#include "hardware/ProblemWords.h"

#include "math/NumberFormat.h"
#include "model/CConfiguration.h"

namespace kv {
namespace {

// "1st", "2nd", "3rd", "8th".
std::string Ordinal(int n) {
    const char* suffix = n % 100 >= 11 && n % 100 <= 13 ? "th"
                         : n % 10 == 1                  ? "st"
                         : n % 10 == 2                  ? "nd"
                         : n % 10 == 3                  ? "rd"
                                                        : "th";
    return std::to_string(n) + suffix;
}

} // namespace

std::string HzText(double f) {
    return FormatFixed(f, 0) + " Hz";
}

std::string Capitalised(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
    return text;
}

std::string SignedDbText(double dB) {
    return (dB > 0.0 ? "+" : "") + FormatFixed(dB, 1) + " dB";
}

std::string OutputName(int band) {
    return "Output " + std::to_string(band + 1);
}

std::string FilterPhrase(const CConfiguration& design, int b, const BandSection& where) {
    const CBand& band = design.bands[static_cast<std::size_t>(b)];
    const std::string of = " of " + OutputName(b);
    const auto crossover = [&](const char* kind, const char* code, const CrossoverSettings& slot) {
        return "the " + HzText(slot.freq) + " " + kind + of + " (" + code +
               std::to_string(where.item + 1) + ", " + Ordinal(slot.order) + " order)";
    };
    const std::size_t item = static_cast<std::size_t>(where.item);
    switch (where.group) {
    case FilterGroup::HighPass:
        return crossover("high-pass", "HP", band.hpFilter[item]);
    case FilterGroup::LowPass:
        return crossover("low-pass", "LP", band.lpFilter[item]);
    case FilterGroup::Notch:
        return "the " + HzText(band.notch[item].freq) + " notch" + of + " (notch " +
               std::to_string(where.item + 1) + ")";
    case FilterGroup::AllPass:
        return "the " + HzText(band.allPass.freq) + " all-pass" + of;
    case FilterGroup::LowShelf:
        return "the " + HzText(band.lowShelf.freq) + " low shelf" + of;
    case FilterGroup::HighShelf:
        return "the " + HzText(band.highShelf.freq) + " high shelf" + of;
    case FilterGroup::Peq:
        return "the " + HzText(band.peq[item].freq) + " equaliser" + of + " (EQ " +
               std::to_string(where.item + 1) + ")";
    case FilterGroup::BassTreble:
    case FilterGroup::HighPassTarget:
    case FilterGroup::LowPassTarget:
        break;
    }
    return "the " + DescribeSection(where) + of;
}

} // namespace kv
