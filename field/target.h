// The target: the other application's text field that the keyboard types
// into. It is captured by a touch or by Tab, mirrors the edit line, and takes
// the Enter key.
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "field/held_check.h"
#include "field/keystrokes.h"
#include "field/window_routines.h"
#include "keys/input_routines.h"
#include "platform/ports.h"

namespace orv {

// A field shows its caret once its program has taken the press, a few
// milliseconds after the finger: a touch is watched this long for it.
inline constexpr std::uint32_t kCaretWaitMs = 300;

class Target {
 public:
  // What a capture found.
  struct Capture {
    enum class Kind {
      kNotAField,    // nothing the keyboard types into
      kOwnEditLine,  // the keyboard's own edit line
      kHung,         // a field that became the target but did not answer
      kCaptured,     // the target, with its text
      kKeystrokes,   // a window of another program that takes text as keystrokes
      kWaiting,      // a window of another program that may yet show its caret
    };
    Kind kind = Kind::kNotAField;
    std::wstring text;
  };

  Target(Ports& ports, WindowRoutines& windows, InputRoutines& input)
      : p_(ports), windows_(windows), input_(input), keys_(ports), held_check_(windows) {}

  // Told once per capture that the target does not let the keyboard in.
  std::function<void()> onRefused;
  // Told when a rich edit's text had to be rewritten whole, which loses
  // its formatting.
  std::function<void()> onRewroteWhole;

  // TargetWnd: 0 until a field is captured; it may since have been destroyed.
  Hwnd Wnd() const { return wnd_; }
  // The text of a password field is never remembered, nor what went as
  // keystrokes, where a password field cannot be told from others.
  bool IsPassword() const { return password_ || by_keystrokes_; }
  // A field known to hold a password (a keystroke target may or may not).
  bool IsPasswordField() const { return password_ && !by_keystrokes_; }
  // The target takes each key as a keystroke rather than its whole text.
  bool ByKeystrokes() const { return by_keystrokes_; }
  bool Exists();
  // What the edit line shows for each character of a password field: the
  // field's own mask character; 0 for any other field.
  wchar_t MaskChar() const { return mask_; }

  // The finger is on a window of a program that is neither the keyboard
  // nor the target's, and that window took no capture: the target is let
  // go, so that no key lands in a window the user has left. True when it was.
  bool ReleaseForWindowAtCursor(Hwnd keyboard);

  // The field under the cursor, or the next field after the target among its
  // parent's children of its class, wrapping to the first. `keyboard` is the
  // keyboard's own window, whose edit line is never a target.
  Capture CaptureAtCursor(Hwnd keyboard);
  Capture CaptureNext(Hwnd keyboard);
  // The finger is on a window of another program that is not the target.
  bool AnotherWindowAtCursor(Hwnd keyboard);
  // The field of window `wnd`, if it is one.
  Capture CaptureField(Hwnd wnd, Hwnd keyboard);
  // A touched window whose caret was still to come gets another look, for
  // a short while after the touch.
  bool Probing() const { return probe_wnd_ != 0; }
  void StopProbing() { probe_wnd_ = 0; }
  Capture ProbeAgain(Hwnd keyboard);
  // A target whose text could not be read when it was captured is asked
  // again before anything is written into it: kCaptured with its text once
  // it answers, kHung while it still does not, kNotAField for any other.
  // Until it answers, nothing is written over it.
  Capture ReadAgain();

  // Keys for a keystroke target (nothing for any other): text, or one
  // virtual key.
  void TypeKeys(const std::wstring& text);
  void PressKey(std::uint8_t vk);

  // Each window event starts with nothing written yet.
  void BeginEvent() {
    sent_in_event_ = false;
    held_checked_ = false;
  }
  // Gives the target the edit line's text, once per event and text. False
  // only when a write did not get through in time.
  bool Mirror(const std::wstring& text);
  // Enter gives the target the focus with a click and presses Enter in
  // it, a step at a time with pauses between, so that touches and keys
  // during them count. StartEnter gives nothing without a target, else how
  // long to wait before the next step (0: at once); each further step
  // returns the same, or nothing once Enter is done. `line` is the edit
  // line's text now, `caret` its insertion point at the touch of Enter;
  // `key_held` says a key of the keyboard is pressed.
  std::optional<std::uint32_t> StartEnter(const std::wstring& line, std::int32_t caret);
  bool EnterRunning() const { return enter_.step != EnterStep::kIdle; }
  // The press under the cursor is Enter's own click (the cursor stands where
  // Enter put it), not a touch.
  bool EnterClickAtCursor();
  // A finger touched the screen while Enter runs.
  void NoteTouchDuringEnter() {
    if (EnterRunning()) enter_.touched = true;
  }
  std::optional<std::uint32_t> NextEnterStep(const std::wstring& line, bool key_held);
  // A multi-line field's text after Enter made its new line there: the
  // edit line takes it as it stands. Nothing for other fields, or when the
  // target changed during Enter.
  const std::optional<std::wstring>& EnteredText() const { return enter_.text; }

 private:
  // The one place that writes into the target.
  bool Write(const std::wstring& text);
  Capture CaptureByKeystrokes(Hwnd wnd, Hwnd keyboard);
  void BeginCapture(Hwnd wnd, bool by_keystrokes);
  // What a read of the target's text found.
  Capture TakeText(std::optional<std::wstring> text);
  void Refuse();
  // Keys go only where the focus is; after Tab the target follows it.
  bool KeysReach();
  // Sends only the changed span when the field still holds what it held
  // after the last write; kWhole when the whole text must go instead.
  enum class Written { kDone, kWhole, kTimedOut };
  Written WriteChange(const std::wstring& text);
  // A rich edit that no longer holds what the keyboard last wrote is
  // brought to the new text in place all the same, from what it holds now.
  bool RewriteRich(const std::wstring& text);
  // A position in the field's text as the field counts it.
  static std::size_t FieldPosition(const std::wstring& text, std::size_t pos, bool rich);
  bool ClickEnterField(bool key_held);
  Hwnd FocusOf(Hwnd wnd);
  Hwnd UnderFinger(Point pt);
  bool SeenThrough(Hwnd wnd);
  bool IsMultiLine(Hwnd wnd);

  Ports& p_;
  WindowRoutines& windows_;
  InputRoutines& input_;
  Keystrokes keys_;
  Hwnd wnd_ = 0;
  bool password_ = false;
  wchar_t mask_ = 0;
  bool rich_ = false;
  bool by_keystrokes_ = false;
  bool follow_focus_ = false;
  // Per capture: the text it found, whether a write was checked, and
  // whether the target has shut the keyboard out.
  std::wstring captured_text_;
  bool write_checked_ = false;
  bool refused_ = false;
  bool unread_ = false;
  Hwnd probe_wnd_ = 0;
  std::uint32_t probe_until_ = 0;
  // What this event has already written into which field.
  bool sent_in_event_ = false;
  Hwnd sent_wnd_ = 0;
  std::wstring sent_text_;
  // What field held_wnd_ held when the keyboard last wrote or read it; no
  // value when that is not known. Checked against the field once per event.
  Hwnd held_wnd_ = 0;
  std::optional<std::wstring> held_;
  bool held_checked_ = false;
  HeldCheck held_check_;

  enum class EnterStep { kIdle, kClick, kKey, kDone };
  struct EnterRun {
    EnterStep step = EnterStep::kIdle;
    Hwnd wnd = 0;
    Point saved;  // where the cursor was
    Point at;     // where the click goes
    bool multi_line = false;
    bool rich = false;
    // The edit line while it is this field's, and its insertion point at
    // the touch of Enter.
    std::wstring line;
    std::int32_t caret = 0;
    int waits_for_text = 0;
    bool touched = false;
    int reclicks = 0;
    std::optional<std::wstring> text;
  } enter_;
};

}  // namespace orv
