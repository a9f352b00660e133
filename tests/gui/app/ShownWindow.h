#pragma once

#include "app/CKestrelvaneDlg.h"
#include "gui/session/SessionTestSupport.h"

#include <QTest>
#include <gtest/gtest.h>

namespace kv::test {

// The main window over settings in memory, shown at 1200 x 880 with a
// design the test made, opened from its file.
class ShownWindow : public ::testing::Test {
protected:
    void SetUp() override { window.Session().History().SetRecoveryFolder(dir / "data"); }

    void Show(CConfiguration& design) {
        ASSERT_TRUE(design.Save(dir / "design.ksv", messages));
        window.Start(dir / "design.ksv");
        window.resize(1200, 880);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    TempDir dir;
    RecordingMessageBox messages;
    MemorySettings settings;
    CKestrelvaneDlg window{settings};
};

} // namespace kv::test
