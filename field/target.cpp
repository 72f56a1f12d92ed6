// Capturing the touched text field, mirroring the edit line into it, Tab and Enter.
#include "field/target.h"

#include <utility>

#include "field/field_kinds.h"
#include "field/incremental_write.h"

namespace orv {

namespace {
// Enter gives the field time to take the click and the key.
constexpr std::uint32_t kEnterStepMs = 100;
// How often Enter looks whether the finger has lifted.
constexpr std::uint32_t kFingerWaitMs = 10;
// How long Enter waits at most for a multi-line field's new line.
constexpr std::uint32_t kTextWaitMs = 25;
constexpr int kTextWaits = 20;
// Clicks again for the key when the focus went elsewhere, at most.
constexpr int kReclicks = 3;

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
  const Hwnd wnd = UnderFinger(pt);
  auto field = CaptureField(wnd, keyboard);
  return field.kind == Capture::Kind::kNotAField ? CaptureByKeystrokes(wnd, keyboard) : field;
}

// The window under the point is the one that takes a click. A group box
// frames its fields and a label may reach over one; the system does not ask
// another thread's controls whether they are transparent, and gives them
// for the field. The field the finger is on is then one of their siblings:
// the topmost visible one of a kind the keyboard knows that holds the point.
Hwnd Target::UnderFinger(Point pt) {
  const Hwnd wnd = p_.user32.WindowFromPoint(pt);
  if (wnd == 0 || !SeenThrough(wnd)) return wnd;
  const Hwnd parent = p_.user32.GetParent(wnd);
  if (parent == 0) return wnd;
  // Dialogs hold tens of controls; the search stops well short of a window
  // that holds thousands.
  int left = 256;
  for (Hwnd sibling = p_.user32.FindWindowExW(parent, 0, nullptr, nullptr);
       sibling != 0 && left-- > 0; sibling = p_.user32.FindWindowExW(parent, sibling, nullptr, nullptr)) {
    Rect r;
    if (sibling == wnd || !p_.user32.IsWindowVisible(sibling) ||
        !p_.user32.GetWindowRect(sibling, r) || pt.x < r.left || pt.x >= r.right ||
        pt.y < r.top || pt.y >= r.bottom) {
      continue;
    }
    if (FieldKindOf(windows_.GetWindowClass(sibling)) != nullptr) return sibling;
  }
  return wnd;
}

// Labels and group boxes: what a click on them reaches lies behind them.
bool Target::SeenThrough(Hwnd wnd) {
  constexpr std::int32_t kBsTypeMask = 0x0F, kBsGroupBox = 0x07;
  const std::wstring cls = windows_.GetWindowClass(wnd);
  if (SameClassName(cls, L"Static")) return true;
  return SameClassName(cls, L"Button") &&
         (p_.user32.GetWindowLongW(wnd, kGwlStyle) & kBsTypeMask) == kBsGroupBox;
}

bool Target::ReleaseForWindowAtCursor(Hwnd keyboard) {
  Point pt;
  if (wnd_ == 0 || !p_.user32.GetCursorPos(pt)) return false;
  const Hwnd touched = p_.user32.WindowFromPoint(pt);
  const std::uint32_t pid = touched == 0 ? 0 : ProcessOf(p_.user32, touched);
  if (pid == ProcessOf(p_.user32, keyboard) ||
      (p_.user32.IsWindow(wnd_) && pid == ProcessOf(p_.user32, wnd_))) {
    return false;
  }
  BeginCapture(0, false);
  password_ = false;
  mask_ = 0;
  held_.reset();
  held_check_.Break();
  return true;
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
  mask_ = 0;
  rich_ = false;
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
  rich_ = kind->rich;
  return TakeText(windows_.ReadWindowText(wnd, kAnswerTimeoutMs));
}

Target::Capture Target::ReadAgain() {
  if (!unread_ || by_keystrokes_ || refused_ || !Exists()) return {};
  return TakeText(windows_.ReadWindowText(wnd_, kAnswerTimeoutMs));
}

Target::Capture Target::TakeText(std::optional<std::wstring> text) {
  // A program of a higher integrity level shuts out our messages.
  const bool denied = !text && p_.user32.GetLastError() == kErrorAccessDenied;
  mask_ = windows_.PasswordChar(wnd_, text.has_value());
  password_ = mask_ != 0;
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
  if (rich_ && RewriteRich(text)) return true;
  held_wnd_ = wnd_;
  if (windows_.SetTargetText(wnd_, text)) {
    held_ = text;
  } else {
    held_.reset();
    if (p_.user32.GetLastError() == kErrorAccessDenied) Refuse();
  }
  held_checked_ = held_.has_value();
  if (rich_ && held_ && onRewroteWhole) onRewroteWhole();
  return held_.has_value();
}

// What the field holds now stands in for what the keyboard wrote last: the
// change that turns it into the new text goes in place, and the rest of
// the document keeps its formatting.
bool Target::RewriteRich(const std::wstring& text) {
  const auto now = windows_.ReadWindowText(wnd_, kAnswerTimeoutMs);
  if (!now) return false;
  const TextChange change = ChangeBetween(*now, text);
  // Where the program changed the document apart from the keyboard's own
  // change, one span holds both, and what it replaced loses its formatting.
  if (change.old_end - change.start > 1 && change.inserted.size() > 1 && onRewroteWhole) {
    onRewroteWhole();
  }
  held_check_.Break();
  if (!change.Empty() &&
      !windows_.ReplaceTargetRange(wnd_, FieldPosition(*now, change.start, rich_),
                                   FieldPosition(*now, change.old_end, rich_),
                                   std::wstring(change.inserted))) {
    return false;
  }
  const auto length = windows_.ReadTextLength(wnd_, kAnswerTimeoutMs);
  if (!length || *length != text.size()) return false;
  held_check_.Seal(wnd_, kAnswerTimeoutMs);
  held_wnd_ = wnd_;
  held_ = text;
  held_checked_ = true;
  return true;
}

// A rich edit reads a paragraph break back as "\r\n" but counts it as one
// position when it selects.
std::size_t Target::FieldPosition(const std::wstring& text, std::size_t pos, bool rich) {
  if (!rich) return pos;
  std::size_t breaks = 0;
  for (std::size_t at = text.find(L"\r\n"); at != std::wstring::npos && at < pos;
       at = text.find(L"\r\n", at + 2)) {
    ++breaks;
  }
  return pos - breaks;
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
    if (!windows_.ReplaceTargetRange(wnd_, FieldPosition(*held_, change.start, rich_),
                                     FieldPosition(*held_, change.old_end, rich_),
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
  if (KeysReach() && !keys_.Type(text, wnd_)) Refuse();
}

void Target::PressKey(std::uint8_t vk) {
  if (!KeysReach()) return;
  if (!keys_.Press(vk)) Refuse();
  follow_focus_ = vk == kVkTab;
}

bool Target::IsMultiLine(Hwnd wnd) {
  return (p_.user32.GetWindowLongW(wnd, kGwlStyle) & kEsMultiLine) != 0;
}

// A keystroke target takes the key alone: a click could move its caret.
// Any other field is clicked 5 pixels inside its corner first, the cursor
// put there now and the click made after the first pause.
std::optional<std::uint32_t> Target::StartEnter(const std::wstring& line, std::int32_t caret) {
  if (EnterRunning() || !Exists()) return std::nullopt;
  enter_ = EnterRun{};
  enter_.wnd = wnd_;
  enter_.line = line;
  enter_.caret = caret;
  enter_.rich = rich_;
  if (by_keystrokes_) {
    PressKey(kVkReturn);
    enter_.step = EnterStep::kDone;
    return 0;
  }
  p_.user32.GetCursorPos(enter_.saved);
  Rect r;
  p_.user32.GetWindowRect(wnd_, r);
  enter_.at = {r.left + 5, r.top + 5};
  enter_.multi_line = IsMultiLine(wnd_);
  p_.user32.SetCursorPos(enter_.at.x, enter_.at.y);
  enter_.step = EnterStep::kClick;
  return kEnterStepMs;
}

Hwnd Target::FocusOf(Hwnd wnd) {
  GuiThreadInfo g;
  return p_.user32.GetGUIThreadInfo(p_.user32.GetWindowThreadProcessId(wnd, nullptr), g) ? g.focus
                                                                                       : Hwnd{};
}

bool Target::EnterClickAtCursor() {
  Point pt;
  return EnterRunning() && !by_keystrokes_ && p_.user32.GetCursorPos(pt) && pt == enter_.at;
}

// The click goes to the corner of the field Enter is for, wherever the
// cursor is now: a finger that touched somewhere else during a pause keeps
// the cursor, which goes back to it. A finger still down waits for its
// lift, or the click would end its touch; so does a key of the keyboard
// still held, whose release is yet to come (the keyboard holds the mouse
// then, and would take the click for that release). False while it waits.
bool Target::ClickEnterField(bool key_held) {
  if (key_held || (p_.user32.GetAsyncKeyState(kVkLButton) & 0x8000) != 0) return false;
  Point now;
  p_.user32.GetCursorPos(now);
  if (now != enter_.at) p_.user32.SetCursorPos(enter_.at.x, enter_.at.y);
  input_.SendMouseClick(MouseButton::kLeft, InputAction::kDownUp);
  if (now != enter_.at) p_.user32.SetCursorPos(now.x, now.y);
  enter_.touched = false;
  return true;
}

// A touch on another field of the same program during the pause took the
// focus: the field is clicked again, so that the key reaches the field
// Enter was touched for. In a multi-line field the click moved the field's
// caret: the keyboard's insertion point at the touch of Enter is put back
// before the key, so that the new line comes where the user was typing and
// keys typed during the pauses come after it; the field's text with the
// new line is the line's afterwards.
std::optional<std::uint32_t> Target::NextEnterStep(const std::wstring& line, bool key_held) {
  const bool ours = !by_keystrokes_ && wnd_ == enter_.wnd;
  if (ours) enter_.line = line;
  if (enter_.step != EnterStep::kIdle && enter_.step != EnterStep::kDone &&
      !p_.user32.IsWindow(enter_.wnd)) {
    enter_.step = EnterStep::kDone;
  }
  switch (enter_.step) {
    case EnterStep::kIdle: return std::nullopt;
    case EnterStep::kClick:
      // A multi-line field that has its program's focus already is not
      // clicked: the click would move its caret, or select a line.
      if (!(enter_.multi_line && !enter_.touched && FocusOf(enter_.wnd) == enter_.wnd) &&
          !ClickEnterField(key_held)) {
        return kFingerWaitMs;
      }
      enter_.step = EnterStep::kKey;
      return kEnterStepMs;
    case EnterStep::kKey: {
      // The program may not have taken the touch yet when the focus is
      // asked: a touch since the click is enough. After a click, the key
      // waits until the program has taken it: a caret put while the click
      // still waits in its queue would be moved by it.
      if ((enter_.touched || FocusOf(enter_.wnd) != enter_.wnd) && enter_.reclicks < kReclicks) {
        if (!ClickEnterField(key_held)) return kFingerWaitMs;
        ++enter_.reclicks;
        return kEnterStepMs;
      }
      if (enter_.multi_line && enter_.caret >= 0 &&
          static_cast<std::size_t>(enter_.caret) <= enter_.line.size()) {
        const auto at =
            FieldPosition(enter_.line, static_cast<std::size_t>(enter_.caret), enter_.rich);
        std::uintptr_t ignored = 0;
        p_.user32.SendMessageTimeoutW(enter_.wnd, kEmSetSel, at, static_cast<std::intptr_t>(at),
                                      kSmtoAbortIfHung, kAnswerTimeoutMs, &ignored);
      }
      input_.SendKey(kVkReturn, InputAction::kDownUp);
      enter_.step = EnterStep::kDone;
      return kEnterStepMs;
    }
    case EnterStep::kDone: break;
  }
  if (!by_keystrokes_ && enter_.waits_for_text == 0) {
    Point now;
    p_.user32.GetCursorPos(now);
    if (now == enter_.at) p_.user32.SetCursorPos(enter_.saved.x, enter_.saved.y);
  }
  // The field's program takes the key in its own time: a text still
  // without its new line is asked again for a while before it counts.
  if (enter_.multi_line && ours) {
    enter_.text = windows_.ReadWindowText(wnd_, kAnswerTimeoutMs);
    if (enter_.text == enter_.line && ++enter_.waits_for_text < kTextWaits) return kTextWaitMs;
    held_check_.Break();
    held_wnd_ = wnd_;
    held_ = enter_.text;
    held_checked_ = held_.has_value();
  }
  enter_.step = EnterStep::kIdle;
  return std::nullopt;
}

}  // namespace orv
