// Fields that are no edit control of a kind the keyboard knows (browsers,
// media front-ends, custom controls) still take text as keystrokes: this is
// how the keyboard tells that a window takes text, and how it types into one.
#pragma once
#include <cstdint>
#include <string>

#include "platform/ports.h"

namespace orv {

class Keystrokes {
 public:
  explicit Keystrokes(Ports& ports) : p_(ports) {}

  // The window shows its thread's caret, or holds the focus and says it
  // handles selections as an edit control does.
  bool TakesText(Hwnd wnd);
  // The window of the thread in front that has the focus.
  Hwnd FocusInFront();
  // Each character that the keyboard layout of the window's thread has a
  // key for as that key (with Shift where it needs it), any other UTF-16
  // unit as one Unicode keystroke; false when the system did not take them
  // all.
  bool Type(const std::wstring& text, Hwnd wnd);
  bool Press(std::uint8_t vk);

 private:
  bool Send(const std::vector<KeyInput>& keys);

  Ports& p_;
};

}  // namespace orv
