#include "model/CConfiguration.h"

#include "archive/ArchiveItems.h"
#include "archive/FileProblems.h"
#include "archive/PathText.h"
#include "archive/VPersistence.h"
#include "math/Rounding.h"
#include "ui/IMessageBox.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

namespace kv {
namespace {

constexpr const char* kMagics[] = {
    "KESTRELV_TAS3103_V101", "KESTRELV_TAS3103_V102", "KESTRELV_TAS3103_V103",
    "KESTRELV_TAS3103_V104", "KESTRELV_TAS3103_V205",
};
constexpr int kCurrentVersion = 5;
constexpr const char* kWriteFailed = "Couldn't save the file ! ";
// The design as written would not open again: the previous file stays.
constexpr const char* kReadBackFailed =
    "The written copy could not be read back as a design, so the previous file was kept "
    "unchanged.";
constexpr const char* kMagicPrefix = "KESTRELV_TAS3103_V";
// Enough of a file's start to show what it is.
constexpr std::size_t kStartShown = 64;
constexpr int kFirstVersionWithInputGain = 2;
// Long enough for every magic; a longer stored text cannot match anyway.
constexpr int kMagicFieldSize = 32;
constexpr double kSampleRates[] = {8000,  11025, 12000, 16000, 22050, 24000, 32000,
                                   38000, 44100, 48000, 64000, 88200, 96000};

int VersionOfMagic(const std::string& magic) {
    for (int v = 1; v <= kCurrentVersion; ++v) {
        if (magic == kMagics[v - 1]) {
            return v;
        }
    }
    return 0;
}

// The version text at the start of a file that begins like a design (its
// length as four bytes, then "KESTRELV_TAS3103_V…", as much of it as the file
// holds); nothing for any other file.
std::optional<std::string> DesignMagicOf(const std::vector<std::uint8_t>& start) {
    constexpr std::size_t kLengthBytes = 4;
    const std::string_view prefix = kMagicPrefix;
    if (start.size() <= kLengthBytes) {
        return std::nullopt;
    }
    const std::size_t compared = std::min(prefix.size(), start.size() - kLengthBytes);
    if (!std::equal(prefix.begin(), prefix.begin() + compared, start.begin() + kLengthBytes)) {
        return std::nullopt;
    }
    std::string magic;
    for (std::size_t i = kLengthBytes;
         i < start.size() && start[i] >= 0x20 && start[i] < 0x7F && magic.size() < kMagicFieldSize;
         ++i) {
        magic += static_cast<char>(start[i]);
    }
    return magic;
}

// Why a file that opened is not a design the program can load; ranOut tells
// that the load wanted more bytes than the file has.
std::string WhyNotLoaded(const std::filesystem::path& path, std::uint64_t size, bool ranOut) {
    if (size == 0) {
        return QuotedPath(path) + " is empty.";
    }
    const std::vector<std::uint8_t> start = ReadFileStart(path, kStartShown);
    const std::optional<std::string> magic = DesignMagicOf(start);
    if (!magic) {
        return QuotedPath(path) + " is not a Kestrelvane design (it starts with " +
               HowItStarts(start.data(), start.size()) + ").";
    }
    if (ranOut) {
        return QuotedPath(path) + " ends after " + SizeText(size) + ": the file is cut short.";
    }
    if (VersionOfMagic(*magic) == 0) {
        return QuotedPath(path) + " is a Kestrelvane design of a kind this version cannot read (" +
               *magic + "); it may come from a newer version.";
    }
    return QuotedPath(path) + " is damaged: it holds values no design has.";
}

// The byte length of the longest prefix of at most maxBytes that does not end
// inside a UTF-8 sequence.
std::size_t Utf8PrefixLength(const std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text.size();
    }
    std::size_t length = maxBytes;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
        --length;
    }
    return length;
}

// "Output 2 (MF)": the number of the output and, with more than one band,
// the range it plays.
std::string BandName(int index, int numBands) {
    static constexpr const char* kTwoWay[] = {"HF", "LF"};
    static constexpr const char* kThreeWay[] = {"HF", "MF", "LF"};
    const std::string number = "Output " + std::to_string(index + 1);
    switch (numBands) {
    case 2:
        return number + " (" + kTwoWay[index] + ")";
    case 3:
        return number + " (" + kThreeWay[index] + ")";
    default:
        return number;
    }
}

} // namespace

CConfiguration::CConfiguration() {
    Reset();
}

void CConfiguration::Reset() {
    title.clear();
    fileName.clear();
    sampleRate = kDesignSampleRate;
    bitDepth = kDesignBitDepth;
    inputGain = 0.0;
    targetLevel = 0.0;
    numBands = 0;
    for (CBand& band : bands) {
        band.Init();
    }
    ShareSampleRate();
    ClearSums();
    for (VDoubleVec* v : {&sumFilterImpulse, &sumFilterStep, &sumTargetImpulse, &sumTargetStep,
                          &sumTotalImpulse, &sumTotalStep}) {
        v->SetSize(0);
    }
}

void CConfiguration::ClearSums() {
    for (VComplexVec* v : {&sumFilterResponse, &sumTargetResponse, &sumTotalResponse}) {
        v->SetSize(0);
    }
}

bool CConfiguration::New(int bandCount, double fs) {
    Reset();
    SetNumBands(bandCount);
    return SetSampleRate(fs);
}

bool CConfiguration::SetNumBands(int n) {
    if (n < 1 || n > kMaxBands) {
        return false;
    }
    for (CBand& band : bands) {
        band.Init();
        band.modified = true;
    }
    numBands = n;
    NameBands();
    return true;
}

void CConfiguration::ShareSampleRate() {
    for (CBand& band : bands) {
        band.UseSampleRate(sampleRate);
    }
}

void CConfiguration::NameBands() {
    for (int i = 0; i < numBands; ++i) {
        bands[i].name = BandName(i, numBands);
    }
}

bool CConfiguration::SetSampleRate(double fs) {
    if (!std::isfinite(fs)) {
        return false;
    }
    const double rounded = static_cast<double>(RoundHalfAway(fs));
    for (double allowed : kSampleRates) {
        if (rounded == allowed) {
            sampleRate = rounded;
            ShareSampleRate();
            return true;
        }
    }
    return false;
}

bool CConfiguration::SetTargetLevel(double dB) {
    if (!(dB >= kMinTargetLevelDb && dB <= kMaxTargetLevelDb)) {
        return false;
    }
    targetLevel = dB;
    return true;
}

void CConfiguration::SetTitle(const std::string& text) {
    title = text.substr(0, Utf8PrefixLength(text, kTextFieldSize - 1));
}

double CConfiguration::GetMaxDelay(int bandIndex) const {
    double others = 0.0;
    for (int i = 0; i < numBands && i < kMaxBands; ++i) {
        if (i != bandIndex) {
            others += bands[i].delay;
        }
    }
    return kSharedDelaySamples / sampleRate - others;
}

void CConfiguration::GetDelayRange(int bandIndex, double& min, double& max, double& step) const {
    min = 0.0;
    max = GetMaxDelay(bandIndex);
    step = 1.0 / sampleRate;
}

bool CConfiguration::SetDelay(int bandIndex, double seconds) {
    return bandIndex >= 0 && bandIndex < kMaxBands &&
           bands[static_cast<std::size_t>(bandIndex)].SetDelay(seconds, GetMaxDelay(bandIndex));
}

DesignSettings CConfiguration::Settings() const {
    DesignSettings settings{title, inputGain, targetLevel, {}};
    for (std::size_t i = 0; i < bands.size(); ++i) {
        settings.bands[i] = bands[i].Settings();
    }
    return settings;
}

void CConfiguration::SetSettings(const DesignSettings& settings) {
    title = settings.title;
    inputGain = settings.inputGain;
    targetLevel = settings.targetLevel;
    for (std::size_t i = 0; i < bands.size(); ++i) {
        bands[i].SetSettings(settings.bands[i]);
    }
}

bool CConfiguration::Recalculate(const VFreqVec* grid, double pirLength) {
    if (grid == nullptr || numBands < 1) {
        return false;
    }
    freqGrid = grid;
    this->pirLength = pirLength;
    bool contextChanged = false;
    if (!engine_.Prepare(*grid, sampleRate, pirLength, contextChanged)) {
        return false;
    }
    const int used = std::min<int>(numBands, kMaxBands);
    if (contextChanged) {
        for (int i = 0; i < used; ++i) {
            bands[i].ClearResponses();
            bands[i].modified = true;
        }
        ClearSums();
    }
    bool changed = false;
    for (int i = 0; i < used; ++i) {
        changed = bands[i].Recalculate(engine_, *grid) || changed;
    }
    if (changed) {
        RecalculateSums();
    }
    return changed;
}

void CConfiguration::RecalculateSums() {
    const int used = std::min<int>(numBands, kMaxBands);
    const auto sumOf = [this, used](VComplexVec CBand::*response) {
        VComplexVec sum = bands[0].*response;
        for (int i = 1; i < used; ++i) {
            sum += bands[i].*response;
        }
        return sum;
    };
    engine_.Update(sumFilterResponse, sumOf(&CBand::filterResponse), sumFilterImpulse,
                   sumFilterStep);
    engine_.Update(sumTargetResponse, sumOf(&CBand::targetResponse), sumTargetImpulse,
                   sumTargetStep);
    engine_.Update(sumTotalResponse, sumOf(&CBand::totalResponse), sumTotalImpulse, sumTotalStep);
}

// The written file replaces the previous one only when it holds exactly the
// bytes meant and the loader takes them: a design the program could not open
// again must never cost the user the last good copy.
bool CConfiguration::Save(const std::filesystem::path& path, IMessageBox& messages) {
    const std::vector<std::uint8_t> bytes = Snapshot();
    VPersistence archive;
    if (!archive.Open(path, true)) {
        messages.ShowError(
            WithReason(kCannotCreateFile, WhyNotWritten(path, archive.WriteError())));
        return false;
    }
    bool readBack = true;
    const auto verify = [&bytes, &readBack](const std::filesystem::path& written) {
        const std::optional<std::vector<std::uint8_t>> reread =
            ReadFileBytes(written, bytes.size());
        readBack = reread && *reread == bytes && IsLoadable(*reread);
        return readBack;
    };
    if (bytes.empty() || !archive.Write(bytes.data(), 1, bytes.size()) || !archive.Close(verify)) {
        std::error_code error;
        const bool existed = std::filesystem::exists(path, error);
        messages.ShowError(WithReason(
            kWriteFailed, !readBack ? kReadBackFailed
                                    : WhyNotWritten(path, archive.WriteError()) +
                                          (existed ? " The previous file is unchanged." : "")));
        return false;
    }
    fileName = PathText(path);
    return true;
}

bool CConfiguration::WriteTo(VPersistence& archive) {
    std::string magic = kMagics[kCurrentVersion - 1];
    if (!Exchange(archive, magic, -1) || !Exchange(archive, title, -1) ||
        !Exchange(archive, fileName, -1) ||
        !ExchangeAll(archive, sampleRate, bitDepth, inputGain, targetLevel, numBands)) {
        return false;
    }
    for (int i = 0; i < numBands && i < kMaxBands; ++i) {
        if (!bands[i].Serialize(archive, kCurrentVersion)) {
            return false;
        }
    }
    return true;
}

bool CConfiguration::Load(const std::filesystem::path& path, IMessageBox& messages) {
    VPersistence archive;
    if (!archive.Open(path, false)) {
        messages.ShowError(WithReason(kCannotOpenFile, WhyNotReadable(path)));
        return false;
    }
    const LoadResult result = LoadFrom(archive);
    if (result != LoadResult::Loaded) {
        Reset();
        const char* heading = result == LoadResult::Unreadable
                                  ? "The file is either corrupt or not valid ! "
                              : result == LoadResult::UnknownMagic ? "This is not valid file ! "
                                                                   : "The file is corrupt ! ";
        messages.ShowError(
            WithReason(heading, WhyNotLoaded(path, archive.Size(), archive.RanOut())));
        return false;
    }
    archive.Close();
    fileName = PathText(path);
    FinishLoad();
    return true;
}

void CConfiguration::FinishLoad() {
    ClearSums();
    sampleRate = kDesignSampleRate;
    ShareSampleRate();
}

std::vector<std::uint8_t> CConfiguration::Snapshot() {
    std::vector<std::uint8_t> bytes;
    VPersistence archive;
    if (!archive.OpenMemoryForWriting(bytes) || !WriteTo(archive)) {
        bytes.clear();
    }
    archive.Close();
    return bytes;
}

bool CConfiguration::IsLoadable(const std::vector<std::uint8_t>& bytes) {
    return CConfiguration().Restore(bytes);
}

bool CConfiguration::Restore(const std::vector<std::uint8_t>& bytes) {
    VPersistence archive;
    if (!archive.OpenMemoryForReading(bytes) || LoadFrom(archive) != LoadResult::Loaded) {
        Reset();
        return false;
    }
    FinishLoad();
    return true;
}

// Older layouts lack some fields; they take their defaults, never the values
// of the design that was open before.
CConfiguration::LoadResult CConfiguration::LoadFrom(VPersistence& archive) {
    Reset();
    std::string magic;
    if (!archive.ReadString(magic, kMagicFieldSize)) {
        return LoadResult::Unreadable;
    }
    const int version = VersionOfMagic(magic);
    if (version == 0) {
        return LoadResult::UnknownMagic;
    }
    if (!LoadHeader(archive, version)) {
        return LoadResult::Corrupt;
    }
    for (int i = 0; i < numBands; ++i) {
        if (!bands[i].Serialize(archive, version)) {
            return LoadResult::Corrupt;
        }
    }
    NameBands();
    return LoadResult::Loaded;
}

bool CConfiguration::LoadHeader(VPersistence& archive, int version) {
    if (!Exchange(archive, title, kTextFieldSize) || !Exchange(archive, fileName, kPathFieldSize) ||
        !ExchangeAll(archive, sampleRate, bitDepth)) {
        return false;
    }
    if (version >= kFirstVersionWithInputGain && !Exchange(archive, inputGain)) {
        return false;
    }
    if (!ExchangeAll(archive, targetLevel, numBands)) {
        return false;
    }
    if (numBands > kMaxBands) {
        return false;
    }
    numBands = std::max(numBands, 0);
    return std::isfinite(sampleRate) && std::isfinite(inputGain) && std::isfinite(targetLevel);
}

} // namespace kv
