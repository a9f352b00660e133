// File managers know designs by the MIME type that the package installs; Qt
// reads the same shared MIME database as they do, so it stands in for them.
#include "model/CConfiguration.h"
#include "support/ProjectFileBytes.h"
#include "support/TestSupport.h"

#include <QByteArray>
#include <QMimeDatabase>
#include <QString>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

namespace kv {
namespace {

const std::string kDesignType = "application/x-kestrelvane";

class DesignFileType : public ::testing::Test {
protected:
    // The type as the only package of a data folder of its own, in place
    // before this process looks up any type.
    static void SetUpTestSuite() {
        dataDir_ = std::make_unique<test::TempDir>();
        const auto packages = dataDir_->Path() / "mime" / "packages";
        std::filesystem::create_directories(packages);
        std::filesystem::copy_file(std::filesystem::path(KV_SOURCE_DIR) / "packaging" /
                                       "kestrelvane.xml",
                                   packages / "kestrelvane.xml");
        savedDataDirs_ = Variable("XDG_DATA_DIRS");
        savedDataHome_ = Variable("XDG_DATA_HOME");
        qputenv("XDG_DATA_DIRS", QByteArray::fromStdString(dataDir_->Path().string()));
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString((*dataDir_ / "home").string()));
    }

    static void TearDownTestSuite() {
        Restore("XDG_DATA_DIRS", savedDataDirs_);
        Restore("XDG_DATA_HOME", savedDataHome_);
        dataDir_.reset();
    }

    static std::string TypeOf(const std::filesystem::path& file,
                              QMimeDatabase::MatchMode mode = QMimeDatabase::MatchContent) {
        return QMimeDatabase()
            .mimeTypeForFile(QString::fromStdString(file.string()), mode)
            .name()
            .toStdString();
    }

    test::TempDir files_;

private:
    static std::optional<QByteArray> Variable(const char* name) {
        return qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
    }
    static void Restore(const char* name, const std::optional<QByteArray>& value) {
        if (value) {
            qputenv(name, *value);
        } else {
            qunsetenv(name);
        }
    }

    static inline std::unique_ptr<test::TempDir> dataDir_;
    static inline std::optional<QByteArray> savedDataDirs_;
    static inline std::optional<QByteArray> savedDataHome_;
};

TEST_F(DesignFileType, IsKnownByItsExtension) {
    EXPECT_EQ(TypeOf("/designs/3-way.ksv", QMimeDatabase::MatchExtension), kDesignType);
}

TEST_F(DesignFileType, IsKnownByTheContentOfEveryVersionWhateverTheName) {
    CConfiguration design;
    ASSERT_TRUE(design.New(3, 96000.0));
    test::RecordingMessageBox messages;
    const auto saved = files_ / "saved-design";
    ASSERT_TRUE(design.Save(saved, messages));
    EXPECT_EQ(TypeOf(saved), kDesignType);

    for (int version = 1; version <= 5; ++version) {
        const auto old = files_ / ("version-" + std::to_string(version));
        test::WriteBytes(old, test::WriteFile(design, version));
        EXPECT_EQ(TypeOf(old), kDesignType) << test::kProjectMagics[version - 1];
    }
}

TEST_F(DesignFileType, ForeignFilesOfTheSameShapeAreNotDesigns) {
    const auto otherName = files_ / "other-name";
    test::WriteBytes(otherName, test::ByteWriter().String("SOMEONE_ELSES_FORMAT1").Bytes());
    EXPECT_NE(TypeOf(otherName), kDesignType);

    const auto otherLength = files_ / "other-length";
    test::WriteBytes(otherLength, test::ByteWriter().String("KESTRELV_TAS3103_V2050").Bytes());
    EXPECT_NE(TypeOf(otherLength), kDesignType);
}

} // namespace
} // namespace kv
