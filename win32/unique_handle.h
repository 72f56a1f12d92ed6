// The owners of the handles the shell makes: the one move-only template of
// platform/owners.h, with closers that call the system.
#pragma once
#include <windows.h>

#include <cstdint>
#include <utility>

#include "platform/owners.h"
#include "platform/types.h"

namespace orv::win32 {

struct CloseGdiObject {
  void operator()(HGDIOBJ h) const { ::DeleteObject(h); }
};
struct CloseDc {
  void operator()(HDC h) const { ::DeleteDC(h); }
};
struct CloseKernelHandle {
  void operator()(HANDLE h) const { ::CloseHandle(h); }
};
struct CloseWindow {
  void operator()(HWND h) const { ::DestroyWindow(h); }
};
struct CloseIcon {
  void operator()(HICON h) const { ::DestroyIcon(h); }
};
struct ReleaseDcOf {
  HWND wnd;
  void operator()(HDC h) const { ::ReleaseDC(wnd, h); }
};
struct ReselectIn {
  HDC dc;
  void operator()(HGDIOBJ previous) const { ::SelectObject(dc, previous); }
};

using UniqueFont = Owned<HFONT, CloseGdiObject>;
using UniqueBrush = Owned<HBRUSH, CloseGdiObject>;
using UniqueBitmap = Owned<HBITMAP, CloseGdiObject>;
using UniqueRegion = Owned<HRGN, CloseGdiObject>;
using UniqueDc = Owned<HDC, CloseDc>;
using UniqueKernelHandle = Owned<HANDLE, CloseKernelHandle>;
using UniqueWindow = Owned<HWND, CloseWindow>;
using UniqueIcon = Owned<HICON, CloseIcon>;

// Selects an object into a device context until the scope ends, then puts
// back what the context held before.
class SelectedObject : public Owned<HGDIOBJ, ReselectIn> {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : Owned(ReselectIn{dc}, ::SelectObject(dc, object)) {}
};

// A window's device context (the screen's for none), released when the scope ends.
class WindowDc : public Owned<HDC, ReleaseDcOf> {
 public:
  explicit WindowDc(HWND wnd) : Owned(ReleaseDcOf{wnd}, ::GetDC(wnd)) {}
};

// The core's handles carry the system's handle values.
template <typename H, typename Kind>
H ToNative(orv::HandleOf<Kind> h) {
  return reinterpret_cast<H>(h.value());
}
template <typename H>
std::intptr_t FromNative(H h) {
  return reinterpret_cast<std::intptr_t>(h);
}
inline HWND ToHwnd(orv::Hwnd h) { return ToNative<HWND>(h); }
inline orv::Hwnd FromHwnd(HWND h) { return FromNative(h); }

}  // namespace orv::win32
