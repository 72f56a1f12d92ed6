// Window commands over any window: z-order, opacity, shape and
// click-through.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <variant>

#include "controls/controls.h"
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

// The window commands by name, with the numbers callers pass. The tip
// window is the program's only caller, and these are the ones it issues.
enum class WindowCommandId : int {
  Transparency = 8,   // the argument: 0 opaque .. 255 invisible
  RoundCorners = 13,  // the argument: the corner's ellipse, 0 square
  ClickThrough = 14,
};

class WindowCommands {
 public:
  explicit WindowCommands(Ports& ports) : p_(ports) {}

  // Puts a window above all non-topmost ones; with activate false it keeps
  // the focus where it is.
  void SetTopmost(const Form& form, bool activate);
  // Applies one of the commands above to any window; other numbers do nothing.
  void WindowCommand(Hwnd wnd, int command, const CommandParam& param = {});
  void WindowCommand(Hwnd wnd, WindowCommandId command, const CommandParam& param = {}) {
    WindowCommand(wnd, static_cast<int>(command), param);
  }
  void SetWindowAlpha(std::uint8_t alpha, Hwnd wnd);

 private:
  Ports& p_;
};

// Starts a system move of the window, as if its title bar had been pressed.
void DragWindow(User32& user32, Hwnd wnd);

}  // namespace orv
