#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

namespace ui {

class TransparentLabel;

// The three action labels, in their order of checking: load, clear, copy.
struct ActionLabels {
    TransparentLabel* load = nullptr;
    TransparentLabel* clear = nullptr;
    TransparentLabel* copy = nullptr;
};

// One tick of hover highlighting: the action label under the pointer takes the hover colour and
// the other two the normal colour; with none under it, all three the normal colour. Sets a
// colour only where it must change, so a pointer at rest costs no repainting.
void updateHoverColours(const ActionLabels& labels, const QWidget* underPointer);

// The widget of this program under a point of the screen: the deepest visible widget there, then,
// where several visible siblings of it contain the point, the one with the smallest area (the
// upper one of equal areas). Null over no window of ours.
QWidget* windowUnderPointerAt(const QPoint& globalPosition);

// Keeps track of the widget under the pointer from the enter, leave and move events the window
// system already sends, so a timer tick need not ask the X server where the pointer is. Another
// program's window over ours sends us a leave: no widget of ours is under the pointer then.
class PointerTracker : public QObject {
    Q_OBJECT
public:
    explicit PointerTracker(QObject* parent = nullptr);
    ~PointerTracker() override;

    QWidget* widgetUnderPointer() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_under;
    QPoint m_position;
};

} // namespace ui
