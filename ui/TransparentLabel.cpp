#include "ui/TransparentLabel.h"

#include <QMouseEvent>
#include <QPainter>

namespace ui {

TransparentLabel::TransparentLabel(
    const QString& text, const QColor& colour, Alignment alignment, Shadow shadow, QWidget* parent)
    : QWidget(parent)
    , m_text(text)
    , m_colour(colour)
    , m_alignment(alignment)
    , m_shadow(shadow)
{
}

void TransparentLabel::setTextColour(const QColor& colour)
{
    if (colour == m_colour)
        return;
    m_colour = colour;
    update();
    emit textColourChanged();
}

void TransparentLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip
        | (m_alignment == Alignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft);
    if (m_shadow == Shadow::Yes) {
        painter.setPen(Qt::black);
        painter.drawText(rect().translated(2, 2), flags, m_text);
    }
    painter.setPen(m_colour);
    painter.drawText(rect(), flags, m_text);
}

void TransparentLabel::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        emit pressed();
}

} // namespace ui
