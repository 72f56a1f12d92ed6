// Whether a field still holds what the keyboard last wrote into it, told
// without reading a long text back on every key.
//
// Right after a change written in place, the keyboard clears the field's
// modified flag (as the whole-text write does) and notes its selection;
// the field then has that change to undo. Before the next write the field
// must still show all of it: the flag clear (its own editing, typing, paste
// or a replacement by its program, sets it), the selection where it was and
// something to undo (a set-text puts the caret at the start and empties the
// undo buffer), and the same first characters. What this cannot see: a
// program that changes its own field without changing its length, then
// clears the flag itself and puts the selection back, beyond the first
// characters. Anything less than all of it sends the caller to the whole
// text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "field/window_routines.h"

namespace orv {

class HeldCheck {
 public:
  explicit HeldCheck(WindowRoutines& windows) : windows_(windows) {}

  // The first characters compared before every write.
  static constexpr std::size_t kHeadChars = 64;

  enum class Verdict { kHolds, kUnsure, kTimedOut };

  // After a change written in place into `wnd`.
  void Seal(Hwnd wnd, unsigned timeout_ms);
  // After any other write, a capture or a failure.
  void Break() { sealed_wnd_ = 0; }
  // Whether `wnd`, whose length is `held`'s, still holds `held`.
  Verdict Check(Hwnd wnd, const std::wstring& held, unsigned timeout_ms);

 private:
  WindowRoutines& windows_;
  Hwnd sealed_wnd_ = 0;
  std::uintptr_t selection_ = 0;  // EM_GETSEL's packed answer, as it came
};

}  // namespace orv
