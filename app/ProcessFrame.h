#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace app {

// The frame of the process: one event loop that ends when the last of the program's windows
// has been destroyed (not merely hidden or closed), and one exit routine that runs exactly once
// on this thread after the loop has ended.
class ProcessFrame : public QObject {
    Q_OBJECT
public:
    ProcessFrame();
    ~ProcessFrame() override;

    // Registers the routine that releases the program's state at the end. Call it before any
    // window exists.
    void registerExitRoutine(std::function<void()> routine);

    // Counts `window` among the program's live windows until it is destroyed. Windows that are
    // children of a watched window (the contact window) go with it and need no watching.
    void watchWindow(QWidget* window);

    // Runs the loop while any watched window is alive (not at all when none is), then the exit
    // routine. Returns the process exit status, 0.
    int run();

private:
    void windowDestroyed();
    void runExitRoutine();

    std::function<void()> m_exitRoutine;
    int m_liveWindows = 0;
    bool m_loopStarted = false;
};

} // namespace app
