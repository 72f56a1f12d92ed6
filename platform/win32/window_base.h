// One small base for the shell's windows: the object is attached at
// WM_NCCREATE, so no message goes unhandled, and every message goes to the
// derived class's OnMessage, which only turns it into model events.
#pragma once
#include <windows.h>

namespace orv::win32 {

template <typename Derived>
class WindowBase {
 public:
  HWND hwnd() const { return hwnd_; }

 protected:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Derived* self = nullptr;
    if (msg == WM_NCCREATE) {
      self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      self->hwnd_ = hwnd;
    } else {
      self = reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    return self ? self->OnMessage(msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
  }

  // Paints through the derived class's Paint(HDC).
  LRESULT OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    static_cast<Derived*>(this)->Paint(dc);
    EndPaint(hwnd_, &ps);
    return 0;
  }

  HWND hwnd_ = nullptr;
};

}  // namespace orv::win32
