#include "platform/CSettings.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(CSettings, ValuesSurviveByTheirSectionAndName) {
    test::TempDir dir;
    const QString file = QString::fromStdString((dir / "settings.ini").string());
    {
        CSettings settings(file);
        EXPECT_EQ(settings.GetInt("Port", "Port no", 1), 1);
        EXPECT_EQ(settings.GetString("File", "Last", "none"), "none");
        EXPECT_TRUE(settings.SetInt("Port", "Port no", 3));
        EXPECT_TRUE(settings.SetString("File", "Last", "/designs/two way é.ksv"));
        EXPECT_TRUE(settings.SetInt("Show Curves", "Phase", 0));
    }
    CSettings again(file);
    EXPECT_EQ(again.GetInt("Port", "Port no", 1), 3);
    EXPECT_EQ(again.GetInt("Show Curves", "Phase", 1), 0);
    EXPECT_EQ(again.GetInt("File", "Last", 7), 7);
    EXPECT_EQ(again.GetString("File", "Last", ""), "/designs/two way é.ksv");
}

} // namespace
} // namespace kv
