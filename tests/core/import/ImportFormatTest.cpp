#include "import/CImportEngine.h"
#include "import/VInputFile.h"

#include <gtest/gtest.h>
#include <string>

namespace kv {
namespace {

ImportDetection Detect(const std::string& content, const std::string& extension = "txt") {
    VInputFile file;
    file.OpenMemory(reinterpret_cast<const std::uint8_t*>(content.data()), content.size());
    const ImportDetection result = CImportEngine::Detect(file, extension);
    EXPECT_EQ(file.Tell(), 0u);
    return result;
}

ImportFormat FormatOf(const std::string& content, const std::string& extension = "txt") {
    return Detect(content, extension).format;
}

const std::string kData = "20 80 0\n30 81 5\n";

TEST(ImportFormat, FirstLinePrefixesDecideInTheirOrder) {
    EXPECT_EQ(FormatOf("Lsp-LAB:Compensation File v0.12\n" + kData),
              ImportFormat::CompensationFile);
    EXPECT_EQ(FormatOf("Mic correction data: Ref Sensitivity = 12\n" + kData),
              ImportFormat::MicrophoneCorrection);
    EXPECT_EQ(FormatOf("ECM8000:  sensitivity -38\n" + kData), ImportFormat::MicrophoneCorrection);
    EXPECT_EQ(FormatOf("MDF (Microphone Data Format) File\n" + kData),
              ImportFormat::MicrophoneDataFormat);
    EXPECT_EQ(FormatOf("  HZ \t dB   DEG\n" + kData), ImportFormat::TitledSplColumns);
    EXPECT_EQ(FormatOf("Hz dBV deg\n" + kData), ImportFormat::TitledSplColumns);
    EXPECT_EQ(FormatOf("Hz V deg\n" + kData), ImportFormat::VoltColumns);
    EXPECT_EQ(FormatOf("Transfer Function Mag - dB volts/volts\nx\n" + kData),
              ImportFormat::SplUnderTwoTitles);
    EXPECT_EQ(FormatOf("Freq Ohms Phase\n" + kData), ImportFormat::TitledImpedanceColumns);
    EXPECT_EQ(FormatOf("Impedance: ohm, phase\nx\n" + kData),
              ImportFormat::ImpedanceUnderTwoTitles);
    EXPECT_EQ(FormatOf("Time[ms] Level[V]\n" + kData), ImportFormat::VoltageTimeSeries);
    EXPECT_EQ(FormatOf("Time[ms] Level[Pa]\n" + kData), ImportFormat::PressureTimeSeries);
    EXPECT_EQ(FormatOf("* LMS 4.6\n" + kData), ImportFormat::StarredHeaderText);
}

TEST(ImportFormat, ALineOfTwoNumbersIsPlainColumnsWhateverTheExtension) {
    EXPECT_EQ(FormatOf("20 85.3 0\nx\ny\n", "xop"), ImportFormat::PlainColumns);
    EXPECT_EQ(FormatOf("1.0e+01\t-2.5\n1\n2\n", "dat"), ImportFormat::PlainColumns);
    // Runs of one character are not numbers: the extension decides.
    EXPECT_EQ(FormatOf("1 2\nx\ny\n", "xop"), ImportFormat::Xop);
}

TEST(ImportFormat, SecondLineTitlesFollowAnyFirstLine) {
    EXPECT_EQ(FormatOf("Woofer\nFreq dB\n" + kData), ImportFormat::SplUnderTwoTitles);
    EXPECT_EQ(FormatOf("Woofer\nhz ohm\n" + kData), ImportFormat::ImpedanceUnderTwoTitles);
}

TEST(ImportFormat, ExtensionsDecideLastForText) {
    const std::string text = "title\nsubtitle\nmore\n";
    EXPECT_EQ(FormatOf(text, "wav"), ImportFormat::Wav);
    EXPECT_EQ(FormatOf(text, "GDT"), ImportFormat::StarredHeaderText);
    EXPECT_EQ(FormatOf(text, "idf"), ImportFormat::Idf);
    EXPECT_EQ(FormatOf(text, "Xop"), ImportFormat::Xop);
    EXPECT_EQ(FormatOf(text, "tds"), ImportFormat::TdsTx2);
    EXPECT_EQ(FormatOf(text, "TX2"), ImportFormat::TdsTx2);
    EXPECT_EQ(FormatOf(text, "frd"), ImportFormat::PlainColumns);
    EXPECT_EQ(FormatOf(text, "fr"), ImportFormat::PlainColumns);
    EXPECT_EQ(FormatOf(text, "txt"), ImportFormat::Unknown);
    EXPECT_EQ(FileExtension("/a.b/c.d/Woofer.ZMA"), "ZMA");
    EXPECT_EQ(FileExtension("/a.b/Woofer"), "");
}

TEST(ImportFormat, ATextFileOfFewerThanThreeLinesIsNeverRecognised) {
    EXPECT_EQ(FormatOf("20 85.3 0\n30 86 0\n", "frd"), ImportFormat::Unknown);
    EXPECT_EQ(FormatOf("Freq dB Phase\n20 85.3 0", "frd"), ImportFormat::Unknown);
    EXPECT_EQ(FormatOf("Freq dB Phase\n20 85.3 0\n30 86 0"), ImportFormat::TitledSplColumns);
}

TEST(ImportFormat, BinaryFilesGoByTheirMagicThenTheWavExtension) {
    using namespace std::string_literals;
    EXPECT_EQ(Detect("\xCD\xAB\xFF\xFF rest"s, "dat").format, ImportFormat::BinaryTimeSeries);
    EXPECT_EQ(Detect("\xDE\xBC\xFF\xFF rest"s, "wav").format, ImportFormat::Mlssa);
    EXPECT_EQ(Detect("RIFF\0\0\0\0WAVE"s, "WAV").format, ImportFormat::Wav);
    EXPECT_EQ(Detect("RIFF\0\0\0\0WAVE"s, "bin").format, ImportFormat::BinaryLevelRecords);
    const ImportDetection late = Detect(std::string(5000, 'a') + "\x01", "txt");
    EXPECT_TRUE(late.binary);
    EXPECT_EQ(late.format, ImportFormat::BinaryLevelRecords);
    EXPECT_FALSE(Detect("\xE2\x80\x94 \x1A\t\r\n\xFE\n\n").binary);
    EXPECT_TRUE(Detect("a\xFF\n\n\n").binary);
}

TEST(ImportFormat, CommentedColumnsAreTakenOnlyWhereNoOtherRuleApplies) {
    const std::string rew = "* Measurement data measured by REW\n*\n* Freq(Hz)\tSPL(dB)\n"
                            "20\t80\n30\t81\n";
    EXPECT_EQ(FormatOf(rew, "txt"), ImportFormat::CommentedColumns);
    EXPECT_EQ(FormatOf(rew, "frd"), ImportFormat::PlainColumns);
    EXPECT_EQ(FormatOf("# freq SPL\n\n# more\n5 80\n6 81\n"), ImportFormat::CommentedColumns);
    EXPECT_EQ(FormatOf("5\t80\n6\t81\n7\t82\n"), ImportFormat::CommentedColumns);
    EXPECT_EQ(FormatOf("* a\n* b\n* c\n20\n30\n"), ImportFormat::Unknown);
    EXPECT_EQ(FormatOf("* a\n* b\n* c\nFreq,dB\n20,80\n"), ImportFormat::DelimitedColumns);
    EXPECT_EQ(FormatOf("* a\n* b\n* c\n"), ImportFormat::Unknown);
}

TEST(ImportFormat, DelimitedColumnsAreTakenOnlyWhereNoOtherRuleApplies) {
    const std::string csv = "freq,spl,phase\n20,80,0\n30,81,5\n";
    EXPECT_EQ(FormatOf(csv, "csv"), ImportFormat::DelimitedColumns);
    EXPECT_EQ(FormatOf(csv, "frd"), ImportFormat::PlainColumns);
    EXPECT_EQ(FormatOf("Freq\tdB\tPhase\n" + kData), ImportFormat::TitledSplColumns);
    EXPECT_EQ(FormatOf("Hz\tOhm\n" + kData), ImportFormat::TitledImpedanceColumns);
    EXPECT_EQ(FormatOf("* Freq(Hz),SPL(dB)\n20,80\n30,81\n40,82\n"), ImportFormat::Unknown);
    EXPECT_EQ(FormatOf("\xEF\xBB\xBF"
                       "Freq\tdB\tPhase\n" +
                       kData),
              ImportFormat::DelimitedColumns);
    EXPECT_EQ(FormatOf("freq,spl\n20,80\n"), ImportFormat::Unknown);
}

// The detection says which rule of the table took the file, so that a user
// can tell what the program made of it; a file no rule takes says why.
TEST(ImportFormat, TheReasonNamesTheLayoutAndTheRuleThatTookIt) {
    using namespace std::string_literals;
    EXPECT_EQ(Detect("Freq dB Phase\n" + kData).reason,
              "a frequency response under a title line: its first line starts with "
              "\"Freq dB Phase\"");
    EXPECT_EQ(Detect("title\nHz Ohm\n" + kData).reason,
              "an impedance curve under two title lines: its second line starts with \"Hz Ohm\"");
    EXPECT_EQ(Detect("* a\n* b\n* c\n", "FRD").reason,
              "plain frequency columns: its name ends in .FRD");
    EXPECT_EQ(Detect(kData + "40 82 9\n").reason,
              "plain frequency columns: its first line holds two numbers");
    EXPECT_EQ(Detect("ECM8000:  sensitivity -38\n" + kData).reason,
              "a microphone correction: its first line names a microphone's sensitivity");
    EXPECT_EQ(Detect("\xDE\xBC\xFF\xFF rest"s, "dat").reason,
              "an MLSSA file: it starts with the marker of one");
    EXPECT_EQ(Detect("100 85\n").reason, "it has fewer than three lines");
    EXPECT_EQ(Detect("a\nb\nc\n100 85\n").reason,
              "no layout the program knows fits its first lines");
}

// Files users pick by mistake are named for what they are, so that the
// refusal can tell the user.
TEST(ImportFormat, FilesOfOtherKindsAreRefusedAsWhatTheyAre) {
    using namespace std::string_literals;
    const struct {
        std::string content;
        const char* reason;
    } others[] = {
        {"\x89PNG\r\n\x1A\n\0\0\0\rIHDR"s, "it is a PNG picture"},
        {"\xFF\xD8\xFF\xE0\0\x10JFIF\0"s, "it is a JPEG picture"},
        {"GIF89a\x01\0\x01\0\x80\0\0"s, "it is a GIF picture"},
        {"%PDF-1.7\n%\xE2\xE3\xCF\xD3\n"s, "it is a PDF document"},
        {"PK\x03\x04\x14\0\x06\0"s, "it is a compressed archive or an office document"},
        {"\x16\0\0\0KESTRELV_TAS3103_V205\0"s, "it is a Kestrelvane design"},
        {"Filter Settings file\n\nRoom EQ V5.20\n"s, "it is a list of equaliser filters"},
        {"Preamp: -6.2 dB\nFilter 1: ON PK Fc 50 Hz Gain -4 dB Q 2\n"s,
         "it is a list of equaliser filters"},
        {"Filter: ON NO Fc 50 Hz\n"s, "it is a list of equaliser filters"},
        {"Frequency response of the woofer\nmeasured indoors\nnear field\nsee the plot\n"s,
         "it holds no numbers"},
    };
    for (const auto& other : others) {
        const ImportDetection detection = Detect(other.content);
        EXPECT_EQ(detection.format, ImportFormat::Unknown) << other.reason;
        EXPECT_EQ(detection.reason, other.reason);
    }
}

} // namespace
} // namespace kv
