#pragma once

#include "core/ByteBuffer.h"
#include "core/Text.h"
#include "core/UniqueFd.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

#include <netinet/in.h>

namespace download {

// A TCP server on non-blocking IPv4 sockets, driven entirely from the caller's thread.
//
// All readiness is multiplexed inside the server on one epoll descriptor, pollFd(). The caller
// watches that descriptor (a QSocketNotifier in the app, poll() in tests) and calls
// processEvents() whenever it is readable; processEvents() never blocks.
//
// Events are delivered synchronously from processEvents(), with currentClient() naming the
// connection for the length of the delivery:
//   dataArrived    bytes were read from a connection in the client table
//   clientEntered  a connection was accepted and entered in the table
//   clientLeft     a connection left the table: its peer closed, or disconnectClient()
// Destroying the server closes every connection and delivers nothing.
//
// Writes never block: what a socket does not take at once stays queued for that connection and
// goes out as it becomes writable. A disconnected connection leaves the table at once but is
// closed only after its last queued byte is out, followed by an orderly shutdown, so a client
// receives everything that was sent to it and then the end of the stream, never a reset.
class TcpServer {
public:
    enum class Bind { AnyAddress, Loopback };

    // `port` 0 picks an ephemeral port (see port()).
    explicit TcpServer(std::uint16_t port, Bind bind = Bind::AnyAddress);
    ~TcpServer();
    TcpServer(const TcpServer&) = delete;
    TcpServer& operator=(const TcpServer&) = delete;

    std::function<void()> onDataArrived;
    std::function<void()> onClientEntered;
    std::function<void()> onClientLeft;

    // Opens the listening socket (closing one already open) with SO_REUSEADDR, so a restart can
    // bind over connections lingering in TIME_WAIT but never over another live listener.
    // Returns false when the port cannot be had; nothing is ever retried.
    bool startListening();
    bool isListening() const { return m_listener.isValid(); }
    // The port actually bound, or 0 when not listening.
    std::uint16_t port() const;

    int pollFd() const { return m_epoll.get(); }
    // Handles whatever is ready now, delivering events, and returns without waiting.
    void processEvents();

    // A copy of the current connection's id ("address:number"), or the empty Text outside an
    // event.
    core::Text currentClient() const { return m_currentClient; }

    // Queues the pieces, in order and without copying them, on that client's connection; they
    // are written as soon as the current event's handler returns or disconnects the client (at
    // once when called outside an event), never waiting for the peer. Returns false when the id
    // names no connection in the table or the connection has failed; true once every byte is
    // accepted for transmission (queued bytes count as accepted).
    bool sendData(const core::Text& clientId, std::span<const core::ByteBuffer> pieces);
    bool sendData(const core::Text& clientId, const core::ByteBuffer& bytes)
    {
        return sendData(clientId, std::span(&bytes, 1));
    }

    // Takes the connection out of the table and delivers clientLeft before returning; the
    // connection itself is closed in an orderly way once its queued bytes are out. An empty or
    // unknown id does nothing.
    void disconnectClient(const core::Text& clientId);

    // Connections alive in any state: in the table, or still sending or closing.
    std::size_t connectionCount() const { return m_connections.size(); }
    std::size_t tableSize() const { return m_table.size(); }

private:
    using Serial = std::uint64_t;
    struct Connection;

    void acceptPending();
    void dropOnePendingConnection();
    void handleConnection(Serial serial, std::uint32_t events);
    void readFrom(Serial serial, Connection& connection);
    void flush(Serial serial, Connection& connection);
    void flushPending();
    void finishSending(Serial serial, Connection& connection);
    void closeConnection(Serial serial);
    void rearm(Connection& connection, std::uint32_t events);
    void armLingerTimer();
    void expireLingering();
    Serial findInTable(const core::Text& clientId) const;
    void deliver(const std::function<void()>& handler, const core::Text& clientId);

    std::uint16_t m_port;
    Bind m_bind;
    core::UniqueFd m_epoll;
    core::UniqueFd m_lingerTimer;
    core::UniqueFd m_listener;
    // Held open so that when descriptors run out one can be freed to accept and drop the
    // pending connection, instead of leaving it to wake us again and again.
    core::UniqueFd m_spareFd;
    bool m_listenerPaused = false;
    bool m_lingerTimerArmed = false;
    std::unordered_map<Serial, std::unique_ptr<Connection>> m_connections;
    std::vector<Serial> m_table; // in order of acceptance
    Serial m_nextSerial = 1;
    std::uint64_t m_nextNumber = 1; // the number part of ClientIds
    core::Text m_currentClient;
    std::vector<Serial> m_pendingFlush; // sent to during the current event, not yet written
    int m_deliveryDepth = 0; // events being delivered, nested
};

// Raises the soft limit on open descriptors to the hard limit, so many downloaders can be
// connected at once. Failure leaves the limit as it was.
void raiseOpenFileLimit();

} // namespace download
