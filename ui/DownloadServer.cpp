#include "ui/DownloadServer.h"

#include "download/ServeDownload.h"

namespace ui {

DownloadServer::DownloadServer(const core::ShareState& state, std::uint16_t port, QObject* parent)
    : QObject(parent)
    , m_server(std::make_unique<download::TcpServer>(port))
{
    m_server->onDataArrived = [this, &state] { download::serveDownload(*m_server, state); };
    // A port that cannot be had leaves the tool running without downloads, silently.
    m_server->startListening();
    // All sockets are multiplexed on one descriptor. The handler never runs an event loop of its
    // own, so the notifier cannot fire again inside it.
    m_notifier = std::make_unique<QSocketNotifier>(m_server->pollFd(), QSocketNotifier::Read);
    connect(
        m_notifier.get(), &QSocketNotifier::activated, this, [this] { m_server->processEvents(); });
}

DownloadServer::~DownloadServer() = default;

} // namespace ui
