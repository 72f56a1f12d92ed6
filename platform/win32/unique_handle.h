// One move-only owner for every handle kind the shell makes.
#pragma once
#include <windows.h>

#include <cstdint>
#include <utility>

#include "platform/types.h"

namespace orv::win32 {

template <typename H, typename Close, H kNone = H{}>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(H h) : h_(h) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, kNone)) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) reset(std::exchange(o.h_, kNone));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  H get() const { return h_; }
  explicit operator bool() const { return h_ != kNone; }
  H release() { return std::exchange(h_, kNone); }
  void reset(H h = kNone) {
    if (h_ != kNone) Close{}(h_);
    h_ = h;
  }

 private:
  H h_ = kNone;
};

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

using UniqueFont = UniqueHandle<HFONT, CloseGdiObject>;
using UniqueBrush = UniqueHandle<HBRUSH, CloseGdiObject>;
using UniqueBitmap = UniqueHandle<HBITMAP, CloseGdiObject>;
using UniqueDc = UniqueHandle<HDC, CloseDc>;
using UniqueKernelHandle = UniqueHandle<HANDLE, CloseKernelHandle>;
using UniqueWindow = UniqueHandle<HWND, CloseWindow>;

// Selects an object into a device context until the scope ends, then puts
// back what the context held before.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (previous_) ::SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A window's device context (the screen's for none), released when the scope ends.
class WindowDc {
 public:
  explicit WindowDc(HWND wnd) : wnd_(wnd), dc_(::GetDC(wnd)) {}
  ~WindowDc() {
    if (dc_) ::ReleaseDC(wnd_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND wnd_;
  HDC dc_;
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
