#pragma once

#include <QIcon>
#include <QImage>

namespace ui::assets {

// The banner shown in the main window's picture box, decoded from the JPEG built into the
// program.
QImage banner();

// The 16 x 16 pictures of the title-bar buttons: a bar (minimise) or a cross (close), white on
// button blue, or in the window colour on button blue for the hover picture.
enum class Glyph { Bar, Cross };
enum class GlyphColour { White, Window };
QImage buttonPicture(Glyph glyph, GlyphColour colour);

// The application icon in 16, 32, 48 and 128 pixels.
QIcon applicationIcon();

} // namespace ui::assets
