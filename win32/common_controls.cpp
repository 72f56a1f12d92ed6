#include "win32/common_controls.h"

#include <utility>

namespace orv::win32::common_controls {

namespace {

using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
using SetSubclassFn = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR);
using RemoveSubclassFn = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR);
using DefSubclassFn = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);

struct Library {
  bool tried = false;
  HMODULE module = nullptr;
  SetSubclassFn set = nullptr;
  RemoveSubclassFn remove = nullptr;
  DefSubclassFn def = nullptr;
};
Library g_library;

template <typename Fn>
Fn Find(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

bool Load() {
  Library& lib = g_library;
  if (std::exchange(lib.tried, true)) return lib.module != nullptr;
  // By its name alone, so that the manifest's version is the one loaded
  // (a full path would bypass it), and from the system folder only, never
  // the program's. A Windows 7 without the search flags takes the name as
  // it stands, the manifest's version still first.
  lib.module = LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!lib.module && GetLastError() == ERROR_INVALID_PARAMETER)
    lib.module = LoadLibraryW(L"comctl32.dll");
  if (!lib.module) return false;
  if (const auto init = Find<InitFn>(lib.module, "InitCommonControlsEx")) {
    const INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES};
    init(&icc);
  }
  lib.set = Find<SetSubclassFn>(lib.module, "SetWindowSubclass");
  lib.remove = Find<RemoveSubclassFn>(lib.module, "RemoveWindowSubclass");
  lib.def = Find<DefSubclassFn>(lib.module, "DefSubclassProc");
  return true;
}

BOOL SetWindowSubclass(HWND wnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) {
  return Load() && g_library.set ? g_library.set(wnd, proc, id, data) : FALSE;
}

BOOL RemoveWindowSubclass(HWND wnd, SUBCLASSPROC proc, UINT_PTR id) {
  return g_library.remove ? g_library.remove(wnd, proc, id) : FALSE;
}

LRESULT DefSubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  return g_library.def ? g_library.def(wnd, msg, wp, lp) : DefWindowProcW(wnd, msg, wp, lp);
}

}  // namespace orv::win32::common_controls
