#pragma once

#include "core/ByteBuffer.h"
#include "core/Text.h"

#include <cstdint>
#include <string>

namespace core {

// The text and byte-buffer operations every other folder builds on. They are values in, values
// out: no operation changes its arguments. Positions count bytes from 1; positions and lengths
// outside a Text are never errors. The scanning operations (findText, replaceText, splitText)
// step over two-byte characters: a byte of 0x80 or above is taken together with the byte after
// it, so a match never starts at a character's second byte. Case folding, where asked for,
// folds only the ASCII letters A-Z; no locale is consulted.

// -1, 0 or 1, comparing the bytes as unsigned values; a proper prefix is the smaller.
int compareText(const Text& a, const Text& b);

// Byte count without the terminator.
std::int32_t textLength(const Text& text);

namespace detail {
inline std::string_view bytesOf(const Text& text)
{
    return text.bytes();
}
inline std::string_view bytesOf(const char* literal)
{
    return literal;
}
} // namespace detail

// The bytes of every operand, in argument order. Operands are Texts or ASCII literals.
template <typename... Texts> Text concatText(const Texts&... parts)
{
    static_assert(sizeof...(parts) >= 1);
    std::string bytes;
    bytes.reserve((detail::bytesOf(parts).size() + ...));
    (bytes.append(detail::bytesOf(parts)), ...);
    return Text(std::move(bytes));
}

// The byte count, read from the buffer without walking it.
std::int32_t byteLength(const ByteBuffer& buffer);

// The bytes of every operand, in argument order, in one fresh buffer.
template <typename... Buffers>
ByteBuffer concatBytes(const ByteBuffer& first, const Buffers&... rest)
{
    std::string bytes;
    bytes.reserve((first.size() + ... + rest.size()));
    bytes.append(first.view());
    (bytes.append(rest.view()), ...);
    return ByteBuffer(std::move(bytes));
}

// Exactly the text's bytes.
ByteBuffer textToBytes(const Text& text);

// The buffer's bytes up to, not including, its first zero byte; no code-page conversion.
Text bytesToText(const ByteBuffer& buffer);

// Signed decimal: "-" for a negative value, no leading zeros, no grouping.
Text integerToText(std::int32_t number);

// The integer part of x, cut toward zero, taken as a 64-bit integer whose low 32 bits are the
// result. A value that fits no 64-bit integer (or NaN) gives 0.
std::int32_t truncateToInteger(double x);

// Bytes from position `start` for at most `length` bytes, clipped to the text. A start outside
// the text or a length of 0 or below gives the empty Text. The cut may split a character.
Text midText(const Text& text, std::int32_t start, std::int32_t length);

// Position of the first match of `needle` at or after `start` (counted from the text's first
// byte), or -1. A start below 1 counts as 1. With IgnoreCase::Yes only A-Z fold to a-z.
// An empty needle matches at the first position searched.
enum class IgnoreCase { No, Yes };
std::int32_t findText(
    const Text& text, const Text& needle, std::int32_t start, IgnoreCase ignoreCase);

// A copy of `text` in which, from position `start` on, at most `count` non-overlapping matches
// of `target` are replaced (a negative count means no limit). Inserted text is never searched
// again. Note the flag's sense is the opposite of findText's: CaseSensitive::Yes compares bytes
// exactly.
enum class CaseSensitive { No, Yes };
Text replaceText(const Text& text, const Text& target, const Text& replacement, std::int32_t start,
    std::int32_t count, CaseSensitive caseSensitive);

// The pieces between exact occurrences of `separator`. A leading separator gives an empty first
// item, two in a row an empty item between them, a trailing one no empty last item. The empty
// Text gives the empty list; an empty separator gives the whole text as one item.
TextList splitText(const Text& text, const Text& separator);

// The item with the highest position. Callers hand it a non-empty list; an empty list gives
// the empty Text.
Text lastItem(const TextList& list);

} // namespace core
