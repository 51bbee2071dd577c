#include "app/ProcessFrame.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct ExitRecord {
    int runs = 0;
    bool windowGoneFirst = false;
};

// Builds the frame as the tool does, lets `whileRunning` act on the window once the loop is up,
// and returns the exit status.
int runTool(ExitRecord& record, const std::function<void(ui::MainWindow*)>& whileRunning)
{
    core::ShareState state;
    state.fileName = "leftover.txt";
    app::ProcessFrame frame;
    QPointer<ui::MainWindow> window;
    frame.registerExitRoutine([&] {
        ++record.runs;
        record.windowGoneFirst = window.isNull();
        state = core::ShareState();
    });
    window = new ui::MainWindow(state, { .downloadPort = 0, .services = {} });
    frame.watchWindow(window);
    window->showCentred();
    QTimer::singleShot(0, window, [&] { whileRunning(window); });
    int status = frame.run();
    EXPECT_EQ(state, core::ShareState());
    return status;
}

TEST(ProcessFrameTest, ClosingAtOnceEndsTheRunWithTheExitRoutineOnce)
{
    ExitRecord record;
    EXPECT_EQ(runTool(record, [](ui::MainWindow* window) { window->close(); }), 0);
    EXPECT_EQ(record.runs, 1);
    EXPECT_TRUE(record.windowGoneFirst);
}

TEST(ProcessFrameTest, EscClosesTheMainWindowButModifiedEscDoesNot)
{
    ExitRecord record;
    int status = runTool(record, [](ui::MainWindow* window) {
        QTest::keyClick(window, Qt::Key_Escape, Qt::ShiftModifier);
        EXPECT_TRUE(window->isVisible());
        QTest::keyClick(window, Qt::Key_Escape);
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(record.runs, 1);
}

TEST(ProcessFrameTest, HidingIsNotTheEndOnlyDestructionIs)
{
    ExitRecord record;
    int status = runTool(record, [](ui::MainWindow* window) {
        window->hide();
        // Still running: the window is hidden, not destroyed. Destroy it a little later.
        QTimer::singleShot(20, window, [window] {
            EXPECT_TRUE(window->isHidden());
            window->deleteLater();
        });
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(record.runs, 1);
}

TEST(ProcessFrameTest, WithNoWindowTheLoopIsNotRun)
{
    int runs = 0;
    app::ProcessFrame frame;
    frame.registerExitRoutine([&] { ++runs; });
    EXPECT_EQ(frame.run(), 0);
    EXPECT_EQ(runs, 1);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
