#pragma once

#include <QString>
#include <QWidget>

namespace ui {

// Gives a control the name it is known by.
template <typename T> T* named(T* object, const char* name)
{
    object->setObjectName(QString::fromUtf8(name));
    return object;
}

// Puts a control in its place. Called in creation order, so each control goes directly below
// the siblings placed before it: the first child of each parent lies on top.
inline void place(QWidget* control, QWidget* parent, int left, int top, int width, int height)
{
    control->setParent(parent);
    control->setGeometry(left, top, width, height);
    control->lower();
}

// Moves a top-level window to the centre of its screen.
inline void centreOnScreen(QWidget* window)
{
    if (auto* screen = window->screen()) {
        QRect area = screen->geometry();
        window->move(area.x() + (area.width() - window->width()) / 2,
            area.y() + (area.height() - window->height()) / 2);
    }
}

} // namespace ui
