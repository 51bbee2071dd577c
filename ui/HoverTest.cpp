#include "ui/Hover.h"

#include "ui/MainWindow.h"
#include "ui/Palette.h"
#include "ui/TransparentLabel.h"

#include <QApplication>
#include <QEnterEvent>
#include <QTimer>
#include <gtest/gtest.h>

using namespace ui;

namespace {

class HoverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_window = std::make_unique<MainWindow>(
            m_state, MainWindowSettings { .downloadPort = 0, .services = {} });
        m_window->setAttribute(Qt::WA_DeleteOnClose, false);
        m_window->move(100, 100);
        m_window->show();
        // The timer's ticks are driven by hand here.
        m_window->findChild<QTimer*>(QStringLiteral("布局颜色时钟"))->stop();
        m_labels = { label("载入标签"), label("清除标签"), label("复制标签") };
        for (TransparentLabel* each : { m_labels.load, m_labels.clear, m_labels.copy })
            QObject::connect(
                each, &TransparentLabel::textColourChanged, [this] { ++m_colourChanges; });
    }

    TransparentLabel* label(const char* name)
    {
        return m_window->findChild<TransparentLabel*>(QString::fromUtf8(name));
    }

    // The label lit after a tick with the pointer at a point of the window, or nullptr; fails
    // when more than one is lit.
    TransparentLabel* tickAt(QPoint inWindow)
    {
        updateHoverColours(m_labels, windowUnderPointerAt(m_window->mapToGlobal(inWindow)));
        TransparentLabel* lit = nullptr;
        for (TransparentLabel* each : { m_labels.load, m_labels.clear, m_labels.copy }) {
            if (each->textColour() == palette::kHover) {
                EXPECT_EQ(lit, nullptr) << "two labels lit";
                lit = each;
            } else {
                EXPECT_EQ(each->textColour(), palette::kNormal);
            }
        }
        return lit;
    }

    core::ShareState m_state;
    std::unique_ptr<MainWindow> m_window;
    ActionLabels m_labels;
    int m_colourChanges = 0;
};

TEST_F(HoverTest, TheLabelUnderThePointerIsLit)
{
    QWidget cover(nullptr, Qt::Window | Qt::FramelessWindowHint);
    struct Row {
        const char* where;
        QPoint at;
        TransparentLabel* lit;
    };
    const Row rows[] = {
        { "载入文件", { 256, 85 }, m_labels.load },
        { "清除文件, straight from 载入文件", { 256, 101 }, m_labels.clear },
        { "复制地址, straight from 清除文件", { 256, 120 }, m_labels.copy },
        { "between two labels", { 256, 93 }, nullptr },
        { "载入文件 again", { 240, 80 }, m_labels.load },
        { "the label's frame, beside it", { 230, 85 }, nullptr },
        { "复制地址's last pixel", { 279, 126 }, m_labels.copy },
        { "the path box", { 100, 85 }, nullptr },
        { "the banner", { 100, 40 }, nullptr },
        { "outside the window", { -20, 50 }, nullptr },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.where);
        EXPECT_EQ(tickAt(row.at), row.lit);
    }

    // Another window over the labels: none of ours is under the pointer.
    EXPECT_EQ(tickAt({ 256, 85 }), m_labels.load);
    cover.setGeometry(QRect(m_window->mapToGlobal(QPoint(220, 70)), QSize(70, 70)));
    cover.show();
    cover.raise();
    EXPECT_EQ(tickAt({ 256, 85 }), nullptr);
}

TEST_F(HoverTest, APointerAtRestSetsNothing)
{
    tickAt({ 256, 101 });
    int afterLighting = m_colourChanges;
    EXPECT_EQ(afterLighting, 1);
    for (int i = 0; i < 3; ++i)
        tickAt({ 256, 101 });
    EXPECT_EQ(m_colourChanges, afterLighting);

    tickAt({ 10, 140 });
    int afterLeaving = m_colourChanges;
    for (int i = 0; i < 3; ++i)
        tickAt({ 10, 140 });
    EXPECT_EQ(m_colourChanges, afterLeaving);
}

TEST_F(HoverTest, TrackerFollowsEnterAndLeaveWithoutAskingWhereThePointerIs)
{
    PointerTracker tracker;
    QWidget* frame = m_labels.load->parentWidget();
    QPoint global = m_window->mapToGlobal(QPoint(256, 85));
    auto enter = [&](QWidget* widget) {
        QPointF local = widget->mapFromGlobal(global);
        QEnterEvent event(local, local, global);
        QApplication::sendEvent(widget, &event);
    };
    auto leave = [](QWidget* widget) {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(widget, &event);
    };
    EXPECT_EQ(tracker.widgetUnderPointer(), nullptr);
    enter(m_window.get());
    enter(frame);
    enter(m_labels.load);
    EXPECT_EQ(tracker.widgetUnderPointer(), m_labels.load);

    // The window's own tick reads the same reports.
    m_window->updateHoverColours();
    EXPECT_EQ(m_labels.load->textColour(), palette::kHover);

    leave(m_labels.load);
    EXPECT_EQ(tracker.widgetUnderPointer(), frame);
    // Another program's window slides over ours: the window system says we were left.
    leave(frame);
    leave(m_window.get());
    EXPECT_EQ(tracker.widgetUnderPointer(), nullptr);
    m_window->updateHoverColours();
    EXPECT_EQ(m_labels.load->textColour(), palette::kNormal);
}

} // namespace
