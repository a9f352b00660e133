#include "archive/FileProblems.h"
#include "model/CConfiguration.h"
#include "support/ChildProcess.h"
#include "support/ProjectFileBytes.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <random>

#if defined(__unix__)
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace kv {
namespace {

using test::ByteWriter;
using test::kProjectMagics;
using test::ReadBytes;
using test::RecordingMessageBox;
using test::TempDir;
using test::WriteBandRecord;
using test::WriteBytes;
using test::WriteFile;
using Bytes = std::vector<std::uint8_t>;

// A design whose every stored field holds a value of its own, set through
// the setters where they exist.
void FillRandomly(CConfiguration& design, std::mt19937& random) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto pick = [&](double lo, double hi) { return lo + (hi - lo) * unit(random); };
    const auto pickInt = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    ASSERT_TRUE(design.New(pickInt(1, 3), 96000.0));
    design.SetTitle("Design " + std::to_string(random()));
    design.inputGain = pick(-10, 10);
    design.SetTargetLevel(pick(-100, 200));
    for (int b = 0; b < design.numBands; ++b) {
        CBand& band = design.bands[b];
        band.SetInput(static_cast<InputRoute>(pickInt(0, 2)));
        band.SetGain(pick(-122, 24));
        design.SetDelay(b, pick(0, 0.006));
        band.SetMuted(unit(random) < 0.5);
        band.SetReversedPhase(unit(random) < 0.5);
        band.SetBassCorner(pickInt(1, 5));
        band.SetBassGain(pick(-18, 18));
        band.SetTrebleCorner(pickInt(1, 5));
        band.SetTrebleGain(pick(-18, 18));
        for (int k = 0; k < kCrossoverSlots; ++k) {
            for (auto* slots : {&band.hpFilter, &band.hpTarget, &band.lpFilter, &band.lpTarget}) {
                CrossoverSettings& s = (*slots)[k];
                s.freq = pick(20, 20000);
                s.order = pickInt(1, 3);
                s.type = static_cast<CrossoverType>(pickInt(1, 3));
                for (int j = 0; j < kCrossoverSections; ++j) {
                    s.freqOfs[j] = pick(0.5, 2);
                    s.q[j] = pick(0.3, 3);
                }
            }
            band.EnableHighPass(k, unit(random) < 0.5);
            band.EnableLowPass(k, unit(random) < 0.5);
        }
        for (int k = 0; k < kNotches; ++k) {
            band.SetNotch(k, pick(20, 20000), pick(0.1, 25), unit(random) < 0.2);
        }
        band.SetAllPass(pick(20, 20000), pick(0.1, 25), unit(random) < 0.5);
        band.SetLowShelf(pick(-20, 20), pick(20, 20000), unit(random) < 0.3);
        band.SetHighShelf(pick(-20, 20), pick(20, 20000), unit(random) < 0.3);
        for (int k = 0; k < kEqualisers; ++k) {
            band.SetPeq(k, pick(-20, 20), pick(20, 20000), pick(0.1, 25), unit(random) < 0.2);
        }
        band.splFileName = "/measurements/driver" + std::to_string(b) + ".frd";
        band.splSmoothing = pickInt(1, 48);
        const int points = pickInt(0, 40);
        band.splFreqs.SetSize(points);
        band.splRaw.SetSize(points);
        for (int i = 0; i < points; ++i) {
            band.splFreqs[i] = 20.0 * std::pow(1.2, i);
            band.splRaw[i] = {pick(-2, 2), pick(-2, 2)};
        }
    }
}

class ProjectFile : public ::testing::Test {
protected:
    bool LoadBytes(const Bytes& bytes) {
        WriteBytes(dir / "in.ksv", bytes);
        return loaded.Load(dir / "in.ksv", messages);
    }

    // The message's first line, and the sentence after it that names the
    // file and says what is wrong with it (checked when given).
    void ExpectCorrupt(const Bytes& bytes, const std::string& heading,
                       const std::string& reason = {}) {
        messages.shown.clear();
        EXPECT_FALSE(LoadBytes(bytes));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(
            messages.shown[0].text.rfind(heading + "\n\n\"" + (dir / "in.ksv").string() + "\" ", 0),
            0u)
            << messages.shown[0].text;
        if (!reason.empty()) {
            EXPECT_EQ(messages.shown[0].text.substr(messages.shown[0].text.find("\" ") + 2),
                      reason);
        }
        EXPECT_EQ(messages.shown[0].caption, "Kestrelvane (HMQ27)");
        EXPECT_EQ(messages.shown[0].icon, IMessageBox::Icon::Error);
        EXPECT_EQ(loaded.numBands, 0);
        EXPECT_TRUE(loaded.title.empty());
    }

    TempDir dir;
    RecordingMessageBox messages;
    CConfiguration loaded;
};

TEST_F(ProjectFile, TheWrittenLayoutIsTheCurrentVersionByteForByte) {
    std::mt19937 random(7);
    for (int round = 0; round < 25; ++round) {
        CConfiguration design;
        FillRandomly(design, random);
        const auto path = dir / "out.ksv";
        ASSERT_TRUE(design.Save(path, messages));
        EXPECT_EQ(ReadBytes(path), WriteFile(design, 5)) << "round " << round;
        EXPECT_EQ(design.fileName, path.string());
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ProjectFile, EveryStoredFieldSurvivesARoundTrip) {
    std::mt19937 random(11);
    for (int round = 0; round < 25; ++round) {
        CConfiguration design;
        FillRandomly(design, random);
        design.sampleRate = 48000.0;
        design.bitDepth = 16;
        ASSERT_TRUE(design.Save(dir / "a.ksv", messages));
        ASSERT_TRUE(loaded.Load(dir / "a.ksv", messages));
        EXPECT_EQ(loaded.sampleRate, 96000.0);
        EXPECT_EQ(loaded.fileName, (dir / "a.ksv").string());
        for (int b = 0; b < loaded.numBands; ++b) {
            EXPECT_TRUE(loaded.bands[b].modified);
            EXPECT_EQ(loaded.bands[b].splSmoothed.GetSize(), loaded.bands[b].splFreqs.GetSize());
        }
        // Saved again from where it was loaded, it is the same file.
        loaded.sampleRate = 48000.0;
        ASSERT_TRUE(loaded.Save(dir / "b.ksv", messages));
        Bytes expected = WriteFile(design, 5, (dir / "a.ksv").string());
        EXPECT_EQ(ReadBytes(dir / "b.ksv"), expected) << "round " << round;
    }
}

// A snapshot holds the bytes a save writes and puts the design back exactly,
// also over a design of other bands and curves.
TEST_F(ProjectFile, ASnapshotIsTheSavedFileAndRestoresTheDesign) {
    std::mt19937 random(5);
    CConfiguration design;
    FillRandomly(design, random);
    const std::vector<std::uint8_t> snapshot = design.Snapshot();
    ASSERT_TRUE(design.Save(dir / "s.ksv", messages));
    EXPECT_EQ(snapshot, ReadBytes(dir / "s.ksv"));
    FillRandomly(loaded, random);
    ASSERT_TRUE(loaded.Restore(snapshot));
    EXPECT_EQ(loaded.Snapshot(), snapshot);

    const std::vector<std::uint8_t> cut(snapshot.begin(), snapshot.begin() + 200);
    EXPECT_FALSE(loaded.Restore(cut));
    EXPECT_EQ(loaded.numBands, 0);
}

TEST_F(ProjectFile, OlderVersionsLoadWhatTheyHoldAndDefaultTheRest) {
    std::mt19937 random(3);
    for (int version = 1; version <= 4; ++version) {
        CConfiguration design;
        FillRandomly(design, random);
        // What the window held before must not leak into the loaded design.
        FillRandomly(loaded, random);
        ASSERT_TRUE(LoadBytes(WriteFile(design, version))) << version;
        const CBand& source = design.bands[0];
        const CBand& band = loaded.bands[0];
        const CBand fresh;
        EXPECT_EQ(loaded.title, design.title);
        EXPECT_EQ(loaded.inputGain, version >= 2 ? design.inputGain : 0.0);
        EXPECT_EQ(band.gain, source.gain);
        EXPECT_EQ(band.splFreqs.GetSize(), source.splFreqs.GetSize());
        EXPECT_EQ(band.hpFilter[0], source.hpFilter[0]);
        EXPECT_EQ(band.lpTarget[1], version >= 2 ? source.lpTarget[1] : fresh.lpTarget[1]);
        EXPECT_EQ(band.notch[0], source.notch[0]);
        for (int k = 1; k < kNotches; ++k) {
            const NotchSettings legacy{1000.0 * (k + 1), 25.0, false};
            EXPECT_EQ(band.notch[k], version >= 3 ? source.notch[k] : legacy) << k;
        }
        EXPECT_EQ(band.highShelf, source.highShelf);
        EXPECT_EQ(band.peq[7], source.peq[7]);
        for (int k = 8; k < kEqualisers; ++k) {
            EXPECT_EQ(band.peq[k], fresh.peq[k]) << k;
        }
        EXPECT_EQ(band.reversedPhase, version >= 4 && source.reversedPhase);
        EXPECT_FALSE(band.muted);
    }
}

TEST_F(ProjectFile, EveryTruncationFailsAndLeavesAnEmptyDesign) {
    CConfiguration design;
    ASSERT_TRUE(design.New(1, 96000.0));
    design.SetTitle("T");
    const Bytes whole = WriteFile(design, 5);
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
        // Up to the end of the magic the file cannot even be recognised; from
        // its fifth byte on it shows where it was cut.
        const std::string reason = cut == 0 ? "is empty."
                                   : cut <= 4
                                       ? ""
                                       : "ends after " + SizeText(cut) + ": the file is cut short.";
        ExpectCorrupt(part,
                      cut < 26 ? "The file is either corrupt or not valid ! "
                               : "The file is corrupt ! ",
                      reason);
    }
    EXPECT_TRUE(LoadBytes(whole));
}

TEST_F(ProjectFile, ForeignAndDamagedFilesAreRefusedWithTheirMessages) {
    CConfiguration design;
    ASSERT_TRUE(design.New(2, 96000.0));
    Bytes bytes = WriteFile(design, 5);

    ExpectCorrupt(ByteWriter().String("KESTRELV_TAS3103_V206").Bytes(), "This is not valid file ! ",
                  "is a Kestrelvane design of a kind this version cannot read "
                  "(KESTRELV_TAS3103_V206); it may come from a newer version.");
    ExpectCorrupt(
        ByteWriter().String("kestrelv_tas3103_v205").Bytes(), "This is not valid file ! ",
        "is not a Kestrelvane design (it starts with the bytes 16 00 00 00 6B 65 73 74).");
    ExpectCorrupt(ByteWriter().Int32(0x7FFFFFFF).Bytes(),
                  "The file is either corrupt or not valid ! ",
                  "is not a Kestrelvane design (it starts with the bytes FF FF FF 7F).");
    const std::string csv = "Frequency,SPL\n100,85\n";
    ExpectCorrupt(Bytes(csv.begin(), csv.end()), "The file is either corrupt or not valid ! ",
                  "is not a Kestrelvane design (it starts with \"Frequency,SPL\").");

    Bytes wrongTag = bytes;
    const std::string tag = "VDoubleVec";
    const auto at = std::search(wrongTag.begin(), wrongTag.end(), tag.begin(), tag.end());
    ASSERT_NE(at, wrongTag.end());
    *(at + 1) = 'X';
    ExpectCorrupt(wrongTag, "The file is corrupt ! ", "is damaged: it holds values no design has.");

    ByteWriter longTitle;
    longTitle.String(kProjectMagics[4]).Int32(0x7FFFFFFF).Raw(Bytes(64, 'a'));
    ExpectCorrupt(longTitle.Bytes(), "The file is corrupt ! ");

    ByteWriter sevenBands;
    sevenBands.String(kProjectMagics[4]).String("").String("").Double(96000).Int32(24);
    sevenBands.Double(0).Double(0).Int32(7);
    for (int b = 0; b < 7; ++b) {
        WriteBandRecord(sevenBands, design.bands[0], 5);
    }
    ExpectCorrupt(sevenBands.Bytes(), "The file is corrupt ! ");

    // An SPL curve claiming more points than the file holds.
    design.bands[0].splFreqs.SetSize(2);
    Bytes claim = WriteFile(design, 5);
    const std::string vec = "VDoubleVec";
    const auto count = std::search(claim.begin(), claim.end(), vec.begin(), vec.end()) + 11 + 4;
    *(count + 3) = 0x10;
    ExpectCorrupt(claim, "The file is corrupt ! ");
}

TEST_F(ProjectFile, StoredTextIsCutToItsField) {
    CConfiguration design;
    ASSERT_TRUE(design.New(1, 96000.0));
    design.title = std::string(400, 't');
    design.bands[0].splFileName = std::string(300, 'p');
    ASSERT_TRUE(LoadBytes(WriteFile(design, 5, std::string(500, 'f'))));
    EXPECT_EQ(loaded.title.size(), 255u);
    EXPECT_EQ(loaded.bands[0].splFileName.size(), 259u);
}

TEST_F(ProjectFile, ValuesTheComputationCannotSurviveMakeTheFileCorrupt) {
    const auto corruptWith = [&](const std::function<void(CBand&)>& damage) {
        CConfiguration design;
        design.New(1, 96000.0);
        damage(design.bands[0]);
        ExpectCorrupt(WriteFile(design, 5), "The file is corrupt ! ");
    };
    corruptWith([](CBand& b) { b.hpFilter[1].order = 9; });
    corruptWith([](CBand& b) { b.lpTarget[0].order = -1; });
    corruptWith([](CBand& b) { b.bassCorner = 6; });
    corruptWith([](CBand& b) { b.trebleCorner = 0; });
    corruptWith([](CBand& b) { b.input = static_cast<InputRoute>(3); });
    corruptWith([](CBand& b) { b.gain = std::nan(""); });
    corruptWith([](CBand& b) { b.peq[13].q = INFINITY; });
    corruptWith([](CBand& b) { b.hpFilter[0].freqOfs[3] = -INFINITY; });
    corruptWith([](CBand& b) {
        b.splFreqs.SetSize(1);
        b.splRaw.SetSize(1);
        b.splRaw[0] = {std::nan(""), 0};
    });

    // Out of the setters' ranges but harmless: older files may hold it.
    CConfiguration design;
    design.New(1, 96000.0);
    design.bands[0].gain = -130.0;
    design.bands[0].peq[0].q = 100.0;
    ASSERT_TRUE(LoadBytes(WriteFile(design, 5)));
    EXPECT_EQ(loaded.bands[0].gain, -130.0);
}

TEST_F(ProjectFile, AnUnknownSmoothingStillGivesACurveOfTheRightLength) {
    CConfiguration design;
    design.New(1, 96000.0);
    CBand& band = design.bands[0];
    band.splSmoothing = 60;
    band.splFreqs.SetSize(3);
    band.splRaw.SetSize(3);
    for (int i = 0; i < 3; ++i) {
        band.splFreqs[i] = 100.0 * (i + 1);
        band.splRaw[i] = {0.5, 0.0};
    }
    ASSERT_TRUE(LoadBytes(WriteFile(design, 5)));
    EXPECT_EQ(loaded.bands[0].splSmoothing, 60);
    ASSERT_EQ(loaded.bands[0].splSmoothed.GetSize(), 3);
    EXPECT_NEAR(loaded.bands[0].splSmoothed[2].real(), 0.5, 1e-12);
}

TEST_F(ProjectFile, ZeroOrNegativeBandCountsGiveAnEmptyDesign) {
    CConfiguration design;
    design.New(1, 96000.0);
    design.numBands = -2;
    ASSERT_TRUE(LoadBytes(WriteFile(design, 5)));
    EXPECT_EQ(loaded.numBands, 0);
}

TEST_F(ProjectFile, AMissingFileLeavesTheDesignUntouched) {
    ASSERT_TRUE(loaded.New(2, 96000.0));
    EXPECT_FALSE(loaded.Load(dir / "absent.ksv", messages));
    std::filesystem::create_directory(dir / "folder.ksv");
    EXPECT_FALSE(loaded.Load(dir / "folder.ksv", messages));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, "Couldn't open the file ! \n\n\"" +
                                          (dir / "absent.ksv").string() + "\" does not exist.");
    EXPECT_EQ(messages.shown[1].text, "Couldn't open the file ! \n\n\"" +
                                          (dir / "folder.ksv").string() +
                                          "\" is a folder, not a file.");
    EXPECT_EQ(loaded.numBands, 2);
}

class FailedSave : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(design.New(3, 96000.0));
        ASSERT_TRUE(design.Save(target, messages));
        previous = ReadBytes(target);
        design.SetTitle("changed");
        design.fileName.clear();
    }

    void ExpectPreviousFileIntact() {
        EXPECT_EQ(ReadBytes(target), previous);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                                std::filesystem::directory_iterator()),
                  1)
            << "no temporary file is left behind";
        EXPECT_TRUE(design.fileName.empty());
    }

    TempDir dir;
    std::filesystem::path target = dir / "design.ksv";
    RecordingMessageBox messages;
    CConfiguration design;
    Bytes previous;
};

TEST_F(FailedSave, AVanishedFolderIsReported) {
    EXPECT_FALSE(design.Save(dir / "gone" / "x.ksv", messages));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Couldn't create the file ! \n\nThe folder \"" +
                                          (dir / "gone").string() + "\" does not exist.");
    ExpectPreviousFileIntact();
}

TEST_F(FailedSave, AFolderInTheFilesPlaceIsReported) {
    std::filesystem::create_directory(dir / "folder.ksv");
    EXPECT_FALSE(design.Save(dir / "folder.ksv", messages));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Couldn't create the file ! \n\n\"" +
                                          (dir / "folder.ksv").string() +
                                          "\" is a folder; choose a file name.");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.ksv"));
}

// A value the loader refuses, put into the design behind the setters' backs:
// the save must notice before the good file is replaced.
TEST_F(FailedSave, ADesignThatWouldNotLoadAgainNeverReplacesTheFile) {
    CBand& band = design.bands[1];
    ASSERT_TRUE(band.SetSplCurve(test::VectorOf<VDoubleVec>({100.0, 1000.0, 10000.0}),
                                 VComplexVec(3), "driver.frd"));
    band.splRaw[1] = Complex(std::nan(""), 0.0);
    EXPECT_FALSE(design.Save(target, messages));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Couldn't save the file ! \n\nThe written copy could not be read back as a design, "
              "so the previous file was kept unchanged.");
    ExpectPreviousFileIntact();
}

#if defined(__unix__)
TEST_F(FailedSave, AWriteCutOffHalfwayKeepsTheLastGoodCopy) {
    // A file size limit makes every write past it fail.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = design.Save(target, messages);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Couldn't save the file ! \n\nThe file is larger than the "
                                      "disk allows. The previous file is unchanged.");
    ExpectPreviousFileIntact();
}

// The checks below run in a child process that changes its user or its
// mounts; it reports through its exit status and on standard error.
int ExpectOneMessage(const RecordingMessageBox& messages, const std::string& text) {
    if (messages.shown.size() == 1 && messages.shown[0].text == text) {
        return 0;
    }
    std::cerr << "expected one message \"" << text << "\", shown " << messages.shown.size()
              << (messages.shown.empty() ? "" : ": \"" + messages.shown.back().text + "\"") << '\n';
    return 1;
}

void ExpectChildPassed(int result, const char* skipReason) {
    if (result == test::kChildCannotRun) {
        GTEST_SKIP() << skipReason;
    }
    EXPECT_EQ(result, 0);
}

TEST_F(FailedSave, AFullDiskSaysSoAndKeepsTheLastGoodCopy) {
    const std::filesystem::path disk = dir / "disk";
    std::filesystem::create_directory(disk);
    ExpectChildPassed(
        test::RunInChild([&] {
            if (!test::MountSmallDisk(disk, 64 * 1024)) {
                return test::kChildCannotRun;
            }
            CConfiguration small;
            small.New(1, 96000.0);
            const std::filesystem::path file = disk / "design.ksv";
            if (!small.Save(file, messages)) {
                return 1;
            }
            const Bytes before = ReadBytes(file);
            std::ofstream filler(disk / "filler", std::ios::binary);
            const std::string block(4096, 'x');
            while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) {
            }
            RecordingMessageBox full;
            if (design.Save(file, full) || ReadBytes(file) != before) {
                return 1;
            }
            return ExpectOneMessage(
                full,
                "Couldn't save the file ! \n\nThe disk is full. The previous file is unchanged.");
        }),
        "this system lets no test mount a small disk");
}

TEST_F(FailedSave, FoldersAndFilesWithoutPermissionAreNamed) {
    namespace fs = std::filesystem;
    const fs::path locked = dir / "locked";
    const fs::path secret = dir / "secret.ksv";
    fs::create_directory(locked);
    ASSERT_TRUE(design.Save(secret, messages));
    fs::permissions(dir.Path(), fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::add);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    fs::permissions(secret, fs::perms::owner_write);
    const int result = test::RunInChild([&] {
        if (!test::RunAsOrdinaryUser()) {
            return test::kChildCannotRun;
        }
        RecordingMessageBox unwritable;
        RecordingMessageBox unreadable;
        CConfiguration other;
        design.Save(locked / "x.ksv", unwritable);
        other.Load(secret, unreadable);
        return ExpectOneMessage(unwritable, "Couldn't create the file ! \n\nYou have no permission "
                                            "to write in the folder \"" +
                                                locked.string() + "\".") |
               ExpectOneMessage(unreadable,
                                "Couldn't open the file ! \n\nYou have no permission to "
                                "read \"" +
                                    secret.string() + "\".");
    });
    fs::permissions(locked, fs::perms::owner_all);
    fs::permissions(secret, fs::perms::owner_all);
    ExpectChildPassed(result, "no ordinary user to run as");
}
#endif

} // namespace
} // namespace kv
