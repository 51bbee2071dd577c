#include "app/ProcessFrame.h"
#include "core/ShareState.h"
#include "download/TcpServer.h"
#include "ui/Look.h"
#include "ui/MainWindow.h"

#include <QApplication>

int main(int, char** argv)
{
    // The tool takes no command line: Qt sees only the program name.
    int qtArgc = 1;
    char* qtArgv[] = { argv[0], nullptr };
    QApplication application(qtArgc, qtArgv);
    ui::applyApplicationLook(application);

    // Many downloaders at once each take a descriptor.
    download::raiseOpenFileLimit();

    core::ShareState shareState;
    app::ProcessFrame frame;
    frame.registerExitRoutine([&shareState] { shareState = core::ShareState(); });

    auto* window = new ui::MainWindow(shareState);
    frame.watchWindow(window);
    window->showCentred();
    return frame.run();
}
