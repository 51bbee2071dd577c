// myip-page: answers every HTTP request with a small GBK page that states the caller's IPv4
// address between the markers the tool looks for. Run it on a host the internet can reach and
// build the tool with -DLOOKUP_HOST=that-host:port.
//
// Usage: myip-page [PORT] [--loopback]    (PORT defaults to 80; --loopback binds 127.0.0.1)
#include "core/TextBytes.h"
#include "download/TcpServer.h"
#include "lookup/PublicAddress.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>

namespace {

volatile std::sig_atomic_t g_stop = 0;

// The whole response, header and page, for a caller at `address`.
core::ByteBuffer pageFor(const core::Text& address)
{
    using namespace core;
    Text body = concatText("<html><head><meta charset=\"gbk\"><title>IP</title></head><body><p>",
        lookup::addressLeftMarker, address, lookup::addressRightMarker, "</body></html>\r\n");
    Text head = concatText("HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=gbk\r\n"
                           "Cache-Control: no-store\r\nContent-Length: ",
        integerToText(textLength(body)), "\r\n\r\n");
    return textToBytes(concatText(head, body));
}

} // namespace

int main(int argc, char** argv)
{
    std::uint16_t port = 80;
    auto bind = download::TcpServer::Bind::AnyAddress;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--loopback") == 0)
            bind = download::TcpServer::Bind::Loopback;
        else
            port = static_cast<std::uint16_t>(std::atoi(argv[i]));
    }
    std::signal(SIGTERM, [](int) { g_stop = 1; });
    std::signal(SIGINT, [](int) { g_stop = 1; });

    download::TcpServer server(port, bind);
    server.onDataArrived = [&server] {
        core::Text client = server.currentClient();
        // A client id is "address:number"; the page names the address.
        core::TextList parts = core::splitText(client, ":");
        server.sendData(client, pageFor(parts.empty() ? core::Text() : parts.front()));
        server.disconnectClient(client);
    };
    if (!server.startListening()) {
        std::fprintf(stderr, "myip-page: cannot listen on port %u\n", port);
        return 1;
    }
    std::printf("myip-page: listening on port %u\n", server.port());
    std::fflush(stdout);
    while (!g_stop) {
        pollfd watched { server.pollFd(), POLLIN, 0 };
        if (::poll(&watched, 1, 200) > 0)
            server.processEvents();
    }
    return 0;
}
