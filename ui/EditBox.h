#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>

namespace ui {

// The single-line edit box: no frame, text centred, text and background colours of its own;
// longer text scrolls sideways. It takes typing, has no length limit, and shows its selection
// only while it has the keyboard focus.
class EditBox : public QLineEdit {
    Q_OBJECT
public:
    EditBox(const QString& text, const QColor& textColour, const QColor& background,
        QWidget* parent = nullptr);
};

// The multi-line edit box: long lines wrap, it scrolls with the caret and shows no scroll bars,
// inside a thin frame.
class MultiLineEditBox : public QPlainTextEdit {
    Q_OBJECT
public:
    MultiLineEditBox(const QString& text, const QColor& textColour, const QColor& background,
        QWidget* parent = nullptr);
};

} // namespace ui
