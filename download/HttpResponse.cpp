#include "download/HttpResponse.h"

#include "core/TextBytes.h"

#include <algorithm>

namespace download {

namespace {

// The header block with two placeholders: "[长度]" for the length and "[文件]" for the
// extension, in GBK. The fixed dates are part of the format clients have always seen.
const core::Text kResponseTemplate(
    "HTTP/1.1 200 OK\r\n"
    "Date: Thu, 12 Jun 2014 11:40:47 GMT\r\n"
    "Content-Length: \x5b\xb3\xa4\xb6\xc8\x5d\r\n"
    "Content-Type: application/x-\x5b\xce\xc4\xbc\xfe\x5d-compressed\r\n"
    "Last-Modified: Mon, 05 May 2014 01:53:43 GMT\r\n"
    "Accept-Ranges: bytes\r\n"
    "Server: Microsoft-IIS/6.0\r\n"
    "X-Powered-By: ASP.NET");
const core::Text kLengthPlaceholder("\x5b\xb3\xa4\xb6\xc8\x5d");
const core::Text kExtensionPlaceholder("\x5b\xce\xc4\xbc\xfe\x5d");

core::Text withoutControlBytes(const core::Text& text)
{
    std::string bytes = text.str();
    std::erase_if(bytes, [](char c) {
        auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7f;
    });
    return core::Text(std::move(bytes));
}

} // namespace

DownloadResponse buildDownloadResponse(const core::ShareState& state)
{
    using namespace core;
    // The length is filled in before the extension, each at most once, so an extension that
    // happens to contain a placeholder is sent as it is.
    Text lengthText = integerToText(byteLength(state.fileData));
    Text header
        = replaceText(kResponseTemplate, kLengthPlaceholder, lengthText, 1, 1, CaseSensitive::Yes);
    header = replaceText(header, kExtensionPlaceholder, withoutControlBytes(state.fileExtension), 1,
        1, CaseSensitive::Yes);
    header = concatText(header, "\r\n\r\n");
    return { textToBytes(header), state.fileData };
}

} // namespace download
