#include "ui/EditBox.h"

#include <limits>

namespace ui {

namespace {

QPalette editPalette(QPalette palette, const QColor& textColour, const QColor& background)
{
    for (auto group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
        palette.setColor(group, QPalette::Text, textColour);
        palette.setColor(group, QPalette::Base, background);
        palette.setColor(group, QPalette::Window, background);
    }
    // Without the focus a selection is not shown: it takes the box's own colours.
    palette.setColor(QPalette::Inactive, QPalette::Highlight, background);
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText, textColour);
    return palette;
}

} // namespace

EditBox::EditBox(
    const QString& text, const QColor& textColour, const QColor& background, QWidget* parent)
    : QLineEdit(text, parent)
{
    setFrame(false);
    setAlignment(Qt::AlignCenter);
    // QLineEdit stops at 32767 characters by default; a path or address has no such limit.
    setMaxLength(std::numeric_limits<int>::max());
    setPalette(editPalette(palette(), textColour, background));
    setFocusPolicy(Qt::StrongFocus);
}

MultiLineEditBox::MultiLineEditBox(
    const QString& text, const QColor& textColour, const QColor& background, QWidget* parent)
    : QPlainTextEdit(text, parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setPalette(editPalette(palette(), textColour, background));
    setTabChangesFocus(true);
    setFocusPolicy(Qt::StrongFocus);
}

} // namespace ui
