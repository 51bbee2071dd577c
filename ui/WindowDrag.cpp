#include "ui/WindowDrag.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace ui {

void WindowDrag::press(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    event->accept();
    QWindow* handle = m_window->windowHandle();
    if (handle && handle->startSystemMove())
        return;
    m_dragging = true;
    m_offset = event->globalPosition().toPoint() - m_window->frameGeometry().topLeft();
}

void WindowDrag::move(QMouseEvent* event)
{
    if (!m_dragging || !(event->buttons() & Qt::LeftButton))
        return;
    event->accept();
    m_window->move(event->globalPosition().toPoint() - m_offset);
}

void WindowDrag::release(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
}

} // namespace ui
