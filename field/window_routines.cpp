// Talking to other applications' windows without hanging on them.
#include <cwchar>
#include <vector>

#include "field/window_routines.h"

namespace orv {

namespace {
constexpr int kPathSearchLimit = 256;
}

std::optional<std::wstring> WindowRoutines::ReadWindowText(Hwnd wnd, unsigned timeout_ms) {
  std::uintptr_t length = 0;
  if (!p_.user32.SendMessageTimeoutW(wnd, wm::kGetTextLength, 0, 0, kSmtoAbortIfHung, timeout_ms,
                                     &length)) {
    return std::nullopt;
  }
  if (length == 0) return std::wstring();
  // A window may claim any length. A text that could not be had is no
  // text, never an empty one: the next key would wipe the field with it.
  std::vector<wchar_t> buffer;
  if (length >= buffer.max_size()) return std::nullopt;
  try {
    buffer.assign(length + 1, L'\0');
  } catch (const std::exception&) {
    return std::nullopt;
  }
  std::uintptr_t copied = 0;
  if (!p_.user32.SendMessageTimeoutW(wnd, wm::kGetText, buffer.size(),
                                     reinterpret_cast<std::intptr_t>(buffer.data()),
                                     kSmtoAbortIfHung, timeout_ms, &copied)) {
    return std::nullopt;
  }
  buffer.back() = L'\0';
  return std::wstring(buffer.data());
}

std::wstring WindowRoutines::GetWindowClass(Hwnd wnd) { return p_.user32.GetClassNameW(wnd, 256); }

std::optional<WindowPath> WindowRoutines::LocateWindow(Hwnd wnd) {
  if (wnd == 0) return std::nullopt;
  WindowPath path;
  path.class_name = GetWindowClass(wnd);
  path.parent = p_.user32.GetParent(wnd);
  if (path.parent == 0) {
    path.kind = WindowPath::Kind::kNoParent;
    return path;
  }
  const wchar_t* cls = path.class_name.c_str();
  Hwnd child = p_.user32.FindWindowExW(path.parent, 0, cls, nullptr);
  while (child != 0 && child != wnd && path.ordinal < kPathSearchLimit) {
    child = p_.user32.FindWindowExW(path.parent, child, cls, nullptr);
    ++path.ordinal;
  }
  if (child == wnd) path.kind = WindowPath::Kind::kFound;
  return path;
}

Hwnd WindowRoutines::FindNthChild(Hwnd parent, std::int64_t n, const std::wstring& class_name) {
  if (parent == 0) return 0;
  Hwnd child = p_.user32.FindWindowExW(parent, 0, class_name.c_str(), nullptr);
  if (child == 0) return -1;
  for (std::int64_t step = 0; step < n; ++step) {
    if (step == kPathSearchLimit) return -1;
    child = p_.user32.FindWindowExW(parent, child, class_name.c_str(), nullptr);
    if (child == 0) return -1;
  }
  return child;
}

bool WindowRoutines::SetTargetText(Hwnd wnd, const std::wstring& text) {
  std::uintptr_t result = 0;
  return p_.user32.SendMessageTimeoutW(wnd, wm::kSetText, 0,
                                       reinterpret_cast<std::intptr_t>(text.c_str()),
                                       kSmtoAbortIfHung, kAnswerTimeoutMs, &result);
}

std::optional<std::size_t> WindowRoutines::ReadTextLength(Hwnd wnd, unsigned timeout_ms) {
  std::uintptr_t length = 0;
  if (!p_.user32.SendMessageTimeoutW(wnd, wm::kGetTextLength, 0, 0, kSmtoAbortIfHung, timeout_ms,
                                     &length)) {
    return std::nullopt;
  }
  return length;
}

// The selection is sent first; the replacement is one undoable step.
bool WindowRoutines::ReplaceTargetRange(Hwnd wnd, std::size_t start, std::size_t end,
                                        const std::wstring& text) {
  // Selecting measures the text up to the new caret, a cost of its own in a
  // long field; a caret already in place, as it is after the previous
  // character, is left as it is. The packed answer holds only 16 bits.
  std::uintptr_t result = 0;
  bool in_place = false;
  if (start == end && start < 0xFFFF) {
    if (!p_.user32.SendMessageTimeoutW(wnd, kEmGetSel, 0, 0, kSmtoAbortIfHung, kAnswerTimeoutMs,
                                       &result))
      return false;
    in_place = result == ((start << 16) | start);
  }
  return (in_place ||
          p_.user32.SendMessageTimeoutW(wnd, kEmSetSel, start, static_cast<std::intptr_t>(end),
                                        kSmtoAbortIfHung, kAnswerTimeoutMs, &result)) &&
         p_.user32.SendMessageTimeoutW(wnd, kEmReplaceSel, 1,
                                       reinterpret_cast<std::intptr_t>(text.c_str()),
                                       kSmtoAbortIfHung, kAnswerTimeoutMs, &result);
}

std::optional<std::wstring> WindowRoutines::ReadTextHead(Hwnd wnd, std::size_t count,
                                                         unsigned timeout_ms) {
  std::wstring buffer(count + 1, L'\0');
  std::uintptr_t copied = 0;
  if (!p_.user32.SendMessageTimeoutW(wnd, wm::kGetText, buffer.size(),
                                     reinterpret_cast<std::intptr_t>(buffer.data()),
                                     kSmtoAbortIfHung, timeout_ms, &copied)) {
    return std::nullopt;
  }
  buffer.resize(std::wcslen(buffer.c_str()));
  return buffer;
}

bool WindowRoutines::Ask(Hwnd wnd, unsigned msg, std::uintptr_t wparam, unsigned timeout_ms,
                         std::uintptr_t* answer) {
  std::uintptr_t result = 0;
  const bool answered =
      p_.user32.SendMessageTimeoutW(wnd, msg, wparam, 0, kSmtoAbortIfHung, timeout_ms, &result);
  if (answered && answer) *answer = result;
  return answered;
}

bool WindowRoutines::IsCursorOverWindow(Hwnd wnd, int margin) {
  Point pt;
  Rect r;
  if (!p_.user32.GetCursorPos(pt) || !p_.user32.GetWindowRect(wnd, r)) return false;
  return pt.x > r.left - margin && pt.y > r.top - margin && pt.x < r.right + margin &&
         pt.y < r.bottom + margin;
}

// Password fields: the style bit, or a password character set by message
// (asked only of a field that answers). A field with the style that does
// not say its character masks with an asterisk, as the system's edit does.
wchar_t WindowRoutines::PasswordChar(Hwnd wnd, bool may_ask) {
  const bool style = (p_.user32.GetWindowLongW(wnd, kGwlStyle) & kEsPassword) != 0;
  std::uintptr_t ch = 0;
  if (may_ask &&
      !p_.user32.SendMessageTimeoutW(wnd, kEmGetPasswordChar, 0, 0, kSmtoAbortIfHung, kAnswerTimeoutMs,
                                     &ch)) {
    ch = 0;
  }
  if (ch != 0 && ch <= 0xFFFF) return static_cast<wchar_t>(ch);
  return style ? L'*' : L'\0';
}

}  // namespace orv
