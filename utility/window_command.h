// Window commands over any window: z-order, opacity, shape, showing and
// closing, and the process behind a window.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <variant>

#include "controls/controls.h"
#include "field/window_routines.h"
#include "platform/ports.h"
#include "settings/conversions.h"

namespace orv {

// The optional argument of WindowCommand: absent, a number or a text.
class CommandParam {
 public:
  CommandParam() = default;
  CommandParam(double v) : value_(v) {}
  CommandParam(int v) : value_(static_cast<double>(v)) {}
  CommandParam(std::wstring text) : value_(std::move(text)) {}
  CommandParam(const wchar_t* text) : value_(std::wstring(text)) {}

  bool Present() const { return !std::holds_alternative<std::monostate>(value_); }
  // A number becomes text the way the system prints it, with its decimal
  // separator; absence is the empty text.
  std::wstring AsText(const std::wstring& decimal_separator) const;
  // The text read back by the longest leading number (LeadingNumber).
  double AsNumber(const std::wstring& decimal_separator) const;

 private:
  std::variant<std::monostate, double, std::wstring> value_;
};

// The window commands by name; the numbers are the routine's, as callers
// outside the program pass them.
enum class WindowCommandId : int {
  Minimize = 0,
  Maximize = 1,  // only a window with a maximize box, unless the argument is non-zero
  Restore = 2,
  Close = 3,  // a hung window's process is offered for ending instead
  Show = 4,
  Hide = 5,
  Topmost = 6,
  NotTopmost = 7,
  Transparency = 8,  // the argument: 0 opaque .. 255 invisible
  SetText = 9,
  Enable = 10,
  Disable = 11,
  Activate = 12,
  RoundCorners = 13,  // the argument: the corner's ellipse, 0 square
  ClickThrough = 14,
  NoClickThrough = 15,
};

class WindowCommands {
 public:
  explicit WindowCommands(Ports& ports) : p_(ports), windows_(ports) {}

  // Puts a window above all non-topmost ones; with activate false it keeps
  // the focus where it is.
  void SetTopmost(const Form& form, bool activate);
  // Applies command 0..15 to any window; other numbers do nothing.
  void WindowCommand(Hwnd wnd, int command, const CommandParam& param = {});
  void WindowCommand(Hwnd wnd, WindowCommandId command, const CommandParam& param = {}) {
    WindowCommand(wnd, static_cast<int>(command), param);
  }
  // "NT", "9X" or empty: which window effects the system has.
  std::wstring GetOSFamily();
  bool HasWindowStyle(Hwnd wnd, std::int32_t mask);
  void SetWindowAlpha(std::uint8_t alpha, Hwnd wnd);
  std::wstring GetWindowExePath(Hwnd wnd);
  std::uint32_t GetWindowProcessId(Hwnd wnd);
  // 0 when the process was ended, 1 otherwise.
  int KillProcess(std::uint32_t process_id);
  // The part after the last backslash; strip_trailing first drops one
  // trailing backslash from the caller's text.
  static std::wstring GetFileNamePart(std::wstring& path, bool strip_trailing);

 private:
  Ports& p_;
  WindowRoutines windows_;
};

// Starts a system move of the window, as if its title bar had been pressed.
void DragWindow(User32& user32, Hwnd wnd);

}  // namespace orv
