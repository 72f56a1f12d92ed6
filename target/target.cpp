// Capturing the touched text field, mirroring the edit line into it, Tab and Enter.
#include "target/target.h"

#include "target/field_kinds.h"

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
  if (!text) return {Capture::Kind::kHung, {}};
  return {Capture::Kind::kCaptured, std::move(*text)};
}

// One touch may set the same text twice (the list refill puts it back); the
// field already holds it.
bool Target::Mirror(const std::wstring& text) {
  if (!Exists()) return true;
  if (sent_in_event_ && sent_wnd_ == wnd_ && sent_text_ == text) return true;
  const bool written = Write(text);
  sent_in_event_ = true;
  sent_wnd_ = wnd_;
  sent_text_ = text;
  return written;
}

bool Target::Write(const std::wstring& text) { return windows_.SetTargetText(wnd_, text); }

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
