#include "lookup/PublicAddress.h"

#include "core/Gb18030.h"
#include "core/TextBytes.h"
#include "lookup/testing/ScriptedServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

using namespace lookup;
using core::Text;
using lookup::testing::ScriptedServer;

namespace {

std::string hex(const Text& text)
{
    std::string out;
    char byte[4];
    for (unsigned char c : text.bytes()) {
        std::snprintf(byte, sizeof byte, "%02X ", c);
        out += byte;
    }
    return out;
}

TEST(PublicAddressTest, MarkersAreTheGbkBytes)
{
    EXPECT_EQ(hex(addressLeftMarker),
        "C4 FA B5 B1 C7 B0 B5 C4 49 50 CE AA A3 BA 3C 73 70 61 6E 20 63 6C 61 73 73 3D 22 72 65 64 "
        "22 3E ");
    EXPECT_EQ(hex(addressRightMarker), "3C 2F 73 70 61 6E 3E 3C 2F 70 3E ");
    EXPECT_EQ(core::utf8FromText(addressLeftMarker), "您当前的IP为：<span class=\"red\">");
}

TEST(PublicAddressTest, TextBetweenTheMarkers)
{
    const std::string left(addressLeftMarker.bytes()), right(addressRightMarker.bytes());
    // The left marker with its ASCII letters in other cases.
    std::string leftOtherCase = left;
    for (auto [from, to] :
        { std::pair { "IP", "ip" }, { "span", "SPAN" }, { "class", "CLASS" }, { "red", "RED" } })
        leftOtherCase.replace(leftOtherCase.find(from), std::strlen(from), to);
    struct Row {
        const char* what;
        std::string text;
        Text expected;
    };
    const Row rows[] = {
        { "one fragment", left + "203.0.113.7" + right, "203.0.113.7" },
        { "first of two", left + "203.0.113.7" + right + left + "198.51.100.2" + right,
            "203.0.113.7" },
        { "other letter cases", leftOtherCase + "203.0.113.7</SPAN></P>", "203.0.113.7" },
        { "spaces kept", left + " 203.0.113.7 " + right, " 203.0.113.7 " },
        { "no right marker after the left", right + left + "203.0.113.7", "" },
        { "page ends after the left marker", left, "" },
        { "right marker at once", left + right, "" },
        { "no left marker", "203.0.113.7" + right, "" },
        { "empty page", "", "" },
        { "zero byte before the markers", std::string("x\0", 2) + left + "1.2.3.4" + right, "" },
        { "a UTF-8 page", "您当前的IP为：<span class=\"red\">203.0.113.7" + right, "" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        // As the lookup does: the page's bytes up to its first zero byte.
        Text text = core::bytesToText(core::ByteBuffer("<p>" + row.text));
        EXPECT_EQ(textBetween(text, addressLeftMarker, addressRightMarker), row.expected);
    }
}

TEST(PublicAddressTest, FetchCutsTheAddressOutOfAnyPage)
{
    const std::string left(addressLeftMarker.bytes()), right(addressRightMarker.bytes());
    struct Row {
        const char* what;
        std::string response;
        Text expected;
    };
    const Row rows[] = {
        { "200", "HTTP/1.0 200 OK\r\n\r\n<p>" + left + "203.0.113.7" + right, "203.0.113.7" },
        { "404 carrying both markers",
            "HTTP/1.1 404 Not Found\r\nContent-Length: "
                + std::to_string(left.size() + right.size() + 11) + "\r\n\r\n" + left
                + "203.0.113.9" + right,
            "203.0.113.9" },
        { "no markers", "HTTP/1.0 200 OK\r\n\r\nnothing here", "" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ScriptedServer server(row.response);
        EXPECT_EQ(fetchPublicAddressFrom(Text(server.url())), row.expected);
    }
}

TEST(PublicAddressTest, LoopbackBuildAsksMyipPage)
{
    EXPECT_EQ(lookupUrl(),
        Text("http://127.0.0.1:" + std::to_string(LOOKUP_TEST_PORT) + "/cgi-bin/myip"));

    std::string port = std::to_string(LOOKUP_TEST_PORT);
    char* argv[]
        = { const_cast<char*>(MYIP_PAGE), port.data(), const_cast<char*>("--loopback"), nullptr };
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, MYIP_PAGE, nullptr, nullptr, argv, environ), 0);
    Text address;
    for (int attempt = 0; attempt < 100 && address.isEmpty(); ++attempt) {
        address = fetchPublicAddress();
        if (address.isEmpty())
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_EQ(address, Text("127.0.0.1"));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

} // namespace
