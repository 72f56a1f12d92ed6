// The low-level mouse hook. Every mouse event on the desktop waits for its
// callback, so it runs on a thread of its own that does nothing else: the
// window's thread sleeps at times (Enter's steps, the tray's pause), and
// input held up behind it would reach the other programs late or out of
// order. The callback only posts; the work happens in the window's loop.
#include "win32/press_hook.h"

#include <utility>

#include "keys/press_model.h"
#include "win32/thread_stack.h"

namespace orv::win32 {

namespace {
HHOOK g_hook = nullptr;
HWND g_wnd = nullptr;
UINT g_msg = 0, g_refused_msg = 0;
std::function<void()> g_on_press;

constexpr UINT kMsgReinstall = WM_APP + 1;

LRESULT CALLBACK OnLowLevelMouse(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION) {
    const ULONG_PTR extra = reinterpret_cast<const MSLLHOOKSTRUCT*>(lp)->dwExtraInfo;
    if (TouchesAField(wp == WM_LBUTTONDOWN, wp == WM_RBUTTONDOWN, extra)) {
      if (g_on_press) g_on_press();
      PostMessageW(g_wnd, g_msg, TRUE, 0);
    } else if (TouchesAField(wp == WM_LBUTTONUP, wp == WM_RBUTTONUP, extra)) {
      PostMessageW(g_wnd, g_msg, FALSE, 0);
    }
  }
  return CallNextHookEx(g_hook, code, wp, lp);
}

HHOOK SetHook() {
  return SetWindowsHookExW(WH_MOUSE_LL, OnLowLevelMouse, GetModuleHandleW(nullptr), 0);
}

DWORD WINAPI HookThread(void* ready) {
  GiveBackUnusedStack();
  MSG msg;
  PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // the queue for WM_QUIT
  g_hook = SetHook();
  SetEvent(static_cast<HANDLE>(ready));
  if (g_hook == nullptr) {
    PostMessageW(g_wnd, g_refused_msg, 0, 0);
    return 0;
  }
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.hwnd == nullptr && msg.message == kMsgReinstall) {
      // The new hook is set before the old one goes, so no press falls
      // between them; one seen twice meanwhile does no harm.
      // Refused, raw input takes over: the old hook may be gone.
      if (HHOOK fresh = SetHook())
        UnhookWindowsHookEx(std::exchange(g_hook, fresh));
      else
        PostMessageW(g_wnd, g_refused_msg, 0, 0);
      continue;
    }
    DispatchMessageW(&msg);
  }
  UnhookWindowsHookEx(g_hook);
  g_hook = nullptr;
  return 0;
}
}  // namespace

bool PressHook::Install(HWND wnd, UINT msg, UINT refused_msg, std::function<void()> on_press) {
  if (thread_ || g_hook) return false;
  g_wnd = wnd;
  g_msg = msg;
  g_refused_msg = refused_msg;
  g_on_press = std::move(on_press);
  ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (ready_ == nullptr) return false;
  thread_ = CreateThread(nullptr, 0, HookThread, ready_, 0, &thread_id_);
  if (thread_ == nullptr) {
    CloseHandle(ready_);
    ready_ = nullptr;
    return false;
  }
  // Input waits for the callback: it answers ahead of other work.
  SetThreadPriority(thread_, THREAD_PRIORITY_HIGHEST);
  return true;
}

// A thread not yet ready has its hook still to set, or set just now: that
// one is fresh already, and the window's thread never waits on it.
void PressHook::Reinstall() {
  if (!thread_ || WaitForSingleObject(ready_, 0) != WAIT_OBJECT_0) return;
  PostThreadMessageW(thread_id_, kMsgReinstall, 0, 0);
}

// The program's end waits for the hook's thread a while at most: a thread
// held up (its callback stuck in the system) must not keep the process up,
// and the process's end takes the hook down with it.
PressHook::~PressHook() {
  if (!thread_) return;
  constexpr DWORD kEndWaitMs = 1000;
  if (WaitForSingleObject(ready_, kEndWaitMs) == WAIT_OBJECT_0 &&
      PostThreadMessageW(thread_id_, WM_QUIT, 0, 0))
    WaitForSingleObject(thread_, kEndWaitMs);
  CloseHandle(thread_);
  CloseHandle(ready_);
}

}  // namespace orv::win32
