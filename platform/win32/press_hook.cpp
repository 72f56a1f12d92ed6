// The low-level mouse hook. Windows removes a hook whose callback is slow,
// so the callback only posts; the work happens in the message loop.
#include "platform/win32/press_hook.h"

namespace orv::win32 {

namespace {
HHOOK g_hook = nullptr;
HWND g_wnd = nullptr;
UINT g_msg = 0;

LRESULT CALLBACK OnLowLevelMouse(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && (wp == WM_LBUTTONDOWN || wp == WM_LBUTTONUP)) {
    PostMessageW(g_wnd, g_msg, wp == WM_LBUTTONDOWN, 0);
  }
  return CallNextHookEx(g_hook, code, wp, lp);
}
}  // namespace

bool PressHook::Install(HWND wnd, UINT msg) {
  if (hook_ || g_hook) return false;
  g_wnd = wnd;
  g_msg = msg;
  hook_ = g_hook = SetWindowsHookExW(WH_MOUSE_LL, OnLowLevelMouse, GetModuleHandleW(nullptr), 0);
  return hook_ != nullptr;
}

PressHook::~PressHook() {
  if (!hook_) return;
  UnhookWindowsHookEx(hook_);
  g_hook = nullptr;
}

}  // namespace orv::win32
