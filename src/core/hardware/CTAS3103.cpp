#include "hardware/CTAS3103.h"

#include "archive/FileProblems.h"
#include "filters/BiquadCalc.h"
#include "filters/TAS3103Words.h"
#include "hardware/CfgText.h"
#include "hardware/HardwareCheck.h"
#include "hardware/TAS3103Registers.h"
#include "hardware/ToneCodes.h"
#include "math/ResponseCurves.h"
#include "math/Rounding.h"
#include "model/BandCalculators.h"
#include "model/CConfiguration.h"

#include <new>

namespace kv {
namespace {

constexpr std::uint32_t kWordOne = 0x00800000;
constexpr std::uint32_t kCheckWord = 0x81422418;
constexpr double kDelayWordScale = 65536.0; // the sample count sits in the upper 16 bits
// The corner selection the image gives the outputs that a design leaves
// unused.
constexpr int kUnusedChannelCorner = 3;

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
    const auto perChannel = [&range](int first, std::size_t bytes) {
        range(first, first + kMaxBands - 1, bytes);
    };
    using namespace tas3103;
    range(kFirstInputBiquad, kLastInputBiquad, 20);
    perChannel(kReverbMixers, 8);
    range(kFirstChannelBiquad, kLastChannelBiquad, 20);
    perChannel(kToneMixers, 8);
    perChannel(kDrcMixers, 8);
    for (const int loudness : kLoudness) {
        group(loudness, {4, 8, 4, 8, 20});
    }
    for (const int drc : kDrc) {
        group(drc, {8, 16, 12, 16, 16});
    }
    range(kMeterMixer, kMeterMixer, 8);
    range(kFirstMeterBiquad, kLastMeterBiquad, 20);
    range(kDitherMixer, kDitherMixer, 8);
    range(kDitherTail.first, kDitherTail.last, 6);
    range(kDelays, kDelays, 12);
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

// The subaddresses of each channel in the order a band's biquads fill them.
constexpr std::array<int, kBiquadsPerBand> BiquadSlots(int channel) {
    std::array<int, kBiquadsPerBand> slots{};
    const int inputs = tas3103::kInputBiquadsPerChannel;
    for (int k = 0; k < kBiquadsPerBand; ++k) {
        slots[static_cast<std::size_t>(k)] =
            k < inputs ? tas3103::kInputBiquads[static_cast<std::size_t>(channel)] + k
                       : tas3103::kChannelBiquads[static_cast<std::size_t>(channel)] + k - inputs;
    }
    return slots;
}

constexpr std::array<std::array<int, kBiquadsPerBand>, kMaxBands> kBiquadSlotTable = {
    BiquadSlots(0), BiquadSlots(1), BiquadSlots(2)};

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

std::vector<std::string> CTAS3103::CheckConfiguration(const CConfiguration& configuration) {
    std::vector<std::string> sentences;
    for (HardwareProblem& problem : HardwareCheck(configuration).Run()) {
        sentences.push_back(std::move(problem.text));
    }
    return sentences;
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

// Every word of the image is big-endian.
void CTAS3103::SetWord(int subaddress, int wordIndex, std::uint32_t value) {
    const std::size_t at = Offset(subaddress) + 4 * static_cast<std::size_t>(wordIndex);
    for (std::size_t i = 0; i < 4; ++i) {
        image_[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
    }
}

void CTAS3103::SetWords(int subaddress, std::initializer_list<std::uint32_t> words) {
    int index = 0;
    for (const std::uint32_t word : words) {
        SetWord(subaddress, index++, word);
    }
}

void CTAS3103::SetFixed523(int subaddress, int wordIndex, double value) {
    SetWord(subaddress, wordIndex, ToFixed523(value));
}

void CTAS3103::SetFixedWords() {
    using namespace tas3103;
    SetWords(kStartCheckWord, {kCheckWord});
    SetWords(kEndCheckWord, {kCheckWord});
    SetWords(kSerialDataFormat, {0x01422433});
    for (int i = 0; i < kMaxBands; ++i) {
        SetWords(kReverbMixers + i, {kWordOne, 0});
        SetWords(kDrcMixers + i, {0, kWordOne});
        SetWords(kLoudness[static_cast<std::size_t>(i)], {0x00400000});
    }
    for (const int drc : kDrc) {
        SetWords(drc, {kWordOne, 0});
        SetWords(drc + 1, {0, 1, 0, 1});
        SetWords(drc + 3, {0, 0x01FFFFFF, 0, 0x01FFFFFF});
        SetWords(drc + 4, {kWordOne, 0, kWordOne, 0});
    }
    SetWords(kMeterMixer, {kWordOne, 0});
    SetWords(kDitherMixer, {kWordOne, kWordOne});
    SetWords(kDitherSeed, {0x0000FFFF});
    SetWords(kWatchdog, {0x00000001});
    SetWords(kGpio, {0x000F6E6D});
    SetWords(kI2cMandN, {0x00000041});
}

void CTAS3103::SetInputRouting(const CConfiguration& configuration) {
    const double g = DbToGain(configuration.inputGain);
    for (int i = 0; i < kMaxBands; ++i) {
        const InputRoute route =
            i < configuration.numBands ? configuration.bands[i].input : InputRoute::A;
        const tas3103::InputMixerEntries& entries =
            tas3103::kInputMixer[static_cast<std::size_t>(i)];
        if (route == InputRoute::Both) {
            SetFixed523(entries.inputA, 0, g * 0.5);
            SetFixed523(entries.inputB, 0, g * 0.5);
        } else {
            SetFixed523(route == InputRoute::B ? entries.inputB : entries.inputA, 0, g);
        }
    }
}

void CTAS3103::SetUnityEntries() {
    for (const int s : tas3103::kPassThroughMixerEntries) {
        SetWords(s, {kWordOne});
    }
}

// The meter hears the used outputs in equal shares.
void CTAS3103::SetMeterMixers(int numBands) {
    const double share = 1.0 / numBands;
    for (int i = 0; i < numBands; ++i) {
        SetFixed523(tas3103::kMeterInputMixers[static_cast<std::size_t>(i)], 0, share);
    }
    SetWords(tas3103::kMeter, {kWordOne});
}

void CTAS3103::SetDelays(const CConfiguration& configuration) {
    for (int i = 0; i < configuration.numBands; ++i) {
        const long long samples =
            RoundHalfAway(configuration.bands[i].delay * configuration.sampleRate);
        SetWord(tas3103::kDelays, i,
                static_cast<std::uint32_t>(samples * static_cast<long long>(kDelayWordScale)));
    }
}

// The outputs a design leaves unused play at 0 dB in normal polarity.
void CTAS3103::SetVolumes(const CConfiguration& configuration) {
    for (int i = 0; i < kMaxBands; ++i) {
        const bool used = i < configuration.numBands;
        const CBand& band = configuration.bands[i];
        SetFixed523(tas3103::kVolume + i, 0,
                    used ? VolumeWordValue(band.OutputLevelDb(), band.reversedPhase)
                         : VolumeWordValue(0.0, false));
    }
}

void CTAS3103::SetBiquad(int subaddress, const BiquadCoefs& coefs) {
    const std::array<double, 5> words = BiquadWords(coefs);
    for (std::size_t i = 0; i < words.size(); ++i) {
        SetFixed523(subaddress, static_cast<int>(i), words[i]);
    }
}

void CTAS3103::SetAllBiquadsPassThrough() {
    using namespace tas3103;
    const BiquadCoefs passThrough{};
    const auto range = [&](int first, int last) {
        for (int s = first; s <= last; ++s) {
            SetBiquad(s, passThrough);
        }
    };
    range(kFirstInputBiquad, kLastInputBiquad);
    range(kFirstChannelBiquad, kLastChannelBiquad);
    range(kFirstMeterBiquad, kLastMeterBiquad);
    for (const int loudness : kLoudness) {
        SetBiquad(loudness + kLoudnessBiquad, passThrough);
    }
}

// A list longer than the band's 16 slots never gets here (the check refuses
// it), and the bound keeps it so whatever the caller does.
void CTAS3103::SetBandBiquads(const CConfiguration& configuration) {
    BiquadList list;
    for (int b = 0; b < configuration.numBands; ++b) {
        CollectBiquads(configuration.bands[b], list);
        const std::array<int, kBiquadsPerBand>& slots =
            kBiquadSlotTable[static_cast<std::size_t>(b)];
        for (std::size_t k = 0; k < list.size() && k < slots.size(); ++k) {
            SetBiquad(slots[k], list[k]);
        }
    }
}

// A band uses the chip's inline tone stage only when it boosts or cuts;
// corners and codes of the three channels share one word each, a byte per
// channel.
void CTAS3103::SetBassTreble(const CConfiguration& configuration) {
    std::uint32_t bassCorners = 0;
    std::uint32_t bassCodes = 0;
    std::uint32_t trebleCorners = 0;
    std::uint32_t trebleCodes = 0;
    for (int i = 0; i < kMaxBands; ++i) {
        const bool used = i < configuration.numBands;
        const CBand& band = configuration.bands[i];
        const bool inlineStage = used && (band.bassGain != 0.0 || band.trebleGain != 0.0);
        SetWords(tas3103::kToneMixers + i, inlineStage
                                               ? std::initializer_list<std::uint32_t>{0, kWordOne}
                                               : std::initializer_list<std::uint32_t>{kWordOne, 0});
        const int shift = 8 * i;
        const auto put = [shift](std::uint32_t& word, int byte) {
            word |= static_cast<std::uint32_t>(byte) << shift;
        };
        put(bassCorners, used ? band.bassCorner : kUnusedChannelCorner);
        put(bassCodes, used ? BassGainCode(band.bassGain) : kFlatToneCode);
        put(trebleCorners, used ? band.trebleCorner : kUnusedChannelCorner);
        put(trebleCodes, used ? TrebleGainCode(band.trebleGain) : kFlatToneCode);
    }
    SetWords(tas3103::kSlewRates, {0x00000040});
    SetWords(tas3103::kBassCorners, {bassCorners});
    SetWords(tas3103::kBassGains, {bassCodes});
    SetWords(tas3103::kTrebleCorners, {trebleCorners});
    SetWords(tas3103::kTrebleGains, {trebleCodes});
}

std::string CTAS3103::WriteCfgFile(const std::filesystem::path& path, const std::string& title,
                                   const Image& image) const {
    if (image.size() != kImageSize) {
        return "The EEPROM image is incomplete.";
    }
    return WriteWholeFile(path, FormatCfgText(*this, title, image));
}

} // namespace kv
