#pragma once

#include <QImage>
#include <QWidget>

namespace ui {

// A thin single-line frame with a picture stretched to fill the area inside it. Presses fall
// through to the window, which is dragged by them.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(const QImage& picture, QWidget* parent = nullptr);

    const QImage& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_picture;
};

} // namespace ui
