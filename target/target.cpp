// Capturing the touched text field, mirroring the edit line into it, Tab and Enter.
#include "target/target.h"

#include "target/field_kinds.h"
#include "target/incremental_write.h"

namespace orv {

namespace {
constexpr unsigned kAnswerTimeoutMs = 500;
// Enter gives the field time to take the click and the key.
constexpr std::uint32_t kEnterStepMs = 100;
}  // namespace

bool Target::Exists() { return wnd_ != 0 && p_.user32.IsWindow(wnd_); }

Target::Capture Target::CaptureAtCursor(Hwnd keyboard) {
  Point pt;
  p_.user32.GetCursorPos(pt);
  return CaptureField(p_.user32.WindowFromPoint(pt), keyboard);
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
  if (FieldKindOf(windows_.GetWindowClass(wnd)) == nullptr) return {};
  if (p_.user32.GetParent(p_.user32.GetParent(wnd)) == keyboard) {
    return {Capture::Kind::kOwnEditLine, {}};
  }
  wnd_ = wnd;
  auto text = windows_.ReadWindowText(wnd, kAnswerTimeoutMs);
  password_ = windows_.IsPasswordField(wnd, text.has_value());
  held_wnd_ = wnd;
  held_ = text;
  held_checked_ = text.has_value();
  if (!text) return {Capture::Kind::kHung, {}};
  return {Capture::Kind::kCaptured, std::move(*text)};
}

// One touch may set the same text twice (the list refill puts it back); the
// field already holds it.
void Target::Mirror(const std::wstring& text) {
  if (!Exists()) return;
  if (sent_in_event_ && sent_wnd_ == wnd_ && sent_text_ == text) return;
  Write(text);
  sent_in_event_ = true;
  sent_wnd_ = wnd_;
  sent_text_ = text;
}

void Target::Write(const std::wstring& text) {
  if (WriteChange(text)) return;
  held_wnd_ = wnd_;
  if (windows_.SetTargetText(wnd_, text))
    held_ = text;
  else
    held_.reset();
  held_checked_ = held_.has_value();
}

// The field is checked by its length first, which is cheap, then by its
// text: the application or the user may have changed it since.
bool Target::WriteChange(const std::wstring& text) {
  if (held_wnd_ != wnd_ || !held_) return false;
  if (!held_checked_) {
    const auto length = windows_.ReadTextLength(wnd_, kAnswerTimeoutMs);
    if (!length || *length != held_->size()) return false;
    const auto now = windows_.ReadWindowText(wnd_, kAnswerTimeoutMs);
    if (!now || *now != *held_) return false;
  }
  const TextChange change = ChangeBetween(*held_, text);
  if (!change.Empty()) {
    if (!windows_.ReplaceTargetRange(wnd_, change.start, change.old_end,
                                     std::wstring(change.inserted))) {
      return false;
    }
    // A field with a length limit cuts a replacement short.
    const auto length = windows_.ReadTextLength(wnd_, kAnswerTimeoutMs);
    if (!length || *length != text.size()) return false;
  }
  held_ = text;
  held_checked_ = true;
  return true;
}

// The cursor is put back where the finger left it.
bool Target::PressEnter() {
  if (!Exists()) return false;
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
  p_.user32.SetCursorPos(saved.x, saved.y);
  return true;
}

}  // namespace orv
