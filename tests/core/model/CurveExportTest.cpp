#include "model/CurveExport.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <string>

namespace kv {
namespace {

TEST(CurveExport, LinesCarryTheirDecimalsByDecade) {
    EXPECT_EQ(CurveExportLine(1000.0, {1.0, 0.0}), "1000.00  0.00  0.00\r\n");
    EXPECT_EQ(CurveExportLine(12.5, {1.0, 0.0}), "12.5000  0.00  0.00\r\n");
    EXPECT_EQ(CurveExportLine(500.0, {10.0, 0.0}), "500.000  20.00  0.00\r\n");
    EXPECT_EQ(CurveExportLine(20000.0, {0.0, -2.0}), "20000.0  6.02  -90.00\r\n");
    EXPECT_EQ(CurveExportLine(40.0, {0.0, 0.0}), "40.0000  -760.00  0.00\r\n");
    EXPECT_EQ(CurveExportLine(9999.999, {-1.0, 0.0}), "10000.00  0.00  180.00\r\n");
}

TEST(CurveExport, WritesTheHeaderAndOneLinePerPoint) {
    test::TempDir dir;
    test::RecordingMessageBox messages;
    VDoubleVec f(2);
    f[0] = 12.5;
    f[1] = 1000.0;
    VComplexVec response(2);
    response.FillReal(1.0);
    ASSERT_TRUE(ExportCurve(dir / "c.txt", f, response, messages));
    const auto bytes = test::ReadBytes(dir / "c.txt");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "Freq      dB         Phase\r\n12.5000  0.00  0.00\r\n1000.00  0.00  0.00\r\n");
    EXPECT_TRUE(messages.shown.empty());
}

TEST(CurveExport, AFailureIsReportedAndLeavesNothingBehind) {
    test::TempDir dir;
    test::RecordingMessageBox messages;
    VDoubleVec f(1);
    VComplexVec response(1);
    EXPECT_FALSE(ExportCurve(dir / "missing" / "c.txt", f, response, messages));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Failed saving the curve !\n\nThe folder \"" +
                                          (dir / "missing").string() + "\" does not exist.");
    EXPECT_EQ(messages.shown[0].icon, IMessageBox::Icon::Error);
}

} // namespace
} // namespace kv
