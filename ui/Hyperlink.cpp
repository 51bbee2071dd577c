#include "ui/Hyperlink.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

namespace ui {

Hyperlink::Hyperlink(const QString& caption, const QString& target, const Colours& colours,
    Frame frame, QWidget* parent)
    : QWidget(parent)
    , m_caption(caption)
    , m_target(target)
    , m_colours(colours)
    , m_frame(frame)
{
    setCursor(Qt::PointingHandCursor);
}

QColor Hyperlink::captionColour() const
{
    if (m_pointerOver)
        return m_colours.pointer;
    return m_visited ? m_colours.visited : m_colours.plain;
}

void Hyperlink::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_colours.background);
    if (m_frame == Frame::Thin) {
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    painter.setPen(captionColour());
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, m_caption);
}

bool Hyperlink::openTarget()
{
    if (m_target.isEmpty())
        return false;
    // A bare host name has no scheme; fromUserInput makes it a web address.
    QUrl url(m_target, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty())
        url = QUrl::fromUserInput(m_target);
    return QDesktopServices::openUrl(url);
}

void Hyperlink::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    if (openTarget() && !m_visited) {
        m_visited = true;
        update();
    }
    emit pressed();
}

void Hyperlink::enterEvent(QEnterEvent*)
{
    m_pointerOver = true;
    update();
}

void Hyperlink::leaveEvent(QEvent*)
{
    m_pointerOver = false;
    update();
}

} // namespace ui
