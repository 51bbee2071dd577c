#include "ui/Commands.h"

#include "core/TextBytes.h"

namespace ui {

void loadFile(CommandControls& controls, core::ShareState& state, const CommandServices& services)
{
    controls.setDialogFileName(core::Text());
    controls.showDialog();
    if (!controls.isAlive())
        return;
    core::Text path = controls.dialogFileName();
    if (core::compareText(path, "") == 0)
        return; // cancelled: nothing changes
    controls.setPathDisplay(path);
    // Reading the file and the lookup hold the window on purpose, each bounded: the read by the
    // file's size, the lookup by its time-outs.
    core::adoptFile(state, path);
    controls.setLengthDisplay(core::integerToText(state.fileLength));
    state.publicAddress = services.fetchPublicAddress();
    // Clicks and downloads that queued up meanwhile run now. One of them may close the window.
    services.dispatchPendingEvents();
    if (!controls.isAlive())
        return;
    controls.setAddressDisplay(core::composeShareAddress(state));
}

void clearFile(CommandControls& controls, core::ShareState& state)
{
    core::clearFileData(state);
    controls.setPathDisplay("");
    controls.setLengthDisplay("0KB");
    controls.setAddressDisplay("");
}

void copyShareAddress(const CommandControls& controls, const CommandServices& services)
{
    services.setClipboardText(controls.addressDisplay());
}

} // namespace ui
