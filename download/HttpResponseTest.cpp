#include "download/HttpResponse.h"

#include "core/Gb18030.h"

#include <gtest/gtest.h>

using namespace download;

namespace {

std::string header(std::string_view length, std::string_view extension)
{
    return std::string("HTTP/1.1 200 OK\r\n"
                       "Date: Thu, 12 Jun 2014 11:40:47 GMT\r\n"
                       "Content-Length: ")
        + std::string(length) + "\r\nContent-Type: application/x-" + std::string(extension)
        + "-compressed\r\n"
          "Last-Modified: Mon, 05 May 2014 01:53:43 GMT\r\n"
          "Accept-Ranges: bytes\r\n"
          "Server: Microsoft-IIS/6.0\r\n"
          "X-Powered-By: ASP.NET\r\n\r\n";
}

TEST(HttpResponseTest, HeaderAndBodyAreExact)
{
    struct Row {
        const char* what;
        core::Text extension;
        std::string data;
        std::string expectedHeader;
    };
    const std::string hundred(100, '\x5a');
    const Row rows[] = {
        { "no file loaded", core::Text(), "", header("0", "") },
        { "empty file", "txt", "", header("0", "txt") },
        { "100-byte a.zip", "zip", hundred, header("100", "zip") },
        { "upper-case extension", "ZIP", "x", header("1", "ZIP") },
        { "control bytes left out", "r\r\nX-Evil: 1\x7f\t", "x", header("1", "rX-Evil: 1") },
        { "GB18030 extension passes through", "\xce\xc4\xbc\xfe", "ab",
            header("2", "\xce\xc4\xbc\xfe") },
        { "placeholder in the extension is not filled", "\x5b\xb3\xa4\xb6\xc8\x5d", "abc",
            header("3", "\x5b\xb3\xa4\xb6\xc8\x5d") },
        { "zero bytes in the data", "bin", std::string("\0\0\r\n", 4), header("4", "bin") },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        core::ShareState state;
        state.fileExtension = row.extension;
        state.fileData = core::ByteBuffer(row.data);
        DownloadResponse response = buildDownloadResponse(state);
        EXPECT_EQ(response.header.view(), row.expectedHeader);
        EXPECT_EQ(response.body.view(), row.data);
    }
}

TEST(HttpResponseTest, SizesOfTheDocumentedExample)
{
    core::ShareState state;
    state.fileExtension = "zip";
    state.fileData = core::ByteBuffer(std::string(100, 'z'));
    DownloadResponse response = buildDownloadResponse(state);
    // 233 bytes of template and empty line, 3 digits, 3 bytes of extension.
    EXPECT_EQ(response.header.size(), 239u);
    EXPECT_EQ(response.size(), 339u);
    // The body is the share state's bytes, not a copy of them.
    EXPECT_EQ(response.body.data(), state.fileData.data());
}

} // namespace
