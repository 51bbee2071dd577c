#pragma once

#include <QPoint>

class QMouseEvent;
class QWidget;

namespace ui {

// Moves a top-level window while the left button is held on a part of it that lets presses
// through (its background, shape boxes, the picture box). The window manager does the moving
// where one answers; where none does, the window follows the pointer itself.
class WindowDrag {
public:
    explicit WindowDrag(QWidget* window)
        : m_window(window)
    {
    }

    void press(QMouseEvent* event);
    void move(QMouseEvent* event);
    void release(QMouseEvent* event);

private:
    QWidget* m_window;
    bool m_dragging = false;
    QPoint m_offset; // pointer position relative to the window's top-left corner
};

} // namespace ui
