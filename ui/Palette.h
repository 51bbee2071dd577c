#pragma once

#include <QColor>

namespace ui::palette {

// The colours both windows are drawn in. Besides these, only black (the title's shadow) and
// white (the button glyphs) are drawn, and the banner brings its own.
inline const QColor kWindow { 0, 5, 41 }; // backgrounds, frame fills, edit-box backgrounds
inline const QColor kNormal { 0, 96, 192 }; // outlines, bars, label text
inline const QColor kHover { 192, 96, 0 }; // edit-box text; an action label under the pointer
inline const QColor kTitle { 0, 136, 255 }; // the title label
inline const QColor kLinkHover { 236, 236, 236 }; // a title-bar link under the pointer
inline const QColor kButtonBlue { 93, 149, 234 }; // the button pictures' background
// What a shape box shows where it has no background of its own.
inline const QColor kButtonFace { 240, 240, 240 };

} // namespace ui::palette
