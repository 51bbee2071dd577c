#pragma once

#include <QColor>
#include <QWidget>

namespace ui {

// One line of text on no background of its own: what lies behind shows through. Vertically
// centred, left-aligned or centred, with an optional drop shadow (black, 2 pixels right and
// down). A left-button press emits pressed() at once; presses never move the window.
class TransparentLabel : public QWidget {
    Q_OBJECT
public:
    enum class Alignment { Left, Centre };
    enum class Shadow { No, Yes };

    TransparentLabel(const QString& text, const QColor& colour,
        Alignment alignment = Alignment::Left, Shadow shadow = Shadow::No,
        QWidget* parent = nullptr);

    QString text() const { return m_text; }
    QColor textColour() const { return m_colour; }
    // Repaints the label (and so what lies behind it) only when the colour changes.
    void setTextColour(const QColor& colour);

signals:
    void pressed();
    void textColourChanged();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString m_text;
    QColor m_colour;
    Alignment m_alignment;
    Shadow m_shadow;
};

} // namespace ui
