#include "ui/ShapeBox.h"

#include "ui/Palette.h"

#include <QPainter>

namespace ui {

ShapeBox::ShapeBox(const Style& style, QWidget* parent)
    : DragThrough(parent)
    , m_style(style)
{
}

void ShapeBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QRect area = rect();
    painter.fillRect(area, m_style.background.value_or(palette::kButtonFace));
    switch (m_style.shape) {
    case Shape::Rectangle: {
        if (m_style.fill)
            painter.fillRect(area, *m_style.fill);
        // The outline lies inside the area: a band of outlineWidth pixels along each edge.
        int w = std::min({ m_style.outlineWidth, (area.width() + 1) / 2, (area.height() + 1) / 2 });
        painter.fillRect(QRect(0, 0, area.width(), w), m_style.outline);
        painter.fillRect(QRect(0, area.height() - w, area.width(), w), m_style.outline);
        painter.fillRect(QRect(0, 0, w, area.height()), m_style.outline);
        painter.fillRect(QRect(area.width() - w, 0, w, area.height()), m_style.outline);
        break;
    }
    case Shape::HorizontalLine:
        painter.fillRect(QRect(0, 0, area.width(), 1), m_style.outline);
        break;
    case Shape::VerticalLine:
        painter.fillRect(QRect(0, 0, 1, area.height()), m_style.outline);
        break;
    }
}

} // namespace ui
