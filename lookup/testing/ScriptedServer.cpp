#include "lookup/testing/ScriptedServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lookup::testing {

ScriptedServer::ScriptedServer(std::string response, Behaviour behaviour)
    : m_response(std::move(response))
    , m_behaviour(behaviour)
{
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(m_listener, 4);
    socklen_t length = sizeof address;
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { serve(); });
}

ScriptedServer::~ScriptedServer()
{
    m_stop = true;
    m_thread.join();
    ::close(m_listener);
}

std::string ScriptedServer::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::string ScriptedServer::request() const
{
    std::lock_guard lock(m_mutex);
    return m_request;
}

void ScriptedServer::serve()
{
    auto waitFor = [this](int fd) {
        while (!m_stop) {
            pollfd watched { fd, POLLIN, 0 };
            if (::poll(&watched, 1, 20) > 0)
                return true;
        }
        return false;
    };
    if (!waitFor(m_listener))
        return;
    int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0)
        return;
    if (m_behaviour == Behaviour::CloseAtOnce) {
        ::close(client);
        return;
    }
    std::string received;
    char buffer[4096];
    while (received.find("\r\n\r\n") == std::string::npos && waitFor(client)) {
        ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
        if (got <= 0)
            break;
        received.append(buffer, static_cast<std::size_t>(got));
    }
    {
        std::lock_guard lock(m_mutex);
        m_request = received.substr(0, received.find("\r\n\r\n") + 4);
    }
    if (m_behaviour == Behaviour::NeverAnswer) {
        while (!m_stop)
            ::usleep(10'000);
    } else {
        std::string_view rest = m_response;
        while (!rest.empty()) {
            ssize_t sent = ::send(client, rest.data(), rest.size(), MSG_NOSIGNAL);
            if (sent <= 0)
                break;
            rest.remove_prefix(static_cast<std::size_t>(sent));
        }
    }
    ::close(client);
}

} // namespace lookup::testing
