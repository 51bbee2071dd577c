#include "ui/MainWindow.h"

#include <QKeyEvent>
#include <QScreen>

namespace ui {

namespace {
constexpr int kWidth = 283;
constexpr int kHeight = 168;
} // namespace

MainWindow::MainWindow(core::ShareState& shareState, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_shareState(shareState)
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("禾渡文件传送"));
    // Closing destroys the window; the process frame ends the run when it is gone.
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kWidth, kHeight);
}

void MainWindow::showCentred()
{
    if (QScreen* screen = this->screen()) {
        QRect area = screen->geometry();
        move(area.x() + (area.width() - kWidth) / 2, area.y() + (area.height() - kHeight) / 2);
    }
    show();
    // With no window manager, keys go to the window under the pointer unless we ask for focus.
    activateWindow();
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace ui
