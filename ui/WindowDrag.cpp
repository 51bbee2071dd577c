#include "ui/WindowDrag.h"

#include "ui/Assets.h"
#include "ui/Palette.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace ui {

WindowDrag::WindowDrag(QWidget* window)
    : QObject(window)
    , m_window(window)
{
    window->installEventFilter(this);
}

bool WindowDrag::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_window)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() != Qt::LeftButton)
            return false;
        QWindow* handle = m_window->windowHandle();
        if (handle && handle->startSystemMove())
            return true;
        m_dragging = true;
        m_offset = press->globalPosition().toPoint() - m_window->frameGeometry().topLeft();
        return true;
    }
    case QEvent::MouseMove: {
        auto* move = static_cast<QMouseEvent*>(event);
        if (!m_dragging || !(move->buttons() & Qt::LeftButton))
            return false;
        m_window->move(move->globalPosition().toPoint() - m_offset);
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            m_dragging = false;
        return false;
    default:
        return false;
    }
}

void setUpBorderlessWindow(QWidget* window, int width, int height)
{
    window->setWindowIcon(assets::applicationIcon());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setFixedSize(width, height);
    QPalette background = window->palette();
    background.setColor(QPalette::Window, palette::kWindow);
    window->setPalette(background);
    window->setAutoFillBackground(true);
    new WindowDrag(window);
}

} // namespace ui
