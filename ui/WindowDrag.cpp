#include "ui/WindowDrag.h"

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

} // namespace ui
