#pragma once

#include "core/ShareState.h"
#include "ui/Commands.h"
#include "ui/Hover.h"

#include <QWidget>

#include <cstdint>

class QTimer;

namespace ui {

class DownloadServer;
class EditBox;
class OpenFileDialog;

struct MainWindowSettings {
    static constexpr std::uint16_t kDownloadPort = 8090;
    std::uint16_t downloadPort = kDownloadPort; // 0 picks a free one
    CommandServices services; // empty members take the tool's own
};

// The tool's main window: borderless, 283 x 168, centred, drawn entirely by its own controls,
// which carry the names they are known by (编辑框3, 载入标签, ...) as object names. Creating it
// starts the download server and the hover timer; destroying it stops both. Esc closes it, and
// closing it ends the run.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    using Settings = MainWindowSettings;

    explicit MainWindow(
        core::ShareState& shareState, Settings settings = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Shows the window centred on its screen and gives it the keyboard.
    void showCentred();

    DownloadServer& downloadServer() { return *m_server; }

    // The commands and actions the controls are bound to.
    void loadFile();
    void clearFile();
    void copyShareAddress();
    void openContactWindow();
    void minimiseMainWindow();
    void closeMainWindow();
    void updateHoverColours();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    class Controls;
    void buildControls(std::uint16_t downloadPort);

    core::ShareState& m_shareState;
    CommandServices m_services;
    PointerTracker m_pointer;
    ActionLabels m_actionLabels;
    DownloadServer* m_server = nullptr;
    OpenFileDialog* m_dialog = nullptr;
    QTimer* m_hoverTimer = nullptr;
    EditBox* m_pathBox = nullptr;
    EditBox* m_lengthBox = nullptr;
    EditBox* m_addressBox = nullptr;
};

// Timers asked for a shorter period get this one, the desktop's minimum.
inline constexpr int kMinimumTimerInterval = 10;

} // namespace ui
