// Whether a field still holds what the keyboard last wrote into it.
#include "field/held_check.h"

namespace orv {

void HeldCheck::Seal(Hwnd wnd, unsigned timeout_ms) {
  Break();
  std::uintptr_t undo = 0;
  if (!windows_.Ask(wnd, kEmSetModify, 0, timeout_ms) ||
      !windows_.Ask(wnd, kEmGetSel, 0, timeout_ms, &selection_) ||
      !windows_.Ask(wnd, kEmCanUndo, 0, timeout_ms, &undo) || undo == 0) {
    return;
  }
  sealed_wnd_ = wnd;
}

HeldCheck::Verdict HeldCheck::Check(Hwnd wnd, const std::wstring& held, unsigned timeout_ms) {
  if (sealed_wnd_ == 0 || sealed_wnd_ != wnd) return Verdict::kUnsure;
  Break();
  std::uintptr_t modified = 0, selection = 0, undo = 0;
  if (!windows_.Ask(wnd, kEmGetModify, 0, timeout_ms, &modified) ||
      !windows_.Ask(wnd, kEmGetSel, 0, timeout_ms, &selection) ||
      !windows_.Ask(wnd, kEmCanUndo, 0, timeout_ms, &undo)) {
    return Verdict::kTimedOut;
  }
  if (modified != 0 || selection != selection_ || undo == 0) return Verdict::kUnsure;
  const std::size_t n = held.size() < kHeadChars ? held.size() : kHeadChars;
  const auto head = windows_.ReadTextHead(wnd, n, timeout_ms);
  if (!head) return Verdict::kTimedOut;
  if (held.compare(0, n, *head) != 0) return Verdict::kUnsure;
  sealed_wnd_ = wnd;
  return Verdict::kHolds;
}

}  // namespace orv
