#include "app/ProcessFrame.h"
#include "core/testing/TempDir.h"
#include "ui/MainWindow.h"

#include "ui/PictureButton.h"
#include "ui/TransparentLabel.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <fstream>

namespace {

struct ExitRecord {
    int runs = 0;
    bool windowGoneFirst = false;
};

// Builds the frame as the tool does, lets `whileRunning` act on the window once the loop is up,
// and returns the exit status.
int runTool(ExitRecord& record, const std::function<void(ui::MainWindow*)>& whileRunning,
    ui::CommandServices services = {})
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
    window = new ui::MainWindow(state, { .downloadPort = 0, .services = std::move(services) });
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

// A click on the close button that queued up while a load was blocked runs at the load's
// dispatch step; the load must then leave the closing window alone and the run end cleanly.
void closeClickedDuringLoad(bool destroyInsideDispatch)
{
    core::testing::TempDir temp("hedu-close-during-load");
    std::string path = (temp.path() / "file.bin").string();
    std::ofstream(path) << "some bytes";

    QPointer<ui::MainWindow> mainWindow;
    bool lookedUp = false;
    ui::CommandServices services;
    services.fetchPublicAddress = [&] {
        // The user clicks close while the lookup holds the window: the click waits in the queue.
        auto* closeButton = mainWindow->findChild<ui::PictureButton*>(QStringLiteral("图形按钮1"));
        QPointF at(8, 8);
        QPointF global = closeButton->mapToGlobal(at);
        QCoreApplication::postEvent(closeButton,
            new QMouseEvent(
                QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, {}));
        QCoreApplication::postEvent(closeButton,
            new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, {}, {}));
        lookedUp = true;
        return core::Text("127.0.0.1");
    };
    if (destroyInsideDispatch) {
        services.dispatchPendingEvents = [] {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        };
    }
    ExitRecord record;
    int status = runTool(
        record,
        [&](ui::MainWindow* window) {
            mainWindow = window;
            // The user picks the file once the dialog is up.
            auto* picker = new QTimer(window);
            QObject::connect(picker, &QTimer::timeout, [&, picker] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                if (!dialog)
                    return;
                picker->stop();
                // As a user would: the full path typed into the name field, then Return.
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                ASSERT_NE(name, nullptr);
                name->setText(QString::fromStdString(path));
                QTest::keyClick(name, Qt::Key_Return);
            });
            picker->start(10);
            auto* load = window->findChild<ui::TransparentLabel*>(QStringLiteral("载入标签"));
            QTest::mousePress(load, Qt::LeftButton, {}, QPoint(5, 5));
        },
        std::move(services));
    EXPECT_TRUE(lookedUp);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(record.runs, 1);
    EXPECT_TRUE(record.windowGoneFirst);
}

TEST(ProcessFrameTest, CloseClickedDuringALoadEndsTheRunCleanly)
{
    closeClickedDuringLoad(false);
}

TEST(ProcessFrameTest, WindowDestroyedWhileALoadDispatchesIsLeftAlone)
{
    closeClickedDuringLoad(true);
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
