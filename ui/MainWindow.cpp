#include "ui/MainWindow.h"

#include "download/ServeDownload.h"
#include "download/TcpServer.h"

#include <QKeyEvent>
#include <QScreen>
#include <QSocketNotifier>

namespace ui {

namespace {
constexpr int kWidth = 283;
constexpr int kHeight = 168;
} // namespace

MainWindow::MainWindow(core::ShareState& shareState, std::uint16_t downloadPort, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_shareState(shareState)
    , m_server(std::make_unique<download::TcpServer>(downloadPort))
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("禾渡文件传送"));
    // Closing destroys the window; the process frame ends the run when it is gone.
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kWidth, kHeight);

    // 服务器1: every client that sends anything gets the shared file.
    m_server->onDataArrived = [this] { download::serveDownload(*m_server, m_shareState); };
    m_server->startListening();
    // The server multiplexes all its sockets on one descriptor; the notifier never runs an event
    // loop of its own from its handler, so it cannot fire re-entrantly.
    m_serverNotifier = std::make_unique<QSocketNotifier>(m_server->pollFd(), QSocketNotifier::Read);
    connect(m_serverNotifier.get(), &QSocketNotifier::activated, this, [this] { m_server->processEvents(); });
}

MainWindow::~MainWindow() = default;

void MainWindow::showCentred()
{
    if (QScreen* screen = this->screen()) {
        QRect area = screen->geometry();
        move(area.x() + (area.width() - kWidth) / 2, area.y() + (area.height() - kHeight) / 2);
    }
    show();
    // With no window manager, keys go to the window under the pointer unless we ask for focus.
    activateWindow();
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace ui
