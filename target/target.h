// The target: the other application's text field that the keyboard types
// into. It is captured by a touch or by Tab, mirrors the edit line, and takes
// the Enter key.
#pragma once
#include <string>

#include "keys/input_routines.h"
#include "platform/ports.h"
#include "target/window_routines.h"

namespace orv {

class Target {
 public:
  // What a capture found.
  struct Capture {
    enum class Kind {
      kNotAField,    // nothing the keyboard types into
      kOwnEditLine,  // the keyboard's own edit line
      kHung,         // a field that became the target but did not answer
      kCaptured,     // the target, with its text
    };
    Kind kind = Kind::kNotAField;
    std::wstring text;
  };

  Target(Ports& ports, WindowRoutines& windows, InputRoutines& input)
      : p_(ports), windows_(windows), input_(input) {}

  // TargetWnd: 0 until a field is captured; it may since have been destroyed.
  Hwnd Wnd() const { return wnd_; }
  // The text of a password field is never remembered.
  bool IsPassword() const { return password_; }
  bool Exists();

  // The field under the cursor, or the next field after the target among its
  // parent's children of its class, wrapping to the first. `keyboard` is the
  // keyboard's own window, whose edit line is never a target.
  Capture CaptureAtCursor(Hwnd keyboard);
  Capture CaptureNext(Hwnd keyboard);
  // The field of window `wnd`, if it is one.
  Capture CaptureField(Hwnd wnd, Hwnd keyboard);

  // Each window event starts with nothing written yet.
  void BeginEvent() { sent_in_event_ = false; }
  // Gives the target the edit line's text, once per event and text. False
  // only when a write did not get through in time.
  bool Mirror(const std::wstring& text);
  // Gives the target the focus with a click and presses Enter in it; false
  // without a target.
  bool PressEnter();

 private:
  // The one place that writes into the target.
  bool Write(const std::wstring& text);

  Ports& p_;
  WindowRoutines& windows_;
  InputRoutines& input_;
  Hwnd wnd_ = 0;
  bool password_ = false;
  // What this event has already written into which field.
  bool sent_in_event_ = false;
  Hwnd sent_wnd_ = 0;
  std::wstring sent_text_;
};

}  // namespace orv
