// The common controls library, loaded when the first real control is made
// rather than with the program. Its version 6 (the one the manifest asks
// for) takes longer to load and start than the rest of the keyboard's way
// to its first paint; the keys do not need it.
#pragma once
#include <windows.h>

#include <commctrl.h>

namespace orv::win32::common_controls {

// Loads the library (the manifest's version) and registers the standard
// control classes; false when it could not be loaded. Later calls cost
// nothing.
bool Load();

// As the library's functions of the same names; they fail (FALSE, or
// DefWindowProc's answer) where the library could not be loaded.
BOOL SetWindowSubclass(HWND wnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data);
BOOL RemoveWindowSubclass(HWND wnd, SUBCLASSPROC proc, UINT_PTR id);
LRESULT DefSubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace orv::win32::common_controls
