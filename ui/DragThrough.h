#pragma once

#include <QMouseEvent>
#include <QWidget>

namespace ui {

// A control whose mouse events fall through to the window, which moves itself when dragged by
// them (shape boxes and the picture box).
class DragThrough : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void mousePressEvent(QMouseEvent* event) override { event->ignore(); }
    void mouseMoveEvent(QMouseEvent* event) override { event->ignore(); }
    void mouseReleaseEvent(QMouseEvent* event) override { event->ignore(); }
};

} // namespace ui
