// Routines of the keyboard shell: path joining, the notification-area icon
// and rounding.
#pragma once
#include <cstdint>
#include <string>

#include "platform/ports.h"

namespace orv {

// Joins a folder and a file name into one path with a single backslash
// between them. A folder without a drive colon (a network path) is joined
// the same way; start-up tells the user once, with a tip.
std::wstring MakeFilePath(Ports& p, const std::wstring& folder, const std::wstring& file_name);

// Where the settings are written: `own` (the program's folder, or the one
// that stands in for it) when this user may write there; otherwise, as for
// a program installed under Program Files, the user's %APPDATA%\OrvKey\,
// made if need be. `own` again when neither can be written: every save then
// fails and says so.
std::wstring WritableDataFolder(Ports& p, const std::wstring& own);

// The tray icon: callbacks arrive as mouse-move messages on `wnd`. False
// when there is no notification area to take it.
bool AddTrayIcon(Shell32& shell32, Hwnd wnd, Hicon icon, std::uint32_t callback_message,
                 const std::wstring& tip);
void RemoveTrayIcon(Shell32& shell32, Hwnd wnd);

// Nearest whole number, an exact half to the even neighbour.
std::int64_t RoundHalfEven(double v);

}  // namespace orv
