#pragma once

#include "core/Text.h"

#include <optional>
#include <string>
#include <string_view>

namespace core {

// Conversion between the desktop's UTF-8 and the GB18030 bytes a Text holds. Both directions
// are lossless for every Unicode character; they fail (nullopt) only on input that is not valid
// in its own encoding. A zero character ends the text, as it ends every Text.
std::optional<Text> textFromUtf8(std::string_view utf8);
std::optional<std::string> utf8FromText(const Text& text);

} // namespace core
