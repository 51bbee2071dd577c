#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace lookup::testing {

// A one-connection HTTP server on 127.0.0.1 that plays a fixed part, on a thread of its own so
// the blocking client under test can talk to it.
class ScriptedServer {
public:
    enum class Behaviour {
        Respond, // read the request, send `response`, close
        CloseAtOnce, // accept and close without a word
        NeverAnswer, // read the request and wait until destroyed
    };

    explicit ScriptedServer(std::string response, Behaviour behaviour = Behaviour::Respond);
    ~ScriptedServer();

    std::uint16_t port() const { return m_port; }
    std::string url(const std::string& path = "/cgi-bin/myip") const;
    // What the client sent, up to the end of its header block.
    std::string request() const;

private:
    void serve();

    std::string m_response;
    Behaviour m_behaviour;
    int m_listener = -1;
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stop = false;
    mutable std::mutex m_mutex;
    std::string m_request;
    std::thread m_thread;
};

} // namespace lookup::testing
