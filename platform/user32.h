// Port over user32: the window calls the core makes, with the system's names.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace orv {

// Message numbers and flags the core uses, with the system's values.
namespace wm {
inline constexpr unsigned kSetText = 0x000C;
inline constexpr unsigned kGetText = 0x000D;
inline constexpr unsigned kGetTextLength = 0x000E;
inline constexpr unsigned kClose = 0x0010;
inline constexpr unsigned kMouseMove = 0x0200;
inline constexpr unsigned kLButtonDown = 0x0201;
inline constexpr unsigned kRButtonDown = 0x0204;
inline constexpr unsigned kNcLButtonDown = 0x00A1;
}  // namespace wm
// ShowWindow commands.
namespace sw {
inline constexpr int kHide = 0;
inline constexpr int kShowMaximized = 3;
inline constexpr int kShow = 5;
inline constexpr int kMinimize = 6;
inline constexpr int kRestore = 9;
}  // namespace sw
inline constexpr unsigned kSmtoAbortIfHung = 0x0002;
inline constexpr int kHtCaption = 2;
inline constexpr int kVkLButton = 0x01;
inline constexpr int kVkReturn = 0x0D;
inline constexpr Hwnd kHwndTopmost = -1;
inline constexpr Hwnd kHwndNoTopmost = -2;
inline constexpr unsigned kSwpNoSize = 0x0001;
inline constexpr unsigned kSwpNoMove = 0x0002;
inline constexpr unsigned kSwpNoActivate = 0x0010;
inline constexpr int kGwlStyle = -16;
inline constexpr int kGwlExStyle = -20;
inline constexpr unsigned kKeyEventKeyUp = 0x0002;
inline constexpr unsigned kMouseLeftDown = 0x0002, kMouseLeftUp = 0x0004;
inline constexpr unsigned kMouseRightDown = 0x0008, kMouseRightUp = 0x0010;
inline constexpr unsigned kMouseMiddleDown = 0x0020, kMouseMiddleUp = 0x0040;
inline constexpr unsigned kEsPassword = 0x0020;
inline constexpr unsigned kEmGetPasswordChar = 0x00D2;
inline constexpr unsigned kEmGetSel = 0x00B0, kEmSetSel = 0x00B1, kEmReplaceSel = 0x00C2;
inline constexpr unsigned kEsMultiLine = 0x0004;
inline constexpr int kVkShift = 0x10;
inline constexpr unsigned kEmGetModify = 0x00B8, kEmSetModify = 0x00B9, kEmCanUndo = 0x00C6;

// ---- Reaching fields that are not edit controls: their real class, where a
// thread shows its caret, typing by keystrokes, and why a call failed.
inline constexpr unsigned kWmGetDlgCode = 0x0087;
inline constexpr unsigned kDlgcHasSetSel = 0x0008;
inline constexpr unsigned kKeyEventUnicode = 0x0004;
inline constexpr int kVkBack = 0x08;
inline constexpr int kVkTab = 0x09;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
// What GetGUIThreadInfo reports of a thread's focus and caret.
struct GuiThreadInfo {
  Hwnd focus = 0;
  Hwnd caret = 0;
};
// One keyboard event of SendInput: a virtual key, or with kKeyEventUnicode
// one UTF-16 unit in scan.
struct KeyInput {
  std::uint16_t vk = 0;
  std::uint16_t scan = 0;
  unsigned flags = 0;
};

class User32 {
 public:
  virtual ~User32() = default;

  virtual std::int16_t GetAsyncKeyState(int vkey) = 0;
  // When the input being handled happened, on the tick count's clock: a
  // finger's timing survives a program that comes round to it late.
  virtual std::uint32_t GetMessageTime() = 0;
  virtual bool GetCursorPos(Point& pt) = 0;
  virtual bool SetCursorPos(int x, int y) = 0;
  virtual Hwnd WindowFromPoint(Point pt) = 0;
  virtual Hwnd GetParent(Hwnd wnd) = 0;
  virtual bool IsWindow(Hwnd wnd) = 0;
  // The class name, at most max_chars - 1 characters; empty when unknown.
  virtual std::wstring GetClassNameW(Hwnd wnd, int max_chars) = 0;
  virtual bool GetWindowRect(Hwnd wnd, Rect& rect) = 0;
  virtual Hwnd FindWindowExW(Hwnd parent, Hwnd child_after, const wchar_t* class_name,
                             const wchar_t* window_name) = 0;

  // Messages carry their pointer arguments in lparam as the system does:
  // WM_GETTEXT fills the wchar_t buffer lparam points to, WM_SETTEXT reads
  // the NUL-terminated text lparam points to.
  virtual std::intptr_t SendMessageW(Hwnd wnd, unsigned msg, std::uintptr_t wparam,
                                     std::intptr_t lparam) = 0;
  // Returns false when the call failed (time-out, hung or invalid window).
  virtual bool SendMessageTimeoutW(Hwnd wnd, unsigned msg, std::uintptr_t wparam,
                                   std::intptr_t lparam, unsigned flags, unsigned timeout_ms,
                                   std::uintptr_t* result) = 0;
  virtual bool PostMessageW(Hwnd wnd, unsigned msg, std::uintptr_t wparam,
                            std::intptr_t lparam) = 0;

  virtual void keybd_event(std::uint8_t vk, std::uint8_t scan, unsigned flags,
                           std::uintptr_t extra) = 0;
  virtual void mouse_event(unsigned flags, unsigned dx, unsigned dy, unsigned data,
                           std::uintptr_t extra) = 0;
  virtual bool ReleaseCapture() = 0;

  virtual bool ShowWindow(Hwnd wnd, int cmd) = 0;
  virtual bool SetWindowPos(Hwnd wnd, Hwnd insert_after, int x, int y, int cx, int cy,
                            unsigned flags) = 0;
  virtual bool MoveWindow(Hwnd wnd, int x, int y, int cx, int cy, bool repaint) = 0;
  virtual bool UpdateWindow(Hwnd wnd) = 0;
  virtual bool SetWindowTextW(Hwnd wnd, const std::wstring& text) = 0;
  virtual bool EnableWindow(Hwnd wnd, bool enable) = 0;
  virtual bool SetForegroundWindow(Hwnd wnd) = 0;
  virtual std::int32_t GetWindowLongW(Hwnd wnd, int index) = 0;
  virtual std::int32_t SetWindowLongW(Hwnd wnd, int index, std::int32_t value) = 0;
  virtual bool SetLayeredWindowAttributes(Hwnd wnd, Color key, std::uint8_t alpha,
                                          unsigned flags) = 0;
  // The window owns the region afterwards when this returns non-zero.
  virtual int SetWindowRgn(Hwnd wnd, Hrgn rgn, bool redraw) = 0;
  virtual Hwnd GetDesktopWindow() = 0;
  virtual Hdc GetDC(Hwnd wnd) = 0;
  virtual int ReleaseDC(Hwnd wnd, Hdc dc) = 0;
  virtual std::uint32_t GetWindowThreadProcessId(Hwnd wnd, std::uint32_t* process_id) = 0;
  // SystemParametersInfo(SPI_GETWORKAREA).
  virtual bool SystemParametersInfoWorkArea(Rect& work_area) = 0;
  // The work area (rcWork) of the monitor nearest to `r`: MonitorFromRect
  // with MONITOR_DEFAULTTONEAREST, then GetMonitorInfoW.
  virtual bool MonitorWorkAreaFromRect(const Rect& r, Rect& work_area) = 0;
  virtual int MessageBoxW(Hwnd owner, const std::wstring& text, const std::wstring& caption,
                          unsigned style) = 0;
  // Locale-aware upper case, as CharUpperBuffW. Callable from any thread
  // (it keeps no state): the history loader's thread upper-cases with it.
  // Every other method belongs to the window's thread.
  virtual std::wstring CharUpperW(const std::wstring& text) = 0;

  // ---- Reaching fields that are not edit controls
  // The class a superclass was built on; Wine gives the class itself.
  virtual std::wstring RealGetWindowClassW(Hwnd wnd, int max_chars) = 0;
  // Thread 0 is the foreground thread.
  virtual bool GetGUIThreadInfo(std::uint32_t thread_id, GuiThreadInfo& info) = 0;
  // How many of the events were inserted into the input stream.
  virtual unsigned SendInput(const std::vector<KeyInput>& keys) = 0;
  // The thread's last error, as the call just made left it.
  virtual std::uint32_t GetLastError() = 0;

  // ---- Real programs: fields behind transparent controls, and keys that
  // a thread's keyboard layout types
  virtual bool IsWindowVisible(Hwnd wnd) = 0;
  // The layout (HKL) of a thread; 0 for the calling thread.
  virtual std::uintptr_t GetKeyboardLayout(std::uint32_t thread_id) = 0;
  // The virtual key in the low byte and the shift state (1 Shift, 2 Ctrl,
  // 4 Alt) in the high byte; -1 when the layout has no key for it.
  virtual std::int16_t VkKeyScanExW(wchar_t ch, std::uintptr_t layout) = 0;
};

}  // namespace orv
