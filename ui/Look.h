#pragma once

class QApplication;

namespace ui {

// The application-wide look both windows are laid out for: the desktop's sans-serif at 12
// pixels with a CJK-capable fallback, and the application icon.
void applyApplicationLook(QApplication& application);

} // namespace ui
