#include "ui/Hover.h"

#include "ui/Palette.h"
#include "ui/TransparentLabel.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>

namespace ui {

namespace {

void light(TransparentLabel* lit, TransparentLabel* other1, TransparentLabel* other2)
{
    if (lit->textColour() == palette::kHover)
        return;
    lit->setTextColour(palette::kHover);
    other1->setTextColour(palette::kNormal);
    other2->setTextColour(palette::kNormal);
}

} // namespace

void updateHoverColours(const ActionLabels& labels, const QWidget* underPointer)
{
    if (underPointer && underPointer == labels.load)
        return light(labels.load, labels.clear, labels.copy);
    if (underPointer && underPointer == labels.clear)
        return light(labels.clear, labels.load, labels.copy);
    if (underPointer && underPointer == labels.copy)
        return light(labels.copy, labels.load, labels.clear);
    for (TransparentLabel* label : { labels.clear, labels.load, labels.copy }) {
        if (label->textColour() != palette::kNormal)
            label->setTextColour(palette::kNormal);
    }
}

namespace {

// Among the visible siblings of `deepest` that contain the point, the smallest; of equal areas
// the upper one.
QWidget* smallestSiblingAt(QWidget* deepest, const QPoint& globalPosition)
{
    QWidget* parent = deepest->parentWidget();
    if (!parent)
        return deepest;
    QWidget* best = deepest;
    auto area = [](const QWidget* w) { return static_cast<qint64>(w->width()) * w->height(); };
    // children() runs bottom to top; going backwards, an equal area never displaces an upper one.
    const QObjectList& siblings = parent->children();
    for (auto it = siblings.crbegin(); it != siblings.crend(); ++it) {
        auto* sibling = qobject_cast<QWidget*>(*it);
        if (!sibling || sibling == deepest || sibling->isWindow() || !sibling->isVisible())
            continue;
        if (!sibling->rect().contains(sibling->mapFromGlobal(globalPosition)))
            continue;
        if (area(sibling) < area(best))
            best = sibling;
    }
    return best;
}

} // namespace

QWidget* windowUnderPointerAt(const QPoint& globalPosition)
{
    QWidget* deepest = QApplication::widgetAt(globalPosition);
    return deepest ? smallestSiblingAt(deepest, globalPosition) : nullptr;
}

PointerTracker::PointerTracker(QObject* parent)
    : QObject(parent)
{
    qApp->installEventFilter(this);
}

PointerTracker::~PointerTracker()
{
    qApp->removeEventFilter(this);
}

QWidget* PointerTracker::widgetUnderPointer() const
{
    if (!m_under || !m_under->isVisible())
        return nullptr;
    return smallestSiblingAt(m_under, m_position);
}

bool PointerTracker::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Enter:
        if (auto* widget = qobject_cast<QWidget*>(watched)) {
            // Enter goes to every widget from the window down to the deepest; the last wins.
            m_under = widget;
            m_position = static_cast<QEnterEvent*>(event)->globalPosition().toPoint();
        }
        break;
    case QEvent::Leave:
        if (watched == m_under)
            m_under = m_under->isWindow() ? nullptr : m_under->parentWidget();
        break;
    case QEvent::MouseMove:
        m_position = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        break;
    default:
        break;
    }
    return false;
}

} // namespace ui
