#pragma once

#include <QImage>
#include <QWidget>

namespace ui {

// Shows one of its pictures at natural size from its top-left corner, on black: the normal
// picture, the hover picture while the pointer is over it with no button held, the pressed
// picture (or the normal one) while the left button is held on it. Releasing the left button
// over it emits clicked().
class PictureButton : public QWidget {
    Q_OBJECT
public:
    PictureButton(const QImage& normal, const QImage& hover, const QImage& pressed = {},
        QWidget* parent = nullptr);

    enum class State { Normal, Hover, Pressed };
    State state() const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QImage m_normal, m_hover, m_pressed;
    bool m_pointerOver = false;
    bool m_leftHeld = false;
};

} // namespace ui
