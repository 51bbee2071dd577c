#include "download/TcpServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <sys/timerfd.h>
#include <sys/uio.h>
#include <unistd.h>

namespace download {

namespace {

constexpr std::uint64_t kListenerTag = 0;
constexpr std::uint64_t kTimerTag = UINT64_MAX;

constexpr int kMaxEventsPerCall = 64;
constexpr int kMaxAcceptsPerCall = 64;
constexpr std::size_t kReadChunk = 16 * 1024;
// Caps keep one busy connection from starving the rest of the loop (and the window); epoll is
// level-triggered, so whatever is left simply wakes us again.
constexpr std::size_t kMaxReadPerCall = 256 * 1024;
constexpr std::size_t kMaxWritePerCall = 4 * 1024 * 1024;
// Below this a file-backed piece is copied by writev together with the header, one system call
// for a small response; above it, sendfile() hands the pages over without a copy.
constexpr std::size_t kGatherLimit = 64 * 1024;
constexpr int kMaxIovecs = 8;
// After our side is shut down we wait this long, reading at most this much, for the client to
// close; closing a socket with unread input would reset the connection and could destroy the
// end of the reply still in flight.
constexpr auto kLingerTime = std::chrono::seconds(2);
constexpr std::size_t kMaxLingerDiscard = 1024 * 1024;
// A client that keeps sending while it downloads is read and ignored up to this much.
constexpr std::size_t kMaxDiscardWhileSending = 64 * 1024 * 1024;
constexpr long kLingerTickNanos = 250'000'000;

bool wouldBlock(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK;
}

} // namespace

struct TcpServer::Connection {
    enum class Phase {
        InTable, // accepted, waiting for a request
        Sending, // out of the table, writing what was queued
        Lingering, // all sent and our side shut down, waiting for the client to close
    };
    struct Piece {
        core::ByteBuffer bytes;
        std::size_t offset = 0;
        std::size_t left() const { return bytes.size() - offset; }
    };

    Serial serial = 0;
    core::UniqueFd fd;
    core::Text clientId;
    Phase phase = Phase::InTable;
    std::deque<Piece> outbox;
    std::uint32_t events = 0;
    bool peerClosed = false; // the client has shut down its sending side
    bool failed = false;
    std::size_t discarded = 0;
    std::chrono::steady_clock::time_point lingerUntil;
};

TcpServer::TcpServer(std::uint16_t port, Bind bind)
    : m_port(port)
    , m_bind(bind)
    , m_epoll(::epoll_create1(EPOLL_CLOEXEC))
    , m_lingerTimer(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC))
    , m_spareFd(::open("/dev/null", O_RDONLY | O_CLOEXEC))
{
    // sendfile() has no MSG_NOSIGNAL: a client that vanishes mid-download must cost us an
    // EPIPE, not the process.
    ::signal(SIGPIPE, SIG_IGN);
    if (m_epoll && m_lingerTimer) {
        epoll_event event {};
        event.events = EPOLLIN;
        event.data.u64 = kTimerTag;
        ::epoll_ctl(m_epoll.get(), EPOLL_CTL_ADD, m_lingerTimer.get(), &event);
    }
}

TcpServer::~TcpServer() = default;

bool TcpServer::startListening()
{
    m_listener.reset();
    m_listenerPaused = false;
    if (!m_epoll)
        return false;
    core::UniqueFd socket(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!socket)
        return false;
    int on = 1;
    if (::setsockopt(socket.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0)
        return false;
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(m_port);
    address.sin_addr.s_addr = htonl(m_bind == Bind::Loopback ? INADDR_LOOPBACK : INADDR_ANY);
    if (::bind(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return false;
    if (::listen(socket.get(), SOMAXCONN) != 0)
        return false;
    epoll_event event {};
    event.events = EPOLLIN;
    event.data.u64 = kListenerTag;
    if (::epoll_ctl(m_epoll.get(), EPOLL_CTL_ADD, socket.get(), &event) != 0)
        return false;
    m_listener = std::move(socket);
    return true;
}

std::uint16_t TcpServer::port() const
{
    if (!m_listener)
        return 0;
    sockaddr_in address {};
    socklen_t length = sizeof address;
    if (::getsockname(m_listener.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

void TcpServer::processEvents()
{
    epoll_event events[kMaxEventsPerCall];
    int count = ::epoll_wait(m_epoll.get(), events, kMaxEventsPerCall, 0);
    for (int i = 0; i < count; ++i) {
        std::uint64_t tag = events[i].data.u64;
        if (tag == kListenerTag)
            acceptPending();
        else if (tag == kTimerTag)
            expireLingering();
        else
            handleConnection(tag, events[i].events);
    }
}

void TcpServer::acceptPending()
{
    for (int i = 0; i < kMaxAcceptsPerCall && m_listener && !m_listenerPaused; ++i) {
        sockaddr_in peer {};
        socklen_t length = sizeof peer;
        int fd = ::accept4(m_listener.get(), reinterpret_cast<sockaddr*>(&peer), &length,
            SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
                dropOnePendingConnection();
            return;
        }
        core::UniqueFd connectionFd(fd);
        char address[INET_ADDRSTRLEN] = {};
        if (peer.sin_family != AF_INET
            || !::inet_ntop(AF_INET, &peer.sin_addr, address, sizeof address))
            continue;

        Serial serial = m_nextSerial++;
        auto connection = std::make_unique<Connection>();
        connection->serial = serial;
        connection->fd = std::move(connectionFd);
        connection->clientId
            = core::Text(std::string(address) + ":" + std::to_string(m_nextNumber++));
        connection->events = EPOLLIN | EPOLLRDHUP;
        epoll_event event {};
        event.events = connection->events;
        event.data.u64 = serial;
        if (::epoll_ctl(m_epoll.get(), EPOLL_CTL_ADD, connection->fd.get(), &event) != 0)
            continue;
        core::Text clientId = connection->clientId;
        m_connections.emplace(serial, std::move(connection));
        m_table.push_back(serial);
        deliver(onClientEntered, clientId);
        // A client usually sends its request right behind the handshake; reading now saves a
        // trip through the loop. If nothing is there yet, epoll reports it when it comes.
        if (m_connections.contains(serial))
            readFrom(serial, *m_connections.at(serial));
    }
}

void TcpServer::dropOnePendingConnection()
{
    // Out of descriptors: free the spare one, take the pending connection with it and close it
    // at once. Left pending, it would keep the listener readable and spin the loop.
    if (m_spareFd) {
        m_spareFd.reset();
        int fd = ::accept4(m_listener.get(), nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0)
            ::close(fd);
        m_spareFd.reset(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    }
    if (m_spareFd)
        return;
    // Not even the spare could be had: stop listening for readiness until a connection closes
    // and gives a descriptor back (see closeConnection).
    epoll_event event {};
    event.data.u64 = kListenerTag;
    ::epoll_ctl(m_epoll.get(), EPOLL_CTL_MOD, m_listener.get(), &event);
    m_listenerPaused = true;
}

void TcpServer::handleConnection(Serial serial, std::uint32_t events)
{
    auto it = m_connections.find(serial);
    if (it == m_connections.end())
        return; // closed earlier in this batch
    if (events & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR)) {
        readFrom(serial, *it->second);
        it = m_connections.find(serial);
        if (it == m_connections.end())
            return;
    }
    if ((events & EPOLLOUT) && !it->second->outbox.empty())
        flush(serial, *it->second);
}

void TcpServer::readFrom(Serial serial, Connection& connection)
{
    char buffer[kReadChunk];
    std::size_t total = 0;
    bool ended = false;
    bool failed = false;
    while (total < kMaxReadPerCall) {
        ssize_t got = ::recv(connection.fd.get(), buffer, sizeof buffer, 0);
        if (got > 0) {
            total += static_cast<std::size_t>(got);
            // A short read took everything there was; asking again would only say EAGAIN, and
            // the level-triggered epoll reports anything that arrives later.
            if (static_cast<std::size_t>(got) < sizeof buffer)
                break;
            continue;
        }
        if (got == 0)
            ended = true;
        else if (errno == EINTR)
            continue;
        else if (!wouldBlock(errno))
            failed = true;
        break;
    }

    if (connection.phase == Connection::Phase::InTable && total > 0) {
        // The request itself is never looked at: any bytes at all ask for the file.
        deliver(onDataArrived, connection.clientId);
        auto it = m_connections.find(serial);
        if (it == m_connections.end())
            return;
    }
    Connection& current = *m_connections.at(serial);
    if (!ended && !failed) {
        if (current.phase != Connection::Phase::InTable)
            current.discarded += total;
        if (current.phase == Connection::Phase::Lingering && current.discarded > kMaxLingerDiscard)
            closeConnection(serial);
        else if (current.phase == Connection::Phase::Sending
            && current.discarded > kMaxDiscardWhileSending)
            rearm(current, current.events & ~(EPOLLIN | EPOLLRDHUP));
        return;
    }

    // The client has closed its side (or the connection broke).
    current.peerClosed = true;
    current.failed = current.failed || failed;
    if (current.phase == Connection::Phase::InTable) {
        core::Text clientId = current.clientId;
        std::erase(m_table, serial);
        current.phase = Connection::Phase::Sending;
        deliver(onClientLeft, clientId);
        auto it = m_connections.find(serial);
        if (it == m_connections.end())
            return;
    }
    Connection& left = *m_connections.at(serial);
    if (left.failed || left.outbox.empty() || left.phase == Connection::Phase::Lingering) {
        closeConnection(serial);
        return;
    }
    // A client that half-closes after its request still gets every byte: keep writing.
    rearm(left, left.events & ~(EPOLLIN | EPOLLRDHUP));
}

bool TcpServer::sendData(const core::Text& clientId, std::span<const core::ByteBuffer> pieces)
{
    Serial serial = findInTable(clientId);
    if (!serial)
        return false;
    Connection& connection = *m_connections.at(serial);
    if (connection.failed)
        return false;
    for (const auto& piece : pieces) {
        if (!piece.isEmpty())
            connection.outbox.push_back({ piece, 0 });
    }
    // Writing starts when the current event's handler is done or disconnects the client,
    // whichever comes first; by then we know whether the end of the stream can go out in the
    // same packet as the end of the data.
    m_pendingFlush.push_back(serial);
    // Outside any event nothing else would write them: do it now.
    if (m_deliveryDepth == 0)
        flushPending();
    auto it = m_connections.find(serial);
    return it != m_connections.end() && !it->second->failed;
}

void TcpServer::flushPending()
{
    for (Serial serial : std::exchange(m_pendingFlush, {})) {
        auto it = m_connections.find(serial);
        if (it != m_connections.end() && !it->second->outbox.empty())
            flush(serial, *it->second);
    }
}

void TcpServer::flush(Serial serial, Connection& connection)
{
    using Piece = Connection::Piece;
    std::size_t budget = kMaxWritePerCall;
    while (!connection.outbox.empty() && budget > 0) {
        Piece& front = connection.outbox.front();
        if (front.left() == 0) {
            connection.outbox.pop_front();
            continue;
        }
        ssize_t sent;
        int memfd = front.bytes.memfd();
        if (memfd >= 0 && front.left() > kGatherLimit) {
            off_t offset = static_cast<off_t>(front.offset);
            sent = ::sendfile(connection.fd.get(), memfd, &offset, std::min(front.left(), budget));
        } else {
            iovec vectors[kMaxIovecs];
            int count = 0;
            std::size_t gathered = 0;
            auto piece = connection.outbox.begin();
            for (; piece != connection.outbox.end() && count < kMaxIovecs && gathered < budget;
                 ++piece) {
                if (piece->bytes.memfd() >= 0 && piece->left() > kGatherLimit)
                    break;
                std::size_t take = std::min(piece->left(), budget - gathered);
                vectors[count++] = { const_cast<char*>(piece->bytes.data() + piece->offset), take };
                gathered += take;
            }
            msghdr message {};
            message.msg_iov = vectors;
            message.msg_iovlen = static_cast<std::size_t>(count);
            // More is coming, either a file handed over by sendfile or, once the client is
            // disconnected, our FIN: let them share packets. shutdown() pushes what is held.
            bool more = piece != connection.outbox.end()
                || connection.phase != Connection::Phase::InTable;
            int flags = MSG_NOSIGNAL | (more ? MSG_MORE : 0);
            sent = ::sendmsg(connection.fd.get(), &message, flags);
        }
        if (sent < 0) {
            if (errno == EINTR)
                continue;
            if (wouldBlock(errno))
                break;
            connection.failed = true;
            break;
        }
        auto done = static_cast<std::size_t>(sent);
        budget -= std::min(budget, done);
        while (done > 0) {
            Piece& piece = connection.outbox.front();
            std::size_t take = std::min(done, piece.left());
            piece.offset += take;
            done -= take;
            if (piece.left() == 0)
                connection.outbox.pop_front();
        }
    }

    if (connection.failed) {
        connection.outbox.clear();
        if (connection.phase != Connection::Phase::InTable)
            closeConnection(serial);
        return;
    }
    std::uint32_t events
        = connection.outbox.empty() ? connection.events & ~EPOLLOUT : connection.events | EPOLLOUT;
    rearm(connection, events);
    if (connection.outbox.empty() && connection.phase == Connection::Phase::Sending)
        finishSending(serial, connection);
}

void TcpServer::disconnectClient(const core::Text& clientId)
{
    Serial serial = findInTable(clientId);
    if (!serial)
        return;
    std::erase(m_table, serial);
    Connection& connection = *m_connections.at(serial);
    connection.phase = Connection::Phase::Sending;
    deliver(onClientLeft, clientId);
    // Delivering flushed what the handler had sent; write the rest now, or close if done.
    auto it = m_connections.find(serial);
    if (it != m_connections.end() && it->second->phase == Connection::Phase::Sending)
        flush(serial, *it->second);
}

void TcpServer::finishSending(Serial serial, Connection& connection)
{
    if (connection.failed || connection.peerClosed) {
        if (!connection.failed)
            ::shutdown(connection.fd.get(), SHUT_WR);
        closeConnection(serial);
        return;
    }
    // Our FIN goes out after the last queued byte; the client's close then ends it.
    ::shutdown(connection.fd.get(), SHUT_WR);
    connection.phase = Connection::Phase::Lingering;
    connection.lingerUntil = std::chrono::steady_clock::now() + kLingerTime;
    rearm(connection, EPOLLIN | EPOLLRDHUP);
    armLingerTimer();
}

void TcpServer::closeConnection(Serial serial)
{
    std::erase(m_table, serial);
    m_connections.erase(serial);
    if (m_listenerPaused && m_listener) {
        m_spareFd.reset(::open("/dev/null", O_RDONLY | O_CLOEXEC));
        epoll_event event {};
        event.events = EPOLLIN;
        event.data.u64 = kListenerTag;
        ::epoll_ctl(m_epoll.get(), EPOLL_CTL_MOD, m_listener.get(), &event);
        m_listenerPaused = false;
    }
}

void TcpServer::rearm(Connection& connection, std::uint32_t events)
{
    if (events == connection.events)
        return;
    epoll_event event {};
    event.events = events;
    event.data.u64 = connection.serial;
    if (::epoll_ctl(m_epoll.get(), EPOLL_CTL_MOD, connection.fd.get(), &event) == 0)
        connection.events = events;
}

void TcpServer::armLingerTimer()
{
    if (m_lingerTimerArmed)
        return;
    itimerspec interval {};
    interval.it_interval.tv_nsec = kLingerTickNanos;
    interval.it_value.tv_nsec = kLingerTickNanos;
    m_lingerTimerArmed = ::timerfd_settime(m_lingerTimer.get(), 0, &interval, nullptr) == 0;
}

void TcpServer::expireLingering()
{
    std::uint64_t ticks = 0;
    [[maybe_unused]] auto ignored = ::read(m_lingerTimer.get(), &ticks, sizeof ticks);
    auto now = std::chrono::steady_clock::now();
    std::vector<Serial> expired;
    bool anyLingering = false;
    for (const auto& [serial, connection] : m_connections) {
        if (connection->phase != Connection::Phase::Lingering)
            continue;
        if (connection->lingerUntil <= now)
            expired.push_back(serial);
        else
            anyLingering = true;
    }
    for (Serial serial : expired)
        closeConnection(serial);
    if (!anyLingering) {
        itimerspec off {};
        ::timerfd_settime(m_lingerTimer.get(), 0, &off, nullptr);
        m_lingerTimerArmed = false;
    }
}

TcpServer::Serial TcpServer::findInTable(const core::Text& clientId) const
{
    if (clientId.isEmpty())
        return 0;
    for (Serial serial : m_table) {
        if (m_connections.at(serial)->clientId == clientId)
            return serial;
    }
    return 0;
}

void TcpServer::deliver(const std::function<void()>& handler, const core::Text& clientId)
{
    core::Text previous = std::exchange(m_currentClient, clientId);
    ++m_deliveryDepth;
    if (handler)
        handler();
    --m_deliveryDepth;
    m_currentClient = std::move(previous);
    flushPending();
}

void raiseOpenFileLimit()
{
    rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max)
        return;
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
}

} // namespace download
