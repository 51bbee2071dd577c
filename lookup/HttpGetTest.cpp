#include "lookup/HttpGet.h"

#include "lookup/testing/ScriptedServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

using namespace lookup;
using lookup::testing::ScriptedServer;

namespace {

core::ByteBuffer get(const std::string& url)
{
    return httpGetBody(core::Text(url));
}

TEST(HttpGetTest, BodyOfWhateverResponseArrives)
{
    struct Row {
        const char* what;
        std::string response;
        std::string expectedBody;
    };
    const Row rows[] = {
        { "200 with Content-Length", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", "hello" },
        { "404 is cut like any page", "HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n\r\ngone",
            "gone" },
        { "chunked",
            "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n6\r\n "
            "world\r\n0\r\n\r\n",
            "hello world" },
        { "no Content-Length, ends at close", "HTTP/1.0 200 OK\r\n\r\nuntil the end",
            "until the end" },
        { "cut short: what arrived is kept",
            "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npartial", "partial" },
        { "zero bytes pass through", std::string("HTTP/1.0 200 OK\r\n\r\na\0b", 22),
            std::string("a\0b", 3) },
        { "a redirect is not followed",
            "HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:1/\r\nContent-Length: 2\r\n\r\nno",
            "no" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ScriptedServer server(row.response);
        EXPECT_EQ(get(server.url()).view(), row.expectedBody);
    }
}

TEST(HttpGetTest, SendsOneDirectHttp10GetWithTheFixedHeaders)
{
    // A proxy named by the environment is not used.
    ::setenv("http_proxy", "http://127.0.0.1:1", 1);
    ::setenv("HTTP_PROXY", "http://127.0.0.1:1", 1);
    ScriptedServer server("HTTP/1.0 200 OK\r\n\r\nok");
    EXPECT_EQ(get(server.url("/cgi-bin/myip#ignored")).view(), "ok");
    ::unsetenv("http_proxy");
    ::unsetenv("HTTP_PROXY");

    std::string request = server.request();
    EXPECT_EQ(request.rfind("GET /cgi-bin/myip HTTP/1.0\r\n", 0), 0u) << request;
    EXPECT_NE(
        request.find("\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"),
        std::string::npos);
    EXPECT_NE(request.find("\r\nAccept: */*\r\n"), std::string::npos);
    EXPECT_NE(request.find("\r\nHost: 127.0.0.1:" + std::to_string(server.port()) + "\r\n"),
        std::string::npos);
    EXPECT_EQ(request.find("ignored"), std::string::npos);
}

TEST(HttpGetTest, FailuresGiveWhatArrivedOrNothing)
{
    std::uint16_t closedPort;
    {
        ScriptedServer gone("");
        closedPort = gone.port();
    }
    ScriptedServer closesAtOnce("", ScriptedServer::Behaviour::CloseAtOnce);
    struct Row {
        const char* what;
        std::string url;
    };
    const Row rows[] = {
        { "connection refused",
            "http://127.0.0.1:" + std::to_string(closedPort) + "/cgi-bin/myip" },
        { "server closes at once", closesAtOnce.url() },
        { "empty URL", "" },
        { "not a URL", "::not a url::" },
        { "only a fragment", "#http://127.0.0.1/" },
        { "another scheme", "file:///etc/hostname" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_TRUE(get(row.url).isEmpty());
    }
}

TEST(HttpGetTest, KeepsOnlyTheFirstMebibyte)
{
    std::string body(3 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < body.size(); ++i)
        body[i] = static_cast<char>('a' + i % 26);
    ScriptedServer server(
        "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
    core::ByteBuffer got = get(server.url());
    ASSERT_EQ(got.size(), 1024u * 1024u);
    EXPECT_TRUE(got.view() == std::string_view(body).substr(0, got.size()));
}

TEST(HttpGetTest, AHostThatNeverAnswersCostsAtMostAboutTenSeconds)
{
    ScriptedServer server("", ScriptedServer::Behaviour::NeverAnswer);
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(get(server.url()).isEmpty());
    auto spent = std::chrono::steady_clock::now() - start;
    EXPECT_GE(spent, std::chrono::seconds(9));
    EXPECT_LE(spent, std::chrono::seconds(12));
}

} // namespace
