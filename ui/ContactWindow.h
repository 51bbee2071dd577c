#pragma once

#include <QDialog>

namespace ui {

// The small window with the maker's contact text and a link that starts an instant-messaging
// chat. Modal over the main window; its close button and Esc close only it. Each opening makes
// a new one, so text typed into it is gone the next time.
class ContactWindow : public QDialog {
    Q_OBJECT
public:
    explicit ContactWindow(QWidget* parent = nullptr);

    // The ten lines shown, CR LF between them, starting with CR LF.
    static QString contactText();
    static QString chatAddress();

    // Shows the window centred on the screen, modal, and returns once it has been closed.
    int exec() override;
};

} // namespace ui
