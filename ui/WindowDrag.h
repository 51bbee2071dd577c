#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

namespace ui {

// Lets a top-level window be moved while the left button is held on a part of it that lets
// presses through (its background, shape boxes, the picture box). The window manager does the
// moving where one answers; where none does, the window follows the pointer itself.
class WindowDrag : public QObject {
    Q_OBJECT
public:
    // Watches `window`'s own mouse events; lives as long as the window.
    explicit WindowDrag(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    bool m_dragging = false;
    QPoint m_offset; // pointer position relative to the window's top-left corner
};

// Sets up one of the tool's borderless windows: its fixed size, the application icon, the
// window colour behind its controls, destroyed when closed, and moved by dragging.
void setUpBorderlessWindow(QWidget* window, int width, int height);

} // namespace ui
