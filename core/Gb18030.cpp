#include "core/Gb18030.h"

#include <cerrno>
#include <iconv.h>

namespace core {

namespace {

std::optional<std::string> convert(const char* to, const char* from, std::string_view input)
{
    iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;

    std::string out;
    // GB18030 takes at most 4 bytes per character, UTF-8 at most 4 as well; a two-byte GBK
    // character becomes three UTF-8 bytes, so twice the input plus slack always suffices for
    // one pass. The loop still grows the buffer if a converter ever wants more.
    out.resize(input.size() * 2 + 16);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    std::size_t produced = 0;
    bool ok = true;
    while (true) {
        char* outPtr = out.data() + produced;
        std::size_t outLeft = out.size() - produced;
        std::size_t rc = ::iconv(cd, inLeft ? &in : nullptr, &inLeft, &outPtr, &outLeft);
        produced = out.size() - outLeft;
        if (rc != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        ok = false; // EILSEQ or EINVAL: the input is not valid in its encoding
        break;
    }
    ::iconv_close(cd);
    if (!ok)
        return std::nullopt;
    out.resize(produced);
    return out;
}

} // namespace

std::optional<Text> textFromUtf8(std::string_view utf8)
{
    auto bytes = convert("GB18030", "UTF-8", utf8.substr(0, utf8.find('\0')));
    if (!bytes)
        return std::nullopt;
    return Text(std::move(*bytes));
}

std::optional<std::string> utf8FromText(const Text& text)
{
    return convert("UTF-8", "GB18030", text.bytes());
}

} // namespace core
