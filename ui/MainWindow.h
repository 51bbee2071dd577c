#pragma once

#include "core/ShareState.h"

#include <QWidget>

#include <cstdint>
#include <memory>

class QSocketNotifier;

namespace download {
class TcpServer;
}

namespace ui {

// The tool's main window: borderless, 283 x 168, centred. Esc closes it, which ends the run.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr std::uint16_t kDownloadPort = 8090;

    // Creating the window starts the download server on `downloadPort` (0 picks a free one).
    // A port that cannot be had is silently left alone: the tool runs, serving nothing.
    explicit MainWindow(core::ShareState& shareState, std::uint16_t downloadPort = kDownloadPort,
        QWidget* parent = nullptr);
    ~MainWindow() override;

    download::TcpServer& server() { return *m_server; }

    // Shows the window centred on the screen it is on and gives it the keyboard.
    void showCentred();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    core::ShareState& m_shareState;
    // Declared in this order so the notifier goes before the descriptor it watches.
    std::unique_ptr<download::TcpServer> m_server;
    std::unique_ptr<QSocketNotifier> m_serverNotifier;
};

} // namespace ui
