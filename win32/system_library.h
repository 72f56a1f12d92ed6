// Functions of the system libraries the keyboard needs only now and then
// (the picture codecs, the tray, the colour dialog), looked up on first use:
// every library the program imports is loaded and initialised before the
// window can show, on every start.
#pragma once
#include <windows.h>

#include <string>

namespace orv::win32 {

// The named function of a library in the system folder (never one found
// beside the program or in the working folder); nullptr when either is
// missing. The library stays loaded for the process's life.
template <typename Fn>
Fn SystemFunction(const wchar_t* library, const char* name) {
  HMODULE module = GetModuleHandleW(library);
  if (!module) {
    wchar_t folder[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    module = LoadLibraryW((std::wstring(folder, n) + L"\\" + library).c_str());
  }
  if (!module) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace orv::win32
