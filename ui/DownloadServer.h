#pragma once

#include "core/ShareState.h"
#include "download/TcpServer.h"

#include <QObject>
#include <QSocketNotifier>

#include <cstdint>
#include <memory>

namespace ui {

// The window's download server component: listens as soon as it is made, answers every client
// with the shared file, and closes all its connections when it goes. It has no visible form.
class DownloadServer : public QObject {
    Q_OBJECT
public:
    DownloadServer(const core::ShareState& state, std::uint16_t port, QObject* parent = nullptr);
    ~DownloadServer() override;

    download::TcpServer& server() { return *m_server; }

private:
    // Declared in this order so the notifier goes before the descriptor it watches.
    std::unique_ptr<download::TcpServer> m_server;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace ui
