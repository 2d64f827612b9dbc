// The tray program QvTray: the GUI starts it from the system directory and stops it by broadcasting
// the registered "TermQvTray" message, on which it ends itself.
#pragma once

#include <cstdint>

namespace qv::cfg {

inline constexpr char16_t kTermTrayMessageName[] = u"TermQvTray";
inline constexpr char16_t kTrayImageName[] = u"QvTray.exe";

// 1 when a process with the image base name "QvTray.exe" runs, else 0 (also when the process list
// cannot be read).
int IsQvTrayRunning();

// Starts <system directory>\QvTray.exe, detached and hidden, unless it already runs. A failed
// start is not reported.
void CreateTrayIcon();

// Asks every running tray program to end: broadcasts termTrayMessage (wParam 0, lParam 0) to all
// programs but the caller.
void StopTrayIcon(uint32_t termTrayMessage);

}  // namespace qv::cfg
