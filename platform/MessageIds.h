#pragma once

namespace platform {

// Numbers of the window messages the programs hand to each other's message maps. They keep
// the numbers the behaviours were designed with (WM_USER = 0x400).
namespace msg {
inline constexpr int kUser = 0x400;
inline constexpr int kShutdownBrowser = kUser + 1;      // exit worker -> main window
inline constexpr int kPushMessages = 0x2C;              // receive loop -> main window (sent)
inline constexpr int kCloseWebDialog = kUser + 100;     // CloseCurrentDlg -> modal web dialog
inline constexpr int kStopAllDownloads = kUser + 108;   // has a handler, no sender
inline constexpr int kTrayCallback = kUser + 116;       // tray icon -> main window
inline constexpr int kShowMainWindow = kUser + 124;     // second instance -> main window
inline constexpr int kLoginTrayCallback = kUser + 127;  // login tray icon (not handled)
inline constexpr int kTerminateApps = kUser + 148;      // logout/exit -> main window
inline constexpr int kOpenOnlineDialog = kUser + 152;   // CheckOnLine -> main window
inline constexpr int kOpenChildWindow = 0x2D;           // has a handler, no sender
// Messages of our own port: session events that must run on the GUI thread.
inline constexpr int kSessionNotice = kUser + 200;      // receive loop -> main window
inline constexpr int kSessionDisplaced = kUser + 201;   // receive loop -> main window
inline constexpr int kSessionBadMember = kUser + 202;   // receive loop -> main window
} // namespace msg

} // namespace platform
