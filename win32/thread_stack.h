// Under Wine a thread starts with the top megabyte of its stack already
// touched, where Windows commits a stack page by page as it grows: about
// 1 MB of private memory a thread (as much again for the last one that
// ended, whose stack Wine frees only when the next one ends). A thread of
// ours gives back what lies well below it at its start: those pages hold
// nothing yet, and a deeper call later simply touches them afresh. On
// Windows the range below is not yet committed, and this does nothing.
#pragma once
#include <windows.h>

namespace orv::win32 {

inline void GiveBackUnusedStack() {
  // What the caller's callers may still reach below it.
  constexpr ULONG_PTR kKept = 64 * 1024;
  const volatile char here = 0;
  // The lowest committed page, above the guard page. (GCC takes the
  // thread block's address for an empty array's.)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
  const auto* tib = reinterpret_cast<const NT_TIB*>(NtCurrentTeb());
#pragma GCC diagnostic pop
  const auto low = reinterpret_cast<ULONG_PTR>(tib->StackLimit);
  const ULONG_PTR high = (reinterpret_cast<ULONG_PTR>(&here) - kKept) & ~ULONG_PTR{0xFFF};
  if (high > low) VirtualAlloc(reinterpret_cast<void*>(low), high - low, MEM_RESET, PAGE_READWRITE);
}

}  // namespace orv::win32
