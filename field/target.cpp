// Capturing the touched text field, mirroring the edit line into it, Tab and Enter.
#include "field/target.h"

#include <utility>

#include "field/field_kinds.h"
#include "field/incremental_write.h"

namespace orv {

namespace {
// Enter gives the field time to take the click and the key.
constexpr std::uint32_t kEnterStepMs = 100;

std::uint32_t ProcessOf(User32& user32, Hwnd wnd) {
  std::uint32_t pid = 0;
  user32.GetWindowThreadProcessId(wnd, &pid);
  return pid;
}
}  // namespace

bool Target::Exists() { return wnd_ != 0 && p_.user32.IsWindow(wnd_); }

Target::Capture Target::CaptureAtCursor(Hwnd keyboard) {
  Point pt;
  p_.user32.GetCursorPos(pt);
  const Hwnd wnd = p_.user32.WindowFromPoint(pt);
  auto field = CaptureField(wnd, keyboard);
  return field.kind == Capture::Kind::kNotAField ? CaptureByKeystrokes(wnd, keyboard) : field;
}

bool Target::AnotherWindowAtCursor(Hwnd keyboard) {
  Point pt;
  if (!p_.user32.GetCursorPos(pt)) return false;
  const Hwnd wnd = p_.user32.WindowFromPoint(pt);
  return wnd != 0 && wnd != wnd_ && ProcessOf(p_.user32, wnd) != ProcessOf(p_.user32, keyboard);
}

// Any window of another program that takes text is typed into key by key;
// the keyboard's own windows never are.
Target::Capture Target::CaptureByKeystrokes(Hwnd wnd, Hwnd keyboard) {
  const std::uint32_t pid = wnd == 0 ? 0 : ProcessOf(p_.user32, wnd);
  if (pid == 0 || pid == ProcessOf(p_.user32, keyboard)) return {};
  if (!keys_.TakesText(wnd)) {
    const std::uint32_t now = p_.kernel32.GetTickCount();
    if (probe_wnd_ != wnd) probe_wnd_ = wnd, probe_until_ = now + kCaretWaitMs;
    if (static_cast<std::int32_t>(probe_until_ - now) > 0) return {Capture::Kind::kWaiting, {}};
    probe_wnd_ = 0;
    return {};
  }
  BeginCapture(wnd, true);
  return {Capture::Kind::kKeystrokes, {}};
}

Target::Capture Target::ProbeAgain(Hwnd keyboard) {
  if (probe_wnd_ != 0 && !p_.user32.IsWindow(probe_wnd_)) probe_wnd_ = 0;
  return probe_wnd_ == 0 ? Capture{} : CaptureByKeystrokes(probe_wnd_, keyboard);
}

void Target::BeginCapture(Hwnd wnd, bool by_keystrokes) {
  wnd_ = wnd;
  by_keystrokes_ = by_keystrokes;
  follow_focus_ = false;
  captured_text_.clear();
  held_check_.Break();
  write_checked_ = false;
  refused_ = false;
  unread_ = false;
  probe_wnd_ = 0;
}

void Target::Refuse() {
  if (std::exchange(refused_, true)) return;
  if (onRefused) onRefused();
}

Target::Capture Target::CaptureNext(Hwnd keyboard) {
  if (!Exists()) return {};
  const auto path = windows_.LocateWindow(wnd_);
  if (!path || path->kind != WindowPath::Kind::kFound) return {};
  Hwnd next = windows_.FindNthChild(path->parent, path->ordinal + 1, path->class_name);
  if (next == -1) next = windows_.FindNthChild(path->parent, 0, path->class_name);
  if (next == -1 || next == 0) return {};
  return CaptureField(next, keyboard);
}

// A field that does not answer becomes the target all the same, and is
// asked nothing more: its style alone says whether it holds a password.
Target::Capture Target::CaptureField(Hwnd wnd, Hwnd keyboard) {
  const std::wstring cls = windows_.GetWindowClass(wnd);
  const FieldKind* kind = FieldKindOf(cls);
  if (kind == nullptr) kind = FieldKindOf(cls, p_.user32.RealGetWindowClassW(wnd, 256));
  if (kind == nullptr) return {};
  if (p_.user32.GetParent(p_.user32.GetParent(wnd)) == keyboard) {
    return {Capture::Kind::kOwnEditLine, {}};
  }
  BeginCapture(wnd, false);
  return TakeText(windows_.ReadWindowText(wnd, kAnswerTimeoutMs));
}

Target::Capture Target::ReadAgain() {
  if (!unread_ || by_keystrokes_ || refused_ || !Exists()) return {};
  return TakeText(windows_.ReadWindowText(wnd_, kAnswerTimeoutMs));
}

Target::Capture Target::TakeText(std::optional<std::wstring> text) {
  // A program of a higher integrity level shuts out our messages.
  const bool denied = !text && p_.user32.GetLastError() == kErrorAccessDenied;
  password_ = windows_.IsPasswordField(wnd_, text.has_value());
  if (denied) Refuse();
  unread_ = !text;
  held_wnd_ = wnd_;
  held_ = text;
  held_checked_ = text.has_value();
  if (!text) return {Capture::Kind::kHung, {}};
  captured_text_ = *text;
  return {Capture::Kind::kCaptured, std::move(*text)};
}

// One touch may set the same text twice (the list refill puts it back); the
// field already holds it.
// A field that keeps its old text after the first change is one the
// keyboard may not write into: it is told so once and left alone.
bool Target::Mirror(const std::wstring& text) {
  if (!Exists() || by_keystrokes_ || refused_) return true;
  // The line does not hold the field's text: written, it would replace it.
  if (unread_) return false;
  if (sent_in_event_ && sent_wnd_ == wnd_ && sent_text_ == text) return true;
  const bool written = Write(text);
  sent_in_event_ = true;
  sent_wnd_ = wnd_;
  sent_text_ = text;
  if (write_checked_ || refused_ || !written || text == captured_text_) return written;
  write_checked_ = true;
  if (windows_.ReadWindowText(wnd_, kAnswerTimeoutMs) == captured_text_) Refuse();
  return true;
}

bool Target::Write(const std::wstring& text) {
  switch (WriteChange(text)) {
    case Written::kDone: return true;
    case Written::kTimedOut:
      // A field that did not answer is not asked again within the same
      // write: the finger would wait twice.
      held_.reset();
      held_checked_ = false;
      if (p_.user32.GetLastError() == kErrorAccessDenied) Refuse();
      return false;
    case Written::kWhole: break;
  }
  held_wnd_ = wnd_;
  if (windows_.SetTargetText(wnd_, text)) {
    held_ = text;
  } else {
    held_.reset();
    if (p_.user32.GetLastError() == kErrorAccessDenied) Refuse();
  }
  held_checked_ = held_.has_value();
  return held_.has_value();
}

// The field is checked by its length first, which is cheap, then by what it
// shows of itself since the last change written in place, and only when that
// is not enough by its whole text: the application or the user may have
// changed it since.
Target::Written Target::WriteChange(const std::wstring& text) {
  if (held_wnd_ != wnd_ || !held_) return held_check_.Break(), Written::kWhole;
  if (!held_checked_) {
    const auto length = windows_.ReadTextLength(wnd_, kAnswerTimeoutMs);
    if (!length) return Written::kTimedOut;
    if (*length != held_->size()) return held_check_.Break(), Written::kWhole;
    switch (held_check_.Check(wnd_, *held_, kAnswerTimeoutMs)) {
      case HeldCheck::Verdict::kHolds: break;
      case HeldCheck::Verdict::kTimedOut: return Written::kTimedOut;
      case HeldCheck::Verdict::kUnsure: {
        const auto now = windows_.ReadWindowText(wnd_, kAnswerTimeoutMs);
        if (!now) return Written::kTimedOut;
        if (*now != *held_) return Written::kWhole;
      }
    }
  }
  const TextChange change = ChangeBetween(*held_, text);
  if (!change.Empty()) {
    held_check_.Break();
    if (!windows_.ReplaceTargetRange(wnd_, change.start, change.old_end,
                                     std::wstring(change.inserted))) {
      return Written::kTimedOut;
    }
    // A field with a length limit cuts a replacement short.
    const auto length = windows_.ReadTextLength(wnd_, kAnswerTimeoutMs);
    if (!length) return Written::kTimedOut;
    if (*length != text.size()) return Written::kWhole;
    held_check_.Seal(wnd_, kAnswerTimeoutMs);
  }
  held_ = text;
  held_checked_ = true;
  return Written::kDone;
}

// Keys go where the focus is; after Tab, the focus has moved on to another
// field of the same program, and the target goes with it.
bool Target::KeysReach() {
  if (!by_keystrokes_ || refused_ || !Exists()) return false;
  const Hwnd focus = keys_.FocusInFront();
  if (focus == wnd_) return true;
  if (!follow_focus_ || focus == 0 ||
      p_.user32.GetWindowThreadProcessId(focus, nullptr) !=
          p_.user32.GetWindowThreadProcessId(wnd_, nullptr)) {
    return false;
  }
  wnd_ = focus;
  follow_focus_ = false;
  return true;
}

void Target::TypeKeys(const std::wstring& text) {
  if (KeysReach() && !keys_.Type(text)) Refuse();
}

void Target::PressKey(std::uint8_t vk) {
  if (!KeysReach()) return;
  if (!keys_.Press(vk)) Refuse();
  follow_focus_ = vk == kVkTab;
}

// The cursor is put back where the finger left it.
bool Target::PressEnter() {
  if (!Exists()) return false;
  // A click could move a keystroke target's caret: the key alone.
  if (by_keystrokes_) return PressKey(kVkReturn), true;
  Point saved;
  p_.user32.GetCursorPos(saved);
  Rect r;
  p_.user32.GetWindowRect(wnd_, r);
  p_.user32.SetCursorPos(r.left + 5, r.top + 5);
  p_.kernel32.Sleep(kEnterStepMs);
  input_.SendMouseClick(MouseButton::kLeft, InputAction::kDownUp);
  p_.kernel32.Sleep(kEnterStepMs);
  input_.SendKey(kVkReturn, InputAction::kDownUp);
  p_.kernel32.Sleep(kEnterStepMs);
  // A finger that touched somewhere else meanwhile keeps the cursor: put
  // back, its touch would be taken for one on the Enter key.
  Point now;
  p_.user32.GetCursorPos(now);
  if (now == Point{r.left + 5, r.top + 5}) p_.user32.SetCursorPos(saved.x, saved.y);
  return true;
}

}  // namespace orv
