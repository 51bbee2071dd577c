#pragma once

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// A run of non-zero bytes in the GB18030 code page (the superset of GBK that can name every
// Unicode character). Lengths and positions count bytes. A default Text is the empty one, and
// "absent" and "empty" are the same value here: nothing tells them apart.
//
// Construction keeps the bytes up to the first zero byte, so a Text never holds one; this is
// the same rule bytesToText applies to arbitrary data.
class Text {
public:
    Text() = default;
    // For literals. Anything outside ASCII must be written as GB18030 byte escapes.
    Text(const char* bytes)
        : Text(std::string_view(bytes))
    {
    }
    explicit Text(std::string_view bytes)
        : m_bytes(bytes.substr(0, bytes.find('\0')))
    {
    }
    explicit Text(std::string&& bytes)
        : m_bytes(std::move(bytes))
    {
        if (auto zero = m_bytes.find('\0'); zero != std::string::npos)
            m_bytes.resize(zero);
    }

    std::string_view bytes() const { return m_bytes; }
    const std::string& str() const { return m_bytes; }
    std::int32_t length() const { return static_cast<std::int32_t>(m_bytes.size()); }
    bool isEmpty() const { return m_bytes.empty(); }

    bool operator==(const Text&) const = default;

private:
    std::string m_bytes;
};

// The ordered result of splitText.
using TextList = std::vector<Text>;

// Test output: printable ASCII as is, everything else as \xNN.
inline void PrintTo(const Text& text, std::ostream* os)
{
    static constexpr char kHex[] = "0123456789abcdef";
    *os << '\'';
    for (unsigned char c : text.bytes()) {
        if (c >= 0x20 && c < 0x7f && c != '\\')
            *os << static_cast<char>(c);
        else
            *os << "\\x" << kHex[c >> 4] << kHex[c & 15];
    }
    *os << '\'';
}

} // namespace core
