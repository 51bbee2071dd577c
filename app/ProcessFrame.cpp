#include "app/ProcessFrame.h"

#include <QApplication>
#include <QWidget>

namespace app {

ProcessFrame::ProcessFrame()
{
    // Closing the last visible window is not the end: a window is gone only once destroyed.
    QApplication::setQuitOnLastWindowClosed(false);
}

ProcessFrame::~ProcessFrame()
{
    runExitRoutine();
}

void ProcessFrame::registerExitRoutine(std::function<void()> routine)
{
    m_exitRoutine = std::move(routine);
}

void ProcessFrame::watchWindow(QWidget* window)
{
    ++m_liveWindows;
    connect(window, &QObject::destroyed, this, &ProcessFrame::windowDestroyed);
}

void ProcessFrame::windowDestroyed()
{
    if (--m_liveWindows > 0 || !m_loopStarted)
        return;
    // Posted, so the events queued before the destruction are still dispatched.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

int ProcessFrame::run()
{
    if (m_liveWindows > 0) {
        m_loopStarted = true;
        QApplication::exec();
    }
    runExitRoutine();
    return 0;
}

void ProcessFrame::runExitRoutine()
{
    if (auto routine = std::exchange(m_exitRoutine, nullptr))
        routine();
}

} // namespace app
