// One small base for the shell's windows: the object is attached at
// WM_NCCREATE, so no message goes unhandled, and every message goes to the
// derived class's OnMessage, which turns it into model events, paints, and
// keeps the real window in step with its model. Nothing thrown gets past
// the window procedure: a failure ends with its message and leaves a line
// in the log. The base owns the window: it is destroyed with the object,
// after the object has stopped taking its messages, unless it went first.
#pragma once
#include <windows.h>

#include "win32/touch_input.h"
#include "win32/unique_handle.h"
#include "utility/failure_log.h"

namespace orv::win32 {

// Holds a flag up for a scope, however the scope ends.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

template <typename Derived>
class WindowBase {
 public:
  HWND hwnd() const { return hwnd_; }
  // Destroys the window now; its last messages still reach the object.
  void Destroy() { window_.reset(); }

 protected:
  WindowBase() = default;
  ~WindowBase() {
    if (hwnd_) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  }
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  // Registers the class of this kind of window: its messages come here, the
  // pointer is the arrow; false when it could not be registered.
  static bool RegisterWindowClass(HINSTANCE instance, const wchar_t* name, HICON icon = nullptr,
                                  HICON small_icon = nullptr) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = icon;
    wc.hIconSm = small_icon;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
  }

  // Creates the window with this object attached; false when it failed.
  bool CreateOwned(DWORD ex_style, const wchar_t* cls, const wchar_t* title, DWORD style, int x,
                   int y, int width, int height, HWND parent, HINSTANCE instance) {
    window_.reset(CreateWindowExW(ex_style, cls, title, style, x, y, width, height, parent, nullptr,
                                  instance, static_cast<WindowBase*>(this)));
    if (!window_) hwnd_ = nullptr;
    return static_cast<bool>(window_);
  }

  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (const auto answer = GestureAnswer(hwnd, msg)) return *answer;
    Derived* self = nullptr;
    if (msg == WM_NCCREATE) {
      self = static_cast<Derived*>(
          static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      self->hwnd_ = hwnd;
    } else {
      self = reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
      // The window is gone: the object no longer owns it or takes its messages.
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      static_cast<WindowBase*>(self)->window_.release();
      self->hwnd_ = nullptr;
      return DefWindowProcW(hwnd, msg, wp, lp);
    }
    try {
      return self->OnMessage(msg, wp, lp);
    } catch (...) {
      LogCurrentFailure(L"Window message " + std::to_wstring(msg));
    }
    // A paint that failed half-way must not come back at once, for ever.
    if (msg == WM_PAINT) ValidateRect(hwnd, nullptr);
    return 0;
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

 private:
  UniqueWindow window_;
};

}  // namespace orv::win32
