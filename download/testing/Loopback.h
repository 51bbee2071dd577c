#pragma once

#include "download/TcpServer.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace download::testing {

using namespace std::chrono_literals;

// Runs the server's loop (poll on its descriptor, then processEvents) until `done` says so or
// the deadline passes. Returns whether `done` became true.
bool pumpUntil(
    TcpServer& server, const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s);
void pumpFor(TcpServer& server, std::chrono::milliseconds duration);

// A blocking-free client socket connected to 127.0.0.1:port. `receiveBuffer` > 0 shrinks
// SO_RCVBUF before connecting.
int connectClient(std::uint16_t port, int receiveBuffer = 0);

void sendAll(int fd, std::string_view bytes);

struct Received {
    std::string bytes;
    bool endOfStream = false; // an orderly end, recv() returned 0
    bool reset = false; // ECONNRESET or another error
    bool timedOut = false;
};
// Reads from `fd` while pumping the server, until the end of the stream, an error or the
// timeout. `throttle` reads at most that many bytes each time with a short pause between.
Received receiveAll(
    TcpServer& server, int fd, std::chrono::milliseconds timeout = 60s, std::size_t throttle = 0);

// Runs a real program (curl) while pumping the server; returns its exit status.
int runWhilePumping(TcpServer& server, const std::vector<std::string>& argv,
    std::chrono::milliseconds timeout = 120s);

} // namespace download::testing
