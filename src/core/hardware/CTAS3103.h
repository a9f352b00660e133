#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace kv {

struct BiquadCoefs;
class CConfiguration;

// The TAS3103's complete register and coefficient image of one design, the
// bytes the chip boots from: what the HMQ27's EEPROM holds from address 0
// and what a .cfg file lists. Every value is big-endian; coefficients are
// 5.23 fixed point.
//
// Typical use (programming dialog, command line):
//
//     const std::vector<std::string> problems = CTAS3103::CheckConfiguration(design);
//     if (!problems.empty()) { /* tell the user every sentence, write nothing */ }
//     CTAS3103 tas;
//     const CTAS3103::Image image = tas.BuildImage(design);
//     if (image.empty()) { /* "Out of memory ! \n\nClose some programs..." */ }
//     tas.WriteCfgFile(path, design.title, image);   // file mode only
class CTAS3103 {
public:
    using Image = std::vector<std::uint8_t>;

    static constexpr std::size_t kImageSize = 2368;
    static constexpr int kSubaddresses = 256;

    CTAS3103();

    // Every reason why the design must not reach the unit (HardwareCheck),
    // one clear sentence each naming the band and the filter: no bands, a
    // band with more than 16 sections, an unstable or aliased section (and
    // why), a coefficient beyond the ±16 of the 5.23 format (and by how
    // much), a coefficient that is not a finite number, a gain or delay the
    // chip cannot hold, a bass or treble gain or corner that is not one of
    // the chip's settings. Empty when the design is safe to program.
    // HardwareCheck gives the same problems with what each is about.
    static std::vector<std::string> CheckConfiguration(const CConfiguration& configuration);

    // The 2368-byte image of the design; empty when CheckConfiguration finds
    // any problem (nothing unsafe is ever built) or memory is short.
    Image BuildImage(const CConfiguration& configuration);

    // Writes the image as a TAS3103 configuration text file (CR LF lines),
    // through a temporary file renamed over path only when every byte was
    // written. Empty when written; otherwise why not, for the user, with any
    // old file untouched (also when the image is not a whole image).
    std::string WriteCfgFile(const std::filesystem::path& path, const std::string& title,
                             const Image& image) const;

    // The register map: where a subaddress's data starts in the image and
    // how many bytes it has.
    std::size_t Offset(int subaddress) const;
    std::size_t Size(int subaddress) const;

private:
    void FillImage(const CConfiguration& configuration);
    void SetFixedWords();
    void SetInputRouting(const CConfiguration& configuration);
    void SetUnityEntries();
    void SetMeterMixers(int numBands);
    void SetDelays(const CConfiguration& configuration);
    void SetVolumes(const CConfiguration& configuration);
    void SetBandBiquads(const CConfiguration& configuration);
    void SetBassTreble(const CConfiguration& configuration);
    void SetBiquad(int subaddress, const BiquadCoefs& coefs);
    void SetAllBiquadsPassThrough();
    void SetFixed523(int subaddress, int wordIndex, double value);
    void SetWord(int subaddress, int wordIndex, std::uint32_t value);
    void SetWords(int subaddress, std::initializer_list<std::uint32_t> words);

    std::array<std::size_t, kSubaddresses + 1> offsets_{};
    Image image_;
};

} // namespace kv
