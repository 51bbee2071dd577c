#pragma once

#include "ui/DragThrough.h"

#include <QImage>

namespace ui {

// A thin single-line frame with a picture stretched to fill the area inside it. Presses fall
// through to the window, which is dragged by them.
class PictureBox : public DragThrough {
    Q_OBJECT
public:
    explicit PictureBox(const QImage& picture, QWidget* parent = nullptr);

    const QImage& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage m_picture;
};

} // namespace ui
