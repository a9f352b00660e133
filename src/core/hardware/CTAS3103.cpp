#include "hardware/CTAS3103.h"

#include "filters/BandCalculators.h"
#include "filters/BiquadCalc.h"
#include "hardware/CfgText.h"
#include "math/ResponseCurves.h"
#include "math/Rounding.h"
#include "model/CConfiguration.h"
#include "model/VSafeFile.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <new>
#include <optional>

namespace kv {
namespace {

constexpr double kFixedOne = 8388608.0; // 2^23: 1.0 in 5.23
// The chip reads 28 bits (5 integer bits with the sign, 23 fraction bits),
// sign-extended into the word: -16 to just under +16.
constexpr double kFixedLowest = -134217728.0;
constexpr double kFixedHighest = 134217727.0;
constexpr std::uint32_t kWordOne = 0x00800000;
constexpr std::uint32_t kCheckWord = 0x81422418;
constexpr double kMutedLevelDb = -122.0;
constexpr double kDelayWordScale = 65536.0; // the sample count sits in the upper 16 bits
constexpr int kMissingBandCorner = 3;
// The corner selections the chip knows; each is one byte of a word shared
// by the three channels.
constexpr int kLowestCorner = 1;
constexpr int kHighestCorner = 5;

// Register map: bytes of every subaddress's data, back to back in
// subaddress order.
constexpr std::array<std::size_t, CTAS3103::kSubaddresses> RegisterSizes() {
    std::array<std::size_t, CTAS3103::kSubaddresses> sizes{};
    sizes.fill(4);
    const auto range = [&sizes](int first, int last, std::size_t bytes) {
        for (int s = first; s <= last; ++s) {
            sizes[static_cast<std::size_t>(s)] = bytes;
        }
    };
    const auto group = [&sizes](int first, std::array<std::size_t, 5> bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            sizes[static_cast<std::size_t>(first) + i] = bytes[i];
        }
    };
    range(0x34, 0x4B, 20);
    range(0x4C, 0x4E, 8);
    range(0x4F, 0x72, 20);
    range(0x73, 0x75, 8);
    range(0x7C, 0x7E, 8);
    for (const int loudness : {0xA2, 0xA7, 0xAC}) {
        group(loudness, {4, 8, 4, 8, 20});
    }
    for (const int drc : {0xB1, 0xB6}) {
        group(drc, {8, 16, 12, 16, 16});
    }
    range(0xBB, 0xBB, 8);
    range(0xBC, 0xC5, 20);
    range(0xC6, 0xC6, 8);
    range(0xC8, 0xC9, 6);
    range(0xFA, 0xFA, 12);
    return sizes;
}

constexpr std::array<std::size_t, CTAS3103::kSubaddresses> kRegisterSizes = RegisterSizes();

constexpr std::size_t TotalSize() {
    std::size_t total = 0;
    for (const std::size_t bytes : kRegisterSizes) {
        total += bytes;
    }
    return total;
}
static_assert(TotalSize() == CTAS3103::kImageSize);

// The 16 biquad subaddresses of each channel in the order a band's biquads
// fill them: four input biquads, then the twelve channel biquads.
constexpr std::array<int, CTAS3103::kBiquadSlots> BiquadSlots(int inputFirst, int channelFirst) {
    std::array<int, CTAS3103::kBiquadSlots> slots{};
    for (int k = 0; k < CTAS3103::kBiquadSlots; ++k) {
        slots[static_cast<std::size_t>(k)] = k < 4 ? inputFirst + k : channelFirst + k - 4;
    }
    return slots;
}

constexpr std::array<std::array<int, CTAS3103::kBiquadSlots>, kMaxBands> kBiquadSlotTable = {
    BiquadSlots(0x34, 0x4F), BiquadSlots(0x38, 0x5B), BiquadSlots(0x48, 0x67)};

// Input mixer entries of each channel.
struct MixerEntries {
    int inputB;
    int inputA;
};
constexpr std::array<MixerEntries, kMaxBands> kInputMixer = {
    {{0x01, 0x07}, {0x02, 0x08}, {0x06, 0x0C}}};

constexpr int kRouteInputB = 1;
constexpr int kRouteBoth = 2;

// Chip codes from +18 dB down to +0.5 dB; from 0 dB (114) the codes rise by
// one per 0.5 dB down to 150 at −18 dB.
constexpr std::array<std::uint8_t, 36> kBassBoostCodes = {
    1,  8,  16, 22, 29, 35, 40, 45, 50,  55,  59,  63,  66,  70,  73,  76,  79,  82,
    85, 88, 90, 92, 94, 96, 98, 99, 100, 102, 103, 105, 106, 107, 109, 110, 111, 113};
constexpr std::array<std::uint8_t, 36> kTrebleBoostCodes = {
    1,  9,  16, 22, 28, 34, 40, 45, 49,  53,  58,  62,  66,  69,  73,  76,  79,  82,
    85, 87, 90, 92, 94, 96, 98, 99, 101, 102, 104, 105, 107, 108, 109, 111, 112, 113};
constexpr int kFlatToneCode = 114;
constexpr int kLowestToneCode = 150;
constexpr int kGridPoints = 73;
constexpr double kToneGridTopDb = 18.0;
constexpr double kToneGridStepDb = 0.5;

double RoundToTenthDb(double dB) {
    return std::round(10.0 * dB) / 10.0;
}

std::optional<int> ToneCode(double dB, const std::array<std::uint8_t, 36>& boostCodes) {
    const double g = RoundToTenthDb(dB);
    for (int k = 0; k < kGridPoints; ++k) {
        if (RoundToTenthDb(kToneGridTopDb - kToneGridStepDb * k) == g) {
            return k < static_cast<int>(boostCodes.size())
                       ? boostCodes[static_cast<std::size_t>(k)]
                       : kFlatToneCode + k - static_cast<int>(boostCodes.size());
        }
    }
    return std::nullopt;
}

bool Fits523(double x) {
    const double v = std::floor(x * kFixedOne + 0.5);
    return v >= kFixedLowest && v <= kFixedHighest;
}

// The five words of a biquad subaddress: the denominator normalised and
// negated into the chip's feedback form, then the normalised numerator.
std::array<double, 5> BiquadWords(const BiquadCoefs& c) {
    return {-c.a1 / c.a0, -c.a2 / c.a0, c.b0 / c.a0, c.b1 / c.a0, c.b2 / c.a0};
}

// The chip's denominator is 1 − w0·z⁻¹ − w1·z⁻² in the rounded words; its
// poles lie inside the unit circle when |w1| < 1 and |w0| < 1 − w1. Judged on
// the rounded words, because a section far below the sample rate (a few Hz)
// can be stable in double precision and still have a pole exactly at z = 1
// on the chip: an integrator that drives any input offset to full scale.
bool StableOnChip(const std::array<double, 5>& words) {
    const double w0 = static_cast<std::int32_t>(CTAS3103::ToFixed523(words[0]));
    const double w1 = static_cast<std::int32_t>(CTAS3103::ToFixed523(words[1]));
    return std::fabs(w1) < kFixedOne && std::fabs(w0) < kFixedOne - w1;
}

constexpr std::array<const char*, 5> kBiquadWordNames = {"-a1/a0", "-a2/a0", "b0/a0", "b1/a0",
                                                         "b2/a0"};

[[gnu::format(printf, 1, 2)]] std::string Sentence(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// Collects the problems of one design as sentences.
class HardwareCheck {
public:
    explicit HardwareCheck(const CConfiguration& design) : design_(design) {}

    std::vector<std::string> Run() {
        if (design_.numBands < 1 || design_.numBands > kMaxBands) {
            problems_.push_back("The design has no output bands: there is nothing to program.");
            return problems_;
        }
        CheckCoefficient("The input gain", "its mixer coefficient", DbToGain(design_.inputGain));
        for (int b = 0; b < design_.numBands; ++b) {
            CheckBand(b, design_.bands[static_cast<std::size_t>(b)]);
        }
        CheckTotalDelay();
        return problems_;
    }

private:
    static std::string BandName(int b) { return "Band " + std::to_string(b + 1); }

    void CheckCoefficient(const std::string& subject, const char* name, double value) {
        if (!std::isfinite(value)) {
            problems_.push_back(Sentence("%s: %s is not a finite number.", subject.c_str(), name));
        } else if (!Fits523(value)) {
            problems_.push_back(Sentence("%s: %s is %.4g, beyond the range of the TAS3103's 5.23 "
                                         "format (-16 to +16) by %.4g.",
                                         subject.c_str(), name, value, std::fabs(value) - 16.0));
        }
    }

    void CheckBand(int b, const CBand& band) {
        const std::string name = BandName(b);
        const double level = band.muted ? kMutedLevelDb : band.gain;
        CheckCoefficient(name + " (gain)", "its volume coefficient", DbToGain(level));
        CheckDelay(name, band);
        CheckTone(name, "bass", band.bassGain, band.bassCorner);
        CheckTone(name, "treble", band.trebleGain, band.trebleCorner);
        int sections = 0;
        DesignBiquads(band, [&](const BiquadCalc& calc, const BandSection& where) {
            ++sections;
            CheckSection(name + ", " + DescribeSection(where), calc);
        });
        if (sections > CTAS3103::kBiquadSlots) {
            problems_.push_back(
                Sentence("%s needs %d biquads, but the TAS3103 has only %d per band.", name.c_str(),
                         sections, CTAS3103::kBiquadSlots));
        }
    }

    // NaN passes every comparison, so it is caught first: the sample count
    // of the delay word would be undefined.
    void CheckDelay(const std::string& name, const CBand& band) {
        if (!std::isfinite(band.delay)) {
            problems_.push_back(name + ": the delay is not a finite number.");
        } else if (band.delay < 0.0) {
            problems_.push_back(Sentence("%s: the delay of %.3f ms is negative.", name.c_str(),
                                         band.delay * 1000.0));
        } else {
            totalDelaySamples_ += std::round(band.delay * design_.sampleRate);
        }
    }

    void CheckTotalDelay() {
        if (totalDelaySamples_ > kSharedDelaySamples) {
            problems_.push_back(Sentence("The delays of the bands add up to %.0f samples, but the "
                                         "TAS3103's delay memory holds only %d.",
                                         totalDelaySamples_, kSharedDelaySamples));
        }
    }

    // A gain of exactly 0 bypasses the stage; any other gain must be one of
    // the chip's settings, or the unit would play it at -18 dB. Both stages
    // share the grid of settings. A corner outside the chip's selections
    // would spill into the neighbouring channel's byte.
    void CheckTone(const std::string& name, const char* stage, double dB, int corner) {
        if (dB != 0.0 && !ToneCode(dB, kBassBoostCodes).has_value()) {
            problems_.push_back(Sentence("%s: the %s gain of %g dB is not one of the TAS3103's "
                                         "settings (-18 to +18 dB in 0.5 dB steps).",
                                         name.c_str(), stage, dB));
        }
        if (corner < kLowestCorner || corner > kHighestCorner) {
            problems_.push_back(Sentence("%s: the %s corner selection %d is not one of the "
                                         "TAS3103's %d to %d.",
                                         name.c_str(), stage, corner, kLowestCorner,
                                         kHighestCorner));
        }
    }

    // Above half the sample rate a section comes out unstable or, a whole
    // number of sample rates higher, stable with the very coefficients of a
    // section at its alias frequency: the unit would filter in the wrong place.
    void ReportAboveHalfTheSampleRate(const std::string& subject, const BiquadCalc& calc,
                                      bool stable) {
        const double fs = calc.SampleRate();
        const double f = calc.Frequency();
        const std::string why = Sentence("its frequency of %.0f Hz lies above half the sample "
                                         "rate (%.0f Hz)",
                                         f, fs / 2.0);
        if (!stable) {
            problems_.push_back(subject + " is unstable: " + why + ".");
            return;
        }
        const double alias = std::fabs(f - fs * std::round(f / fs));
        problems_.push_back(subject + " is aliased: " + why +
                            Sentence(", so the unit would filter at %.0f Hz instead.", alias));
    }

    // An unstable section is reported for that alone: its coefficients are
    // meaningless until its frequency or Q changes.
    void CheckSection(const std::string& subject, const BiquadCalc& calc) {
        const std::array<double, 5> words = BiquadWords(calc.GetCoefficients());
        for (const double w : words) {
            if (!std::isfinite(w)) {
                problems_.push_back(subject + ": its coefficients are not finite numbers.");
                return;
            }
        }
        if (calc.Frequency() > calc.SampleRate() / 2.0) {
            ReportAboveHalfTheSampleRate(subject, calc, StableOnChip(words));
            return;
        }
        if (!StableOnChip(words)) {
            problems_.push_back(subject + " is unstable: with its coefficients in the TAS3103's "
                                          "5.23 format a pole lies on or outside the unit circle.");
            return;
        }
        for (std::size_t i = 0; i < words.size(); ++i) {
            CheckCoefficient(subject, (std::string("coefficient ") + kBiquadWordNames[i]).c_str(),
                             words[i]);
        }
    }

    const CConfiguration& design_;
    std::vector<std::string> problems_;
    double totalDelaySamples_ = 0.0;
};

} // namespace

CTAS3103::CTAS3103() {
    for (int s = 0; s < kSubaddresses; ++s) {
        offsets_[static_cast<std::size_t>(s) + 1] =
            offsets_[static_cast<std::size_t>(s)] + kRegisterSizes[static_cast<std::size_t>(s)];
    }
}

std::size_t CTAS3103::Offset(int subaddress) const {
    return offsets_[static_cast<std::size_t>(subaddress & 0xFF)];
}

std::size_t CTAS3103::Size(int subaddress) const {
    return kRegisterSizes[static_cast<std::size_t>(subaddress & 0xFF)];
}

std::uint32_t CTAS3103::ToFixed523(double x) {
    if (std::isnan(x)) {
        return 0;
    }
    const double v = std::clamp(std::floor(x * kFixedOne + 0.5), kFixedLowest, kFixedHighest);
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
}

int CTAS3103::BassGainCode(double dB) {
    return ToneCode(dB, kBassBoostCodes).value_or(kLowestToneCode);
}

int CTAS3103::TrebleGainCode(double dB) {
    return ToneCode(dB, kTrebleBoostCodes).value_or(kLowestToneCode);
}

std::vector<std::string> CTAS3103::CheckConfiguration(const CConfiguration& configuration) {
    return HardwareCheck(configuration).Run();
}

CTAS3103::Image CTAS3103::BuildImage(const CConfiguration& configuration) {
    image_.clear();
    if (!CheckConfiguration(configuration).empty()) {
        return {};
    }
    try {
        image_.assign(kImageSize, 0);
    } catch (const std::bad_alloc&) {
        return {};
    }
    FillImage(configuration);
    return std::move(image_);
}

void CTAS3103::FillImage(const CConfiguration& configuration) {
    SetFixedWords();
    SetInputRouting(configuration);
    SetUnityEntries();
    SetMeterMixers(configuration.numBands);
    SetDelays(configuration);
    SetVolumes(configuration);
    SetAllBiquadsPassThrough();
    SetBandBiquads(configuration);
    SetBassTreble(configuration);
}

void CTAS3103::SetWord(int subaddress, int wordIndex, std::uint32_t value) {
    const std::size_t at = Offset(subaddress) + 4 * static_cast<std::size_t>(wordIndex);
    image_[at] = static_cast<std::uint8_t>(value >> 24);
    image_[at + 1] = static_cast<std::uint8_t>(value >> 16);
    image_[at + 2] = static_cast<std::uint8_t>(value >> 8);
    image_[at + 3] = static_cast<std::uint8_t>(value);
}

void CTAS3103::SetWords(int subaddress, std::initializer_list<std::uint32_t> words) {
    int index = 0;
    for (const std::uint32_t word : words) {
        SetWord(subaddress, index++, word);
    }
}

void CTAS3103::SetFixed523(std::size_t position, double value) {
    const std::uint32_t word = ToFixed523(value);
    for (int i = 0; i < 4; ++i) {
        image_[position + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(word >> (24 - 8 * i));
    }
}

void CTAS3103::SetFixedWords() {
    SetWords(0x00, {kCheckWord});
    SetWords(0xFC, {kCheckWord});
    SetWords(0xF9, {0x01422433});
    for (const int s : {0x4C, 0x4D, 0x4E}) {
        SetWords(s, {kWordOne, 0});
    }
    for (const int s : {0x7C, 0x7D, 0x7E}) {
        SetWords(s, {0, kWordOne});
    }
    for (const int s : {0xA2, 0xA7, 0xAC}) {
        SetWords(s, {0x00400000});
    }
    for (const int drc : {0xB1, 0xB6}) {
        SetWords(drc, {kWordOne, 0});
        SetWords(drc + 1, {0, 1, 0, 1});
        SetWords(drc + 3, {0, 0x01FFFFFF, 0, 0x01FFFFFF});
        SetWords(drc + 4, {kWordOne, 0, kWordOne, 0});
    }
    SetWords(0xBB, {kWordOne, 0});
    SetWords(0xC6, {kWordOne, kWordOne});
    SetWords(0xC7, {0x0000FFFF});
    SetWords(0xEB, {0x00000001});
    SetWords(0xEF, {0x000F6E6D});
    SetWords(0xFB, {0x00000041});
}

void CTAS3103::SetInputRouting(const CConfiguration& configuration) {
    const double g = DbToGain(configuration.inputGain);
    for (int i = 0; i < kMaxBands; ++i) {
        const int route = i < configuration.numBands ? configuration.bands[i].input : 0;
        const MixerEntries& entries = kInputMixer[static_cast<std::size_t>(i)];
        if (route == kRouteBoth) {
            SetFixed523(Offset(entries.inputA), g * 0.5);
            SetFixed523(Offset(entries.inputB), g * 0.5);
        } else {
            SetFixed523(Offset(route == kRouteInputB ? entries.inputB : entries.inputA), g);
        }
    }
}

void CTAS3103::SetUnityEntries() {
    for (const int s : {0x29, 0x2C, 0x8F, 0x94, 0x98, 0x99}) {
        SetWords(s, {kWordOne});
    }
}

void CTAS3103::SetMeterMixers(int numBands) {
    const double share = 1.0 / numBands;
    SetFixed523(Offset(0x84), share);
    if (numBands > 1) {
        SetFixed523(Offset(0x86), share);
    }
    if (numBands > 2) {
        SetFixed523(Offset(0x88), share);
    }
    SetWords(0x89, {kWordOne});
}

void CTAS3103::SetDelays(const CConfiguration& configuration) {
    for (int i = 0; i < configuration.numBands; ++i) {
        const long long samples =
            RoundHalfAway(configuration.bands[i].delay * configuration.sampleRate);
        SetWord(0xFA, i,
                static_cast<std::uint32_t>(samples * static_cast<long long>(kDelayWordScale)));
    }
}

void CTAS3103::SetVolumes(const CConfiguration& configuration) {
    for (int i = 0; i < kMaxBands; ++i) {
        double level = 0.0;
        double sign = -1.0;
        if (i < configuration.numBands) {
            const CBand& band = configuration.bands[i];
            level = band.muted ? kMutedLevelDb : band.gain;
            sign = band.reversedPhase ? 1.0 : -1.0;
        }
        SetFixed523(Offset(0xF2 + i), DbToGain(level) * sign);
    }
}

void CTAS3103::SetBiquad(int subaddress, const BiquadCoefs& coefs) {
    const std::array<double, 5> words = BiquadWords(coefs);
    for (std::size_t i = 0; i < words.size(); ++i) {
        SetFixed523(Offset(subaddress) + 4 * i, words[i]);
    }
}

void CTAS3103::SetAllBiquadsPassThrough() {
    const BiquadCoefs passThrough{};
    const auto range = [&](int first, int last) {
        for (int s = first; s <= last; ++s) {
            SetBiquad(s, passThrough);
        }
    };
    range(0x34, 0x4B);
    range(0x4F, 0x72);
    range(0xBC, 0xC5);
    for (const int loudness : {0xA6, 0xAB, 0xB0}) {
        SetBiquad(loudness, passThrough);
    }
}

// A list longer than the band's 16 slots never gets here (the check refuses
// it), and the bound keeps it so whatever the caller does.
void CTAS3103::SetBandBiquads(const CConfiguration& configuration) {
    BiquadList list;
    for (int b = 0; b < configuration.numBands; ++b) {
        CollectBiquads(configuration.bands[b], list);
        const std::array<int, kBiquadSlots>& slots = kBiquadSlotTable[static_cast<std::size_t>(b)];
        for (std::size_t k = 0; k < list.size() && k < slots.size(); ++k) {
            SetBiquad(slots[k], list[k]);
        }
    }
}

void CTAS3103::SetBassTreble(const CConfiguration& configuration) {
    std::uint32_t bassCorners = 0;
    std::uint32_t bassCodes = 0;
    std::uint32_t trebleCorners = 0;
    std::uint32_t trebleCodes = 0;
    for (int i = 0; i < kMaxBands; ++i) {
        const bool used = i < configuration.numBands;
        const CBand& band = configuration.bands[i];
        const bool inlineStage = used && (band.bassGain != 0.0 || band.trebleGain != 0.0);
        SetWords(0x73 + i, inlineStage ? std::initializer_list<std::uint32_t>{0, kWordOne}
                                       : std::initializer_list<std::uint32_t>{kWordOne, 0});
        const int shift = 8 * i;
        bassCorners |= static_cast<std::uint32_t>(used ? band.bassCorner : kMissingBandCorner)
                       << shift;
        bassCodes |= static_cast<std::uint32_t>(used ? BassGainCode(band.bassGain) : kFlatToneCode)
                     << shift;
        trebleCorners |= static_cast<std::uint32_t>(used ? band.trebleCorner : kMissingBandCorner)
                         << shift;
        trebleCodes |=
            static_cast<std::uint32_t>(used ? TrebleGainCode(band.trebleGain) : kFlatToneCode)
            << shift;
    }
    SetWords(0xF1, {0x00000040});
    SetWords(0xF5, {bassCorners});
    SetWords(0xF6, {bassCodes});
    SetWords(0xF7, {trebleCorners});
    SetWords(0xF8, {trebleCodes});
}

bool CTAS3103::WriteCfgFile(const std::filesystem::path& path, const std::string& title,
                            const Image& image) const {
    if (image.size() != kImageSize) {
        return false;
    }
    VSafeFile file;
    return file.Open(path) && file.Write(FormatCfgText(*this, title, image)) && file.Commit();
}

} // namespace kv
