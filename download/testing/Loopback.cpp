#include "download/testing/Loopback.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace download::testing {

namespace {

void pumpOnce(TcpServer& server, int timeoutMs)
{
    pollfd watched { server.pollFd(), POLLIN, 0 };
    if (::poll(&watched, 1, timeoutMs) > 0)
        server.processEvents();
}

} // namespace

bool pumpUntil(
    TcpServer& server, const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        pumpOnce(server, 5);
    }
    return true;
}

void pumpFor(TcpServer& server, std::chrono::milliseconds duration)
{
    pumpUntil(
        server, [] { return false; }, duration);
}

int connectClient(std::uint16_t port, int receiveBuffer)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (receiveBuffer > 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void sendAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0)
            return;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
}

Received receiveAll(
    TcpServer& server, int fd, std::chrono::milliseconds timeout, std::size_t throttle)
{
    Received result;
    auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string buffer(throttle ? throttle : 256 * 1024, '\0');
    while (true) {
        if (std::chrono::steady_clock::now() > deadline) {
            result.timedOut = true;
            return result;
        }
        pollfd watched[2] = { { server.pollFd(), POLLIN, 0 }, { fd, POLLIN, 0 } };
        if (::poll(watched, 2, 20) <= 0)
            continue;
        if (watched[0].revents)
            server.processEvents();
        if (!watched[1].revents)
            continue;
        ssize_t got = ::recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
        if (got > 0) {
            result.bytes.append(buffer, 0, static_cast<std::size_t>(got));
            if (throttle)
                std::this_thread::sleep_for(1ms);
            continue;
        }
        if (got == 0) {
            result.endOfStream = true;
            return result;
        }
        if (errno == EAGAIN || errno == EINTR)
            continue;
        result.reset = true;
        return result;
    }
}

int runWhilePumping(
    TcpServer& server, const std::vector<std::string>& argv, std::chrono::milliseconds timeout)
{
    std::vector<char*> args;
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0)
        return -1;
    int status = 0;
    bool exited = pumpUntil(
        server, [&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, timeout);
    if (!exited) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace download::testing
