// A headless server for benchmarks: the tool's own TcpServer and share state, no window.
// Usage: serve-bench PORT FILE
// Loads FILE as the tool's load command would and serves it on 127.0.0.1:PORT until SIGTERM.
#include "core/ShareState.h"
#include "download/ServeDownload.h"
#include "download/TcpServer.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <poll.h>

namespace {
volatile std::sig_atomic_t g_stop = 0;
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: serve-bench PORT FILE\n");
        return 2;
    }
    std::signal(SIGTERM, [](int) { g_stop = 1; });
    std::signal(SIGINT, [](int) { g_stop = 1; });
    download::raiseOpenFileLimit();

    core::ShareState state;
    core::adoptFile(state, core::Text(argv[2]));
    download::TcpServer server(
        static_cast<std::uint16_t>(std::atoi(argv[1])), download::TcpServer::Bind::Loopback);
    server.onDataArrived = [&] { download::serveDownload(server, state); };
    if (!server.startListening()) {
        std::fprintf(stderr, "serve-bench: cannot listen on port %s\n", argv[1]);
        return 1;
    }
    std::printf("serving %d bytes\n", state.fileLength);
    std::fflush(stdout);
    while (!g_stop) {
        pollfd watched { server.pollFd(), POLLIN, 0 };
        if (::poll(&watched, 1, 100) > 0)
            server.processEvents();
    }
    return 0;
}
