// Talking to other applications' windows without hanging on them: their
// text under a time-out, their class, where they stand among their siblings.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/ports.h"

namespace orv {

// How long another application's window has to answer a message.
inline constexpr unsigned kAnswerTimeoutMs = 500;

// Where a window stands: the ordinal-th child of its class under parent, or
// a window without a parent, or one not found among its parent's first
// children of its class.
struct WindowPath {
  enum class Kind { kFound, kNoParent, kNotFound };
  Kind kind = Kind::kNotFound;
  Hwnd parent = 0;
  std::int64_t ordinal = 0;
  std::wstring class_name;
};

class WindowRoutines {
 public:
  explicit WindowRoutines(Ports& ports) : p_(ports) {}

  // The window's text; no value when either of its two messages is not
  // answered in time or the text cannot be held.
  std::optional<std::wstring> ReadWindowText(Hwnd wnd, unsigned timeout_ms);
  std::wstring GetWindowClass(Hwnd wnd);
  // No value for window 0.
  std::optional<WindowPath> LocateWindow(Hwnd wnd);
  // The n-th child (from 0) of a class, 0 for parent 0, -1 when none.
  Hwnd FindNthChild(Hwnd parent, std::int64_t n, const std::wstring& class_name);
  // Replaces the target's whole text; bounded by the same time-out as reads.
  // False when the window did not take it in time.
  bool SetTargetText(Hwnd wnd, const std::wstring& text);
  // The length of the window's text; no value when it does not answer in time.
  std::optional<std::size_t> ReadTextLength(Hwnd wnd, unsigned timeout_ms);
  // Replaces characters [start, end) of an edit field's text, leaving its
  // caret after them; false when the field did not answer in time.
  bool ReplaceTargetRange(Hwnd wnd, std::size_t start, std::size_t end, const std::wstring& text);
  // The first `count` characters of the window's text (fewer when it is
  // shorter); no value when it does not answer in time.
  std::optional<std::wstring> ReadTextHead(Hwnd wnd, std::size_t count, unsigned timeout_ms);
  // Sends a message that carries no pointer and takes its answer; false when
  // the window did not answer in time.
  bool Ask(Hwnd wnd, unsigned msg, std::uintptr_t wparam, unsigned timeout_ms,
           std::uintptr_t* answer = nullptr);
  bool IsCursorOverWindow(Hwnd wnd, int margin);
  bool IsPasswordField(Hwnd wnd, bool may_ask) { return PasswordChar(wnd, may_ask) != 0; }
  // The character a password field shows for each of its own; 0 for a
  // field that shows its text.
  wchar_t PasswordChar(Hwnd wnd, bool may_ask);

 private:
  Ports& p_;
};

}  // namespace orv
