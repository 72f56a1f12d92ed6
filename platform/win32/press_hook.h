// A low-level mouse hook that tells a window about every left press and
// release anywhere on the screen, by whichever process it is made. It wakes
// the polling tick, which then runs only while the finger is down.
#pragma once
#include <windows.h>

namespace orv::win32 {

class PressHook {
 public:
  PressHook() = default;
  PressHook(const PressHook&) = delete;
  PressHook& operator=(const PressHook&) = delete;
  ~PressHook();

  // Posts `msg` to `wnd` with wParam TRUE for a press and FALSE for a
  // release; false when the system refuses the hook. One hook a process.
  bool Install(HWND wnd, UINT msg);

 private:
  HANDLE thread_ = nullptr;
  DWORD thread_id_ = 0;
};

}  // namespace orv::win32
