#include "import/FilterText.h"

#include "import/VInputFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <string>

namespace kv {
namespace {

class FilterTextRead : public ::testing::Test {
protected:
    bool Read(const std::string& content) {
        VInputFile file;
        file.OpenMemory(reinterpret_cast<const std::uint8_t*>(content.data()), content.size());
        error.clear();
        return ReadFilterText(file, text, error);
    }

    // The one filter the text holds, or an empty record.
    FilterTextFilter Only(const std::string& content) {
        if (!Read(content) || text.filters.size() != 1) {
            ADD_FAILURE() << "not one filter in: " << content << " (" << error << ")";
            return {};
        }
        return text.filters[0];
    }

    std::string Problem(const std::string& filterLine) { return Only(filterLine + "\n").problem; }

    FilterText text;
    std::string error;
};

TEST_F(FilterTextRead, ARoomMeasurementExportYieldsItsSwitchedOnFiltersOnly) {
    ASSERT_TRUE(Read("Filter Settings file\n"
                     "\n"
                     "Measurement program V1.0\n"
                     "Dated: Aug 19, 2026, 11:57:04 AM\n"
                     "Notes:\n"
                     "Equaliser: Generic\n"
                     "Filter  1: ON  PK       Fc   63.0 Hz  Gain  -5.0 dB  Q  4.00\n"
                     "Filter  2: ON  Modal    Fc   120.0 Hz  Gain  -6.00 dB  Q  11.59  T60 "
                     "target   300 ms\n"
                     "Filter  3: OFF PK       Fc   500.0 Hz  Gain  -1.0 dB  Q  1.00\n"
                     "Filter  4: ON  LS       Fc  100.0 Hz  Gain   3.0 dB\n"
                     "Filter  5: ON  None   \n"))
        << error;
    EXPECT_TRUE(text.commands.empty());
    ASSERT_EQ(text.filters.size(), 3u);
    const FilterTextFilter& pk = text.filters[0];
    EXPECT_EQ(pk.line, 7);
    EXPECT_EQ(pk.code, "PK");
    EXPECT_EQ(pk.type, FilterTextType::Peaking);
    EXPECT_EQ(pk.frequency, 63.0);
    EXPECT_EQ(pk.gain, -5.0);
    EXPECT_EQ(pk.q, 4.0);
    EXPECT_FALSE(pk.bandwidth || pk.slope || pk.decayTime);
    EXPECT_EQ(pk.problem, "");
    const FilterTextFilter& modal = text.filters[1];
    EXPECT_EQ(modal.type, FilterTextType::Modal);
    EXPECT_EQ(modal.q, 11.59);
    EXPECT_EQ(modal.decayTime, 300.0);
    const FilterTextFilter& shelf = text.filters[2];
    EXPECT_EQ(shelf.line, 10);
    EXPECT_EQ(shelf.type, FilterTextType::LowShelf);
    EXPECT_EQ(shelf.gain, 3.0);
    EXPECT_FALSE(shelf.q);
}

TEST_F(FilterTextRead, AnEqualiserConfigurationKeepsItsCommandsInFileOrder) {
    ASSERT_TRUE(Read("# made by hand\n"
                     "Preamp: -3 dB\n"
                     "Delay: 1.5 ms\n"
                     "Channel: L\n"
                     "Filter: ON PK Fc 63 Hz Gain -5 dB Q 4\n"
                     "Filter 2: ON NO Fc 1000 Hz Q 10\n"
                     "Filter3: ON AP Fc 500 Hz Q 0.7\n"))
        << error;
    ASSERT_EQ(text.commands.size(), 3u);
    EXPECT_EQ(text.commands[0].line, 2);
    EXPECT_EQ(text.commands[0].name, "Preamp");
    EXPECT_EQ(text.commands[0].argument, "-3 dB");
    EXPECT_EQ(text.commands[1].name, "Delay");
    EXPECT_EQ(text.commands[2].name, "Channel");
    EXPECT_EQ(text.commands[2].argument, "L");
    ASSERT_EQ(text.filters.size(), 3u);
    EXPECT_EQ(text.filters[0].line, 5);
    EXPECT_EQ(text.filters[1].type, FilterTextType::Notch);
    EXPECT_EQ(text.filters[1].q, 10.0);
    EXPECT_EQ(text.filters[2].type, FilterTextType::AllPass);
    EXPECT_EQ(text.filters[2].line, 7);
}

// The equaliser reads its command names with their case: anything else is
// text, as is every line of a room-measurement export but its filters.
TEST_F(FilterTextRead, CommandNamesCountOnlyWithTheirCase) {
    ASSERT_TRUE(Read("preamp: -30 dB\n"
                     "filter: ON PK Fc 63 Hz Gain -5 dB Q 4\n"
                     "delay: 10 ms\n"
                     "Filter: ON PK Fc 100 Hz Gain 1 dB Q 1\n"
                     "A note: with a colon\n"))
        << error;
    EXPECT_TRUE(text.commands.empty());
    ASSERT_EQ(text.filters.size(), 1u);
    EXPECT_EQ(text.filters[0].frequency, 100.0);

    ASSERT_TRUE(
        Read("Filter Settings file\nPreamp: -3 dB\nFilter 1: ON PK Fc 63 Hz Gain 1 dB Q 1\n"));
    EXPECT_TRUE(text.commands.empty());
}

TEST_F(FilterTextRead, FilesAsProgramsAndLocalesWriteThemReadAlike) {
    const std::string plain =
        "Filter Settings file\nFilter 1: ON PK Fc 63.5 Hz Gain -5.5 dB Q 4.25\n";
    ASSERT_TRUE(Read(plain));
    const FilterTextFilter expected = text.filters[0];
    for (const std::string& variant : {
             std::string("\xEF\xBB\xBF") + plain,
             std::string(
                 "Filter Settings file\r\nFilter 1: ON PK Fc 63.5 Hz Gain -5.5 dB Q 4.25\r\n"),
             std::string("Filter Settings file\nFilter 1: ON PK Fc 63,5 Hz Gain -5,5 dB Q 4,25\n"),
             std::string(
                 "Filter Settings file\nFilter\t1:\tON\tPK\tFc\t63.5\tHz\tGain\t-5.5\tdB\tQ\t4.25"),
             std::string(
                 "\n\nFilter Settings file\nFilter  1: ON  pk  fc 63.5Hz gain -5.5dB q 4.25\n"),
             std::string(
                 "Filter Settings file\nFilter 1: on PEQ Fc +63.5 HZ Gain -5.5 DB Q 4.25\n"),
         }) {
        ASSERT_TRUE(Read(variant)) << variant << ": " << error;
        ASSERT_EQ(text.filters.size(), 1u) << variant;
        const FilterTextFilter& f = text.filters[0];
        EXPECT_EQ(f.line, variant.starts_with("\n\n") ? 4 : 2) << variant;
        EXPECT_EQ(f.type, FilterTextType::Peaking) << variant;
        EXPECT_EQ(f.frequency, expected.frequency) << variant;
        EXPECT_EQ(f.gain, expected.gain) << variant;
        EXPECT_EQ(f.q, expected.q) << variant;
        EXPECT_EQ(f.problem, "") << variant;
    }
}

TEST_F(FilterTextRead, TypeCodesAndTheirAliasesAreKnown) {
    EXPECT_EQ(Only("Filter: ON PEQ Fc 1 Hz Gain 1 dB Q 1").type, FilterTextType::Peaking);
    EXPECT_EQ(Only("Filter: ON Modal Fc 1 Hz Gain 1 dB Q 1").type, FilterTextType::Modal);
    EXPECT_EQ(Only("Filter: ON NO Fc 1 Hz Q 1").type, FilterTextType::Notch);
    EXPECT_EQ(Only("Filter: ON HS Fc 1 Hz Gain 1 dB").type, FilterTextType::HighShelf);
    EXPECT_EQ(Only("Filter: ON LSC Fc 1 Hz Gain 1 dB Q 0.7").type, FilterTextType::LowShelfQ);
    EXPECT_EQ(Only("Filter: ON HSQ Fc 1 Hz Gain 1 dB Q 0.7").type, FilterTextType::HighShelfQ);
    EXPECT_EQ(Only("Filter: ON AP Fc 1 Hz Q 1").type, FilterTextType::AllPass);
    for (const char* other : {"LP", "HP", "LPQ", "HPQ", "LP1", "HP1", "BP"}) {
        const FilterTextFilter f = Only(std::string("Filter: ON ") + other + " Fc 80 Hz Q 0.7");
        EXPECT_EQ(f.type, FilterTextType::Other) << other;
        EXPECT_EQ(f.code, other);
        EXPECT_EQ(f.problem, "") << other;
    }
    const FilterTextFilter iir = Only("Filter: ON IIR Order 2 Coefficients 1 -1.9 0.9 1 -1.8 0.81");
    EXPECT_EQ(iir.type, FilterTextType::Other);
    EXPECT_EQ(iir.problem, "");
    const FilterTextFilter unknown = Only("Filter: ON XYZ Fc 100 Hz");
    EXPECT_EQ(unknown.type, FilterTextType::Unknown);
    EXPECT_EQ(unknown.code, "XYZ");
}

TEST_F(FilterTextRead, ShelfSlopesBandwidthsAndDecayTimesAreRead) {
    const FilterTextFilter slope = Only("Filter: ON LS 6dB Fc 100 Hz Gain 3 dB");
    EXPECT_EQ(slope.type, FilterTextType::LowShelf);
    EXPECT_EQ(slope.slope, 6.0);
    EXPECT_EQ(Only("Filter: ON HSC 12 dB Fc 8000 Hz Gain -2 dB").slope, 12.0);
    const FilterTextFilter bw = Only("Filter: ON PK Fc 100 Hz Gain 3 dB BW Oct 1,5");
    EXPECT_EQ(bw.bandwidth, 1.5);
    EXPECT_FALSE(bw.q);
    EXPECT_EQ(Only("Filter: ON Modal Fc 45 Hz Gain -4.5 dB Q 9.48 T60 600 ms").decayTime, 600.0);
}

TEST_F(FilterTextRead, ALineThatCannotBeReadSaysWhy) {
    EXPECT_EQ(Problem("Filter: ON PK Fc abc Hz Gain 1 dB Q 1"), "Fc \"abc\" is not a number");
    EXPECT_EQ(Problem("Filter: ON PK Fc 100 Hz Gain 3 Hz Q 1"), "unknown parameter \"Hz\"");
    EXPECT_EQ(Problem("Filter: ON PK Fc 100kHz Gain 3 dB Q 1"), "Fc \"100kHz\" is not in Hz");
    EXPECT_EQ(Problem("Filter: ON PK Fc 1e999 Hz Gain 1 dB Q 1"), "Fc \"1e999\" is not a number");
    EXPECT_EQ(Problem("Filter: ON PK Fc nan Hz Gain 1 dB Q 1"), "Fc \"nan\" is not a number");
    EXPECT_EQ(Problem("Filter: ON PK Fc 100 Hz Gain -inf dB Q 1"), "Gain \"-inf\" is not a number");
    EXPECT_EQ(Problem("Filter: ON PK Fc 100 Hz Gain +-5 dB Q 1"), "Gain \"+-5\" is not a number");
    EXPECT_EQ(Problem("Filter: ON PK Fc 1,000.5 Hz Gain 1 dB Q 1"),
              "Fc \"1,000.5\" is not a number");
    EXPECT_EQ(Problem("Filter: ON PK Fc 100 Hz Gain 1 dB Q"), "Q has no value");
    EXPECT_EQ(Problem("Filter: ON PK Fc 100 Hz Fc 200 Hz Q 1"), "Fc is given twice");
    EXPECT_EQ(Problem("Filter: ON PK Fc 100 Hz Gain 1 dB Q 1 Slope 2"),
              "unknown parameter \"Slope\"");
    EXPECT_EQ(Problem("Filter: ON PK Fc 100 Hz BW 1"), "BW is not followed by \"Oct\"");
    EXPECT_EQ(Problem("Filter: PK Fc 100 Hz Gain 1 dB Q 1"), "the filter is neither ON nor OFF");
    EXPECT_EQ(Problem("Filter: ON"), "the filter has no type");
    EXPECT_EQ(Problem("Filter: ON PK Fc 100 Hz Gain 1 dB Q " + std::string(2000, '1')),
              "the line is longer than 1024 characters");
}

TEST_F(FilterTextRead, WhatIsNoFilterListIsRefusedWithAClearMessage) {
    const auto refused = [this](const std::string& content) {
        const bool read = Read(content);
        EXPECT_TRUE(text.filters.empty() && text.commands.empty());
        return read ? std::string("read") : error;
    };
    EXPECT_EQ(refused(""), "The file holds no filters.");
    EXPECT_EQ(refused("Preamp: -3 dB\n# Filter: ON PK Fc 1 Hz Gain 1 dB Q 1\n"),
              "The file holds no filters.");
    EXPECT_EQ(refused("Filter Settings file\nFilter 1: ON None\nFilter 2: OFF PK Fc 1 Hz\n"),
              "Every filter of the file is switched off.");
    EXPECT_EQ(refused(std::string("Filter: ON PK Fc 63 Hz Gain 1 dB Q 1\n\0\x01", 40)),
              "The file holds bytes that are not text: it is no filter list.");
    EXPECT_EQ(refused(std::string("\xFF\xFE"
                                  "F\0i\0l\0t\0e\0r\0:\0",
                                  16)),
              "The file holds bytes that are not text: it is no filter list.");
    EXPECT_EQ(refused(std::string(kMaxFilterTextBytes + 1, '#')),
              "The file is larger than a filter list can be (1 MB).");
    std::string many;
    for (std::size_t i = 0; i <= kMaxFilterTextEntries; ++i) {
        many += "Filter: ON PK Fc 100 Hz Gain 1 dB Q 1\n";
    }
    EXPECT_EQ(refused(many), "The file holds more than 1000 filters and commands: it is no "
                             "filter list.");
    EXPECT_EQ(refused(std::string(kMaxFilterTextBytes, '\n')), "The file holds no filters.");

    test::TempDir dir;
    EXPECT_FALSE(ReadFilterText(dir / "missing.txt", text, error));
    EXPECT_EQ(error, "Couldn't open the file ! ");
}

TEST_F(FilterTextRead, AVeryLongLineOfTextIsSkipped) {
    ASSERT_TRUE(Read("Filter: ON PK Fc 100 Hz Gain 1 dB Q 1\n" + std::string(900000, 'x')));
    EXPECT_EQ(text.filters.size(), 1u);
}

} // namespace
} // namespace kv
