#pragma once

#include <QColor>
#include <QWidget>

namespace ui {

// A caption, centred on one line, on a background colour, under a pointing-hand cursor. A left
// press opens the target with the desktop's default handler (an address without a scheme goes
// to the web browser) and is also emitted as pressed(). An empty target opens nothing.
//
// The caption is in the pointer colour while the pointer is over the link, otherwise in the
// visited colour once the target has been opened, otherwise in the plain colour.
class Hyperlink : public QWidget {
    Q_OBJECT
public:
    struct Colours {
        QColor background;
        QColor plain;
        QColor visited;
        QColor pointer;
    };
    enum class Frame { None, Thin };

    Hyperlink(const QString& caption, const QString& target, const Colours& colours,
        Frame frame = Frame::None, QWidget* parent = nullptr);

    QString caption() const { return m_caption; }
    QString target() const { return m_target; }
    bool isVisited() const { return m_visited; }
    QColor captionColour() const;

signals:
    void pressed();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool openTarget();

    QString m_caption;
    QString m_target;
    Colours m_colours;
    Frame m_frame;
    bool m_visited = false;
    bool m_pointerOver = false;
};

} // namespace ui
