#include "ui/PictureButton.h"

#include <QMouseEvent>
#include <QPainter>

namespace ui {

PictureButton::PictureButton(
    const QImage& normal, const QImage& hover, const QImage& pressed, QWidget* parent)
    : QWidget(parent)
    , m_normal(normal)
    , m_hover(hover)
    , m_pressed(pressed)
{
}

PictureButton::State PictureButton::state() const
{
    if (m_leftHeld)
        return State::Pressed;
    return m_pointerOver ? State::Hover : State::Normal;
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const QImage* picture = &m_normal;
    if (state() == State::Pressed && !m_pressed.isNull())
        picture = &m_pressed;
    else if (state() == State::Hover && !m_hover.isNull())
        picture = &m_hover;
    painter.drawImage(QPoint(0, 0), *picture);
}

void PictureButton::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton) {
        m_leftHeld = true;
        update();
    }
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || !m_leftHeld)
        return;
    m_leftHeld = false;
    m_pointerOver = rect().contains(event->position().toPoint());
    update();
    if (m_pointerOver)
        emit clicked();
}

void PictureButton::enterEvent(QEnterEvent*)
{
    m_pointerOver = true;
    update();
}

void PictureButton::leaveEvent(QEvent*)
{
    m_pointerOver = false;
    update();
}

} // namespace ui
