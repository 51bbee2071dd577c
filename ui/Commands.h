#pragma once

#include "core/ShareState.h"

#include <functional>

namespace ui {

// What the load, clear and copy commands need of the window: its open-file dialog and the three
// displays (path, length, share address). The window stands behind it in the tool; tests put a
// fake there.
class CommandControls {
public:
    virtual ~CommandControls() = default;

    virtual void setDialogFileName(const core::Text& fileName) = 0;
    // Shows the dialog modally; returns when the user has closed it.
    virtual void showDialog() = 0;
    virtual core::Text dialogFileName() const = 0;

    virtual void setPathDisplay(const core::Text& text) = 0;
    virtual void setLengthDisplay(const core::Text& text) = 0;
    virtual void setAddressDisplay(const core::Text& text) = 0;
    virtual core::Text addressDisplay() const = 0;

    // False once the window behind the controls has gone, which can happen whenever events are
    // dispatched (the dialog's loop, dispatchPendingEvents).
    virtual bool isAlive() const { return true; }
};

// What the commands need besides the controls.
struct CommandServices {
    // Blocks until the public address is known or the lookup has failed (empty Text).
    std::function<core::Text()> fetchPublicAddress;
    // Runs the events already queued, each to completion.
    std::function<void()> dispatchPendingEvents;
    // Puts the text on the desktop's clipboard as Unicode text.
    std::function<void(const core::Text&)> setClipboardText;
};

// Asks for a file and shares it: shows the path, reads the file (blocking), shows its length,
// looks up the public address (blocking), lets queued events run, then shows the share address.
// A cancelled dialog changes nothing.
void loadFile(CommandControls& controls, core::ShareState& state, const CommandServices& services);

// Empties the file data and the three displays (the length reads "0KB").
void clearFile(CommandControls& controls, core::ShareState& state);

// Copies whatever the share-address display holds.
void copyShareAddress(const CommandControls& controls, const CommandServices& services);

} // namespace ui
