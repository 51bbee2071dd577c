#include "core/TextBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <optional>
#include <random>

using namespace core;

namespace {

// "[长度]" and "[文件]" in GBK.
const Text kLengthMark("\x5b\xb3\xa4\xb6\xc8\x5d");
const Text kLengthMarkTwice("\x5b\xb3\xa4\xb6\xc8\x5d \x5b\xb3\xa4\xb6\xc8\x5d");

TEST(TextBytesTest, CompareTextOrdersUnsignedBytes)
{
    struct Row {
        Text a, b;
        int expected;
    };
    const Row rows[] = {
        { Text(), "", 0 },
        { "a", "B", 1 },
        { "B", "\xb0", -1 },
        { "ab", "abc", -1 },
        { "abc", "ab", 1 },
        { "abc", "abc", 0 },
        { "a", "A", 1 }, // case counts
        { "x", "", 1 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.a) + " vs " + ::testing::PrintToString(row.b));
        EXPECT_EQ(compareText(row.a, row.b), row.expected);
    }
}

TEST(TextBytesTest, ConcatAndConversions)
{
    EXPECT_EQ(concatText(Text(), "a"), Text("a"));
    EXPECT_EQ(concatText(Text()), Text());
    EXPECT_EQ(concatText("http://", Text("1.2.3.4"), ":8090/", Text("\xb1\xa8")),
        Text("http://1.2.3.4:8090/\xb1\xa8"));
    EXPECT_EQ(textLength(Text()), 0);
    EXPECT_EQ(textLength("\xb1\xa8x"), 3);

    EXPECT_TRUE(concatBytes(ByteBuffer(), ByteBuffer()).isEmpty());
    ByteBuffer withZero(std::string("a\0b", 3));
    EXPECT_EQ(concatBytes(withZero, ByteBuffer()), withZero);
    EXPECT_EQ(
        concatBytes(withZero, ByteBuffer("c"), withZero).view(), std::string_view("a\0bca\0b", 7));
    EXPECT_EQ(byteLength(withZero), 3);
    EXPECT_EQ(byteLength(ByteBuffer()), 0);

    EXPECT_EQ(textToBytes("\r\n\r\n").view(), "\x0d\x0a\x0d\x0a");
    EXPECT_TRUE(textToBytes(Text()).isEmpty());
    EXPECT_EQ(bytesToText(ByteBuffer(std::string("AB\0C", 4))), Text("AB"));
    EXPECT_EQ(bytesToText(ByteBuffer(std::string("\0AB", 3))), Text());
    EXPECT_EQ(bytesToText(ByteBuffer()), Text());
    EXPECT_EQ(bytesToText(ByteBuffer("\xff\xfe")), Text("\xff\xfe"));
}

TEST(TextBytesTest, NumbersToTextAndBack)
{
    EXPECT_EQ(integerToText(0), Text("0"));
    EXPECT_EQ(integerToText(905), Text("905"));
    EXPECT_EQ(integerToText(-5), Text("-5"));
    EXPECT_EQ(integerToText(INT32_MIN), Text("-2147483648"));
    EXPECT_EQ(integerToText(INT32_MAX), Text("2147483647"));

    struct Row {
        double x;
        std::int32_t expected;
    };
    const Row rows[] = {
        { -1.5, -1 },
        { 31.0, 31 },
        { 2.9, 2 },
        { -2.9, -2 },
        { 0.0, 0 },
        { 4294967297.0, 1 }, // the low 32 bits of a 64-bit whole number
        { 2147483648.0, INT32_MIN },
        { 1e30, 0 },
        { -1e30, 0 },
        { std::nan(""), 0 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.x);
        EXPECT_EQ(truncateToInteger(row.x), row.expected);
    }
}

TEST(TextBytesTest, MidTextClipsAndRefusesOutOfRange)
{
    struct Row {
        std::int32_t start, length;
        Text expected;
    };
    const Row rows[] = {
        { 0, 3, "" },
        { 7, 1, "" },
        { 2, 0, "" },
        { 2, -2, "" },
        { 6, 5, "f" },
        { 3, 2, "cd" },
        { 1, 6, "abcdef" },
        { 1, INT32_MAX, "abcdef" },
        { INT32_MIN, 3, "" },
        { INT32_MAX, 1, "" },
        { 6, 1, "f" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.start) + "," + std::to_string(row.length));
        EXPECT_EQ(midText("abcdef", row.start, row.length), row.expected);
    }
    // Bytes, not characters: the cut may split a two-byte character.
    EXPECT_EQ(midText("\xb1\xa8\xb8\xe6", 2, 2), Text("\xa8\xb8"));
}

TEST(TextBytesTest, FindTextStepsOverTwoByteCharacters)
{
    struct Row {
        Text text, needle;
        std::int32_t start;
        IgnoreCase ignoreCase;
        std::int32_t expected;
    };
    const Row rows[] = {
        { "xABcAB", "ab", 1, IgnoreCase::Yes, 2 },
        { "xABcAB", "ab", 1, IgnoreCase::No, -1 },
        { "xABcAB", "AB", 3, IgnoreCase::No, 5 },
        { "abcabc", "abc", 2, IgnoreCase::No, 4 },
        { "abcabc", "abc", 7, IgnoreCase::No, -1 },
        { "abcabc", "abc", INT32_MAX, IgnoreCase::No, -1 },
        { "abcabc", "abc", -4, IgnoreCase::No, 1 },
        { "\xb0\x41\x42", "AB", 1, IgnoreCase::Yes, -1 }, // only at a second byte
        { "\xb0\x41\x42", "B", 1, IgnoreCase::No, 3 },
        // A start inside a two-byte character is where the walk begins.
        { "\xb0\x41\x42", "AB", 2, IgnoreCase::No, 2 },
        // Folding is ASCII only: a two-byte character must match exactly.
        { "\xc1\xc2", "\xe1\xc2", 1, IgnoreCase::Yes, -1 },
        { "IP\xa3\xba<SPAN>", "ip\xa3\xba<span>", 1, IgnoreCase::Yes, 1 },
        // A lead byte as the last byte ends the walk.
        { "a\xb0", "\xb0", 1, IgnoreCase::No, 2 },
        { "", "a", 1, IgnoreCase::Yes, -1 },
        { "ab", "abc", 1, IgnoreCase::Yes, -1 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(
            ::testing::PrintToString(row.text) + " / " + ::testing::PrintToString(row.needle));
        EXPECT_EQ(findText(row.text, row.needle, row.start, row.ignoreCase), row.expected);
    }
}

TEST(TextBytesTest, ReplaceTextReplacesFromStartAtMostCountTimes)
{
    struct Row {
        Text text, target, replacement;
        std::int32_t start, count;
        CaseSensitive caseSensitive;
        Text expected;
    };
    const Row rows[] = {
        { kLengthMarkTwice, kLengthMark, "12", 1, 1, CaseSensitive::Yes,
            Text("12 \x5b\xb3\xa4\xb6\xc8\x5d") },
        { kLengthMarkTwice, kLengthMark, "", 1, 1, CaseSensitive::Yes,
            Text(" \x5b\xb3\xa4\xb6\xc8\x5d") },
        { kLengthMarkTwice, kLengthMark, "x", 1, -1, CaseSensitive::Yes, "x x" },
        { "ABC", "abc", "x", 1, 1, CaseSensitive::Yes, "ABC" },
        { "ABC", "abc", "x", 1, 1, CaseSensitive::No, "x" },
        { "aaa", "a", "b", 2, -1, CaseSensitive::Yes, "abb" },
        { "aaa", "a", "b", 0, 2, CaseSensitive::Yes, "bba" },
        { "aaa", "a", "b", 4, -1, CaseSensitive::Yes, "aaa" },
        { "aaa", "a", "b", 1, 0, CaseSensitive::Yes, "aaa" },
        { "aaa", "", "b", 1, 1, CaseSensitive::Yes, "aaa" },
        { "", "a", "b", 1, 1, CaseSensitive::Yes, "" },
        { "aaaa", "aa", "a", 1, -1, CaseSensitive::Yes, "aa" }, // no overlap, no rescan
        { "ab", "a", "aa", 1, -1, CaseSensitive::Yes, "aab" },
        { "\xb0\x41\x41", "A", "z", 1, -1, CaseSensitive::Yes, "\xb0\x41z" },
        { "x\xb0", "\xb0", "y", 1, -1, CaseSensitive::Yes, "xy" },
        { "xx\xb0", "q", "y", 1, -1, CaseSensitive::Yes, "xx\xb0" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(
            ::testing::PrintToString(row.text) + " / " + ::testing::PrintToString(row.target));
        EXPECT_EQ(replaceText(row.text, row.target, row.replacement, row.start, row.count,
                      row.caseSensitive),
            row.expected);
    }
}

TEST(TextBytesTest, SplitTextAndLastItem)
{
    struct Row {
        Text text, separator;
        TextList expected;
    };
    const Row rows[] = {
        { "C:\\dir\\a.txt", "\\", { "C:", "dir", "a.txt" } },
        { "a\\\\b", "\\", { "a", "", "b" } },
        { "C:\\dir\\", "\\", { "C:", "dir" } },
        { "\\", "\\", { "" } },
        { "", "\\", {} },
        { "a.tar.gz", ".", { "a", "tar", "gz" } },
        { "name", ".", { "name" } },
        { "name.", ".", { "name" } },
        { ".cfg", ".", { "", "cfg" } },
        { "abc", "", { "abc" } },
        { "a--b", "--", { "a", "b" } },
        // 0x5C as the second byte of a two-byte character is not a separator.
        { "\xb1\x5c\\x", "\\", { "\xb1\x5c", "x" } },
        { "/tmp/\xb2\xe2/f", "/", { "", "tmp", "\xb2\xe2", "f" } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.text));
        EXPECT_EQ(splitText(row.text, row.separator), row.expected);
    }
    EXPECT_EQ(lastItem({ "only" }), Text("only"));
    EXPECT_EQ(lastItem({ "C:", "dir", "a.txt" }), Text("a.txt"));
    EXPECT_EQ(lastItem({}), Text());
}

// A deliberately naive model of the scanning operations: it first lists the positions the
// two-byte walk visits, then does everything with whole-string copies and substr.
namespace naive {

std::string fold(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return s;
}

// Positions (0-based) at which a match may be tried, walking from `from`.
std::vector<std::size_t> visited(const std::string& s, std::size_t from)
{
    std::vector<std::size_t> out;
    std::size_t p = from;
    while (p < s.size()) {
        out.push_back(p);
        bool lead = static_cast<unsigned char>(s[p]) >= 0x80;
        if (lead && p + 1 == s.size())
            break;
        p += lead ? 2 : 1;
    }
    return out;
}

int find(const std::string& s, const std::string& n, long long start, bool ic)
{
    long long b = std::max(start - 1, 0LL);
    if (b >= static_cast<long long>(s.size()))
        return -1;
    std::string hay = ic ? fold(s) : s, needle = ic ? fold(n) : n;
    for (std::size_t p : visited(s, static_cast<std::size_t>(b)))
        if (p + needle.size() <= s.size() && hay.substr(p, needle.size()) == needle)
            return static_cast<int>(p + 1);
    return -1;
}

// First position at or after `from` where the walk finds `needle`, comparing folded copies.
std::optional<std::size_t> firstMatch(
    const std::string& s, const std::string& needle, std::size_t from, bool ic)
{
    std::string hay = ic ? fold(s) : s, wanted = ic ? fold(needle) : needle;
    for (std::size_t p : visited(s, from))
        if (p + wanted.size() <= s.size() && hay.substr(p, wanted.size()) == wanted)
            return p;
    return std::nullopt;
}

std::string replace(const std::string& s, const std::string& t, const std::string& r,
    long long start, long long count, bool cs)
{
    if (s.empty() || t.empty() || start - 1 >= static_cast<long long>(s.size()) || count == 0)
        return s;
    std::size_t p = static_cast<std::size_t>(std::max(start - 1, 0LL));
    std::string out = s.substr(0, p);
    while (count != 0) {
        auto q = firstMatch(s, t, p, !cs);
        if (!q)
            break;
        out += s.substr(p, *q - p) + r;
        p = *q + t.size();
        if (count > 0)
            --count;
    }
    return out + s.substr(p);
}

std::vector<std::string> split(const std::string& s, const std::string& sep)
{
    if (s.empty())
        return {};
    if (sep.empty())
        return { s };
    std::vector<std::string> out;
    std::size_t piece = 0;
    while (auto q = firstMatch(s, sep, piece, false)) {
        out.push_back(s.substr(piece, *q - piece));
        piece = *q + sep.size();
    }
    if (piece < s.size())
        out.push_back(s.substr(piece));
    return out;
}

std::string mid(const std::string& s, long long start, long long length)
{
    std::string out;
    for (long long i = 1; i <= static_cast<long long>(s.size()); ++i)
        if (start >= 1 && length > 0 && i >= start && i < start + length)
            out += s[static_cast<std::size_t>(i - 1)];
    return out;
}

} // namespace naive

std::string randomBytes(std::mt19937& rng, std::size_t maxLength)
{
    static constexpr char kAlphabet[] = { 'a', 'A', 'b', 'B', '/', '.', '\\', '\x80', '\xb0',
        '\xff', '\x41', '\xc8', '\x5c', '\xa3' };
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 1);
    std::string s(length(rng), 'a');
    for (char& c : s)
        c = kAlphabet[pick(rng)];
    return s;
}

TEST(TextBytesTest, ScanningOperationsAgreeWithNaiveModel)
{
    std::mt19937 rng(20261211);
    std::uniform_int_distribution<int> position(-3, 26);
    std::uniform_int_distribution<int> count(-2, 3);
    std::bernoulli_distribution coin;
    for (int round = 0; round < 40000; ++round) {
        std::string text = randomBytes(rng, 24);
        std::string needle = randomBytes(rng, 3);
        std::string replacement = randomBytes(rng, 3);
        int start = position(rng), length = position(rng), times = count(rng);
        bool flag = coin(rng);
        SCOPED_TRACE(::testing::PrintToString(Text(text)) + " needle "
            + ::testing::PrintToString(Text(needle)) + " start " + std::to_string(start)
            + " length " + std::to_string(length) + " count " + std::to_string(times) + " flag "
            + std::to_string(flag));

        if (!needle.empty()) {
            ASSERT_EQ(
                findText(Text(text), Text(needle), start, flag ? IgnoreCase::Yes : IgnoreCase::No),
                naive::find(text, needle, start, flag));
        }
        ASSERT_EQ(replaceText(Text(text), Text(needle), Text(replacement), start, times,
                      flag ? CaseSensitive::Yes : CaseSensitive::No)
                      .str(),
            naive::replace(text, needle, replacement, start, times, flag));
        TextList pieces = splitText(Text(text), Text(needle));
        std::vector<std::string> expected = naive::split(text, needle);
        ASSERT_EQ(pieces.size(), expected.size());
        for (std::size_t i = 0; i < pieces.size(); ++i)
            ASSERT_EQ(pieces[i].str(), expected[i]);
        ASSERT_EQ(midText(Text(text), start, length).str(), naive::mid(text, start, length));
    }
}

} // namespace
