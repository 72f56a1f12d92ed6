// Talking to other applications' windows without hanging on them: their
// text under a time-out, their class, where they stand among their siblings.
#pragma once
#include <cstdint>
#include <string>

#include "platform/ports.h"

namespace orv {

// The answer GetWindowTextTimeout gives for a window that does not answer.
inline const std::wstring kHungMarker = L"(Не отвечает)";

class WindowRoutines {
 public:
  explicit WindowRoutines(Ports& ports) : p_(ports) {}

  // The window's text, or kHungMarker when it does not answer in time.
  std::wstring GetWindowTextTimeout(Hwnd wnd, unsigned timeout_ms);
  std::wstring GetWindowClass(Hwnd wnd);
  // "parent,ordinal,class", or the NOPARENT / NOTFOUND forms.
  std::wstring GetWindowPath(Hwnd wnd);
  // The n-th child (from 0) of a class, 0 for parent 0, -1 when none.
  Hwnd FindNthChild(Hwnd parent, std::int64_t n, const std::wstring& class_name);
  // Replaces the target's whole text; bounded by the same time-out as reads.
  void SetTargetText(Hwnd wnd, const std::wstring& text);
  bool IsCursorOverWindow(Hwnd wnd, int margin);
  bool IsPasswordField(Hwnd wnd, bool may_ask);

 private:
  Ports& p_;
};

}  // namespace orv
