#include "ui/PictureBox.h"

#include <QPainter>

namespace ui {

PictureBox::PictureBox(const QImage& picture, QWidget* parent)
    : DragThrough(parent)
    , m_picture(picture)
{
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    QRect inside = rect().adjusted(1, 1, -1, -1);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(inside, m_picture);
}

} // namespace ui
