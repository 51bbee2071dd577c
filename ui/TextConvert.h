#pragma once

#include "core/Text.h"

#include <QString>

namespace ui {

// The window boundary, where the GB18030 bytes of a Text meet the desktop's Unicode.
QString toQString(const core::Text& text);
// Characters a Text cannot hold (a zero character ends it) are cut off there.
core::Text toText(const QString& string);

} // namespace ui
