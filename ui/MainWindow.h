#pragma once

#include "core/ShareState.h"

#include <QWidget>

namespace ui {

// The tool's main window: borderless, 283 x 168, centred. Esc closes it, which ends the run.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(core::ShareState& shareState, QWidget* parent = nullptr);

    // Shows the window centred on the screen it is on and gives it the keyboard.
    void showCentred();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    core::ShareState& m_shareState;
};

} // namespace ui
