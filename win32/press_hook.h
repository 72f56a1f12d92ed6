// A low-level mouse hook that tells a window about every left press and
// release anywhere on the screen, by whichever process it is made, and
// about a finger's press-and-hold, which the system turns into the right
// button. It wakes
// the polling tick, which then runs only while the finger is down.
#pragma once
#include <windows.h>

#include <functional>

namespace orv::win32 {

class PressHook {
 public:
  PressHook() = default;
  PressHook(const PressHook&) = delete;
  PressHook& operator=(const PressHook&) = delete;
  ~PressHook();

  // Posts `msg` to `wnd` with wParam TRUE for a press and FALSE for a
  // release. One hook a process. `on_press` runs on the hook's own thread at
  // each press, before any window has it: whatever the window's thread is
  // busy with, the press is on record by the time its consequences reach
  // that thread. The hook is set on its thread while the caller goes on (a
  // start-up need not wait for it); if the system refuses it, `refused_msg`
  // is posted to `wnd`. False when no thread could be started for it.
  bool Install(HWND wnd, UINT msg, UINT refused_msg, std::function<void()> on_press);
  // Sets the hook afresh: the system may have dropped it (after a sleep,
  // or silently after a callback it found slow), and nothing tells.
  void Reinstall();

 private:
  HANDLE thread_ = nullptr;
  // Set once the hook's thread has its message queue (and so can be told to end).
  HANDLE ready_ = nullptr;
  DWORD thread_id_ = 0;
};

}  // namespace orv::win32
