#pragma once

#include "ui/DragThrough.h"

#include <QColor>

#include <optional>

namespace ui {

// A rectangular area that paints itself: its background, then a rectangle over the whole area
// (outline drawn inside the area, inside filled) or a 1-pixel line along its top row or down
// its left column. It clips the controls it holds. Presses on it fall through to the window,
// which is dragged by them.
class ShapeBox : public DragThrough {
    Q_OBJECT
public:
    enum class Shape { Rectangle, HorizontalLine, VerticalLine };

    struct Style {
        Shape shape = Shape::Rectangle;
        QColor outline;
        int outlineWidth = 1;
        std::optional<QColor> fill; // none: the background shows inside
        std::optional<QColor> background; // none: the button face colour
    };

    explicit ShapeBox(const Style& style, QWidget* parent = nullptr);

    const Style& style() const { return m_style; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Style m_style;
};

} // namespace ui
