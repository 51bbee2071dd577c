#include "core/TextBytes.h"

#include <cmath>
#include <cstring>

namespace core {

namespace {

bool isLeadByte(char c)
{
    return static_cast<unsigned char>(c) >= 0x80;
}

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool bytesMatch(const char* at, std::string_view needle, bool foldCase)
{
    if (!foldCase)
        return std::memcmp(at, needle.data(), needle.size()) == 0;
    for (std::size_t i = 0; i < needle.size(); ++i) {
        if (foldAscii(at[i]) != foldAscii(needle[i]))
            return false;
    }
    return true;
}

// How far the scanning operations step from `pos` when nothing matches there: past a lone byte,
// or past both bytes of a two-byte character. 0 means the walk ends, because a lead byte is the
// text's last byte.
std::size_t stepFrom(std::string_view bytes, std::size_t pos)
{
    if (!isLeadByte(bytes[pos]))
        return 1;
    return pos + 1 < bytes.size() ? 2 : 0;
}

} // namespace

int compareText(const Text& a, const Text& b)
{
    // char_traits<char>::compare orders bytes as unsigned char, as memcmp does.
    int order = a.bytes().compare(b.bytes());
    return (order > 0) - (order < 0);
}

std::int32_t textLength(const Text& text)
{
    return text.length();
}

std::int32_t byteLength(const ByteBuffer& buffer)
{
    return static_cast<std::int32_t>(buffer.size());
}

ByteBuffer textToBytes(const Text& text)
{
    return ByteBuffer(text.str());
}

Text bytesToText(const ByteBuffer& buffer)
{
    return Text(buffer.view());
}

Text integerToText(std::int32_t number)
{
    return Text(std::to_string(number));
}

std::int32_t truncateToInteger(double x)
{
    // 2^63 is exact as a double; anything at or beyond it has no 64-bit integer part.
    constexpr double kTwoTo63 = 9223372036854775808.0;
    if (!(x > -kTwoTo63 && x < kTwoTo63))
        return 0;
    auto whole = static_cast<std::int64_t>(x);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(whole)));
}

Text midText(const Text& text, std::int32_t start, std::int32_t length)
{
    std::int64_t s = static_cast<std::int64_t>(start) - 1;
    std::int64_t size = text.length();
    if (s < 0 || s >= size || length <= 0)
        return {};
    return Text(text.bytes().substr(static_cast<std::size_t>(s), static_cast<std::size_t>(length)));
}

std::int32_t findText(
    const Text& text, const Text& needle, std::int32_t start, IgnoreCase ignoreCase)
{
    std::string_view bytes = text.bytes();
    std::string_view wanted = needle.bytes();
    std::int64_t begin = std::max<std::int64_t>(static_cast<std::int64_t>(start) - 1, 0);
    if (begin >= static_cast<std::int64_t>(bytes.size()))
        return -1;
    bool fold = ignoreCase == IgnoreCase::Yes;
    for (auto pos = static_cast<std::size_t>(begin); bytes.size() - pos >= wanted.size();) {
        if (bytesMatch(bytes.data() + pos, wanted, fold))
            return static_cast<std::int32_t>(pos + 1);
        std::size_t step = stepFrom(bytes, pos);
        if (step == 0)
            break;
        pos += step;
    }
    return -1;
}

Text replaceText(const Text& text, const Text& target, const Text& replacement, std::int32_t start,
    std::int32_t count, CaseSensitive caseSensitive)
{
    std::string_view bytes = text.bytes();
    std::string_view wanted = target.bytes();
    std::int64_t begin = std::max<std::int64_t>(static_cast<std::int64_t>(start) - 1, 0);
    if (bytes.empty() || wanted.empty() || count == 0
        || static_cast<std::int64_t>(start) - 1 >= static_cast<std::int64_t>(bytes.size()))
        return text;

    bool fold = caseSensitive == CaseSensitive::No;
    std::string out;
    out.reserve(bytes.size());
    auto pos = static_cast<std::size_t>(begin);
    // Unmatched bytes are copied in runs: `copied` is where the pending run begins.
    std::size_t copied = 0;
    std::int64_t left = count; // negative: no limit
    while (bytes.size() - pos >= wanted.size()) {
        if (bytesMatch(bytes.data() + pos, wanted, fold)) {
            out.append(bytes.substr(copied, pos - copied));
            out.append(replacement.bytes());
            pos += wanted.size();
            copied = pos;
            if (left > 0 && --left == 0)
                break;
            continue;
        }
        std::size_t step = stepFrom(bytes, pos);
        if (step == 0)
            break;
        pos += step;
    }
    out.append(bytes.substr(copied));
    return Text(std::move(out));
}

TextList splitText(const Text& text, const Text& separator)
{
    std::string_view bytes = text.bytes();
    std::string_view sep = separator.bytes();
    TextList items;
    if (bytes.empty())
        return items;
    if (sep.empty()) {
        items.push_back(text);
        return items;
    }
    std::size_t pieceStart = 0;
    for (std::size_t pos = 0; bytes.size() - pos >= sep.size();) {
        if (bytes.compare(pos, sep.size(), sep) == 0) {
            items.emplace_back(bytes.substr(pieceStart, pos - pieceStart));
            pos += sep.size();
            pieceStart = pos;
            continue;
        }
        std::size_t step = stepFrom(bytes, pos);
        if (step == 0)
            break;
        pos += step;
    }
    if (pieceStart < bytes.size())
        items.emplace_back(bytes.substr(pieceStart));
    return items;
}

Text lastItem(const TextList& list)
{
    return list.empty() ? Text() : list.back();
}

} // namespace core
