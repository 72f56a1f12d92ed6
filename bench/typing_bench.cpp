// One key touch, from the click to the target field holding the new text,
// against the floor: the bare set-text of the same text into the same field,
// measured side by side in one run. The target lives on its own thread, so
// every send crosses threads as it crosses processes in the car.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "app/frmKbd.h"
#include "platform/win32/kbd_window.h"
#include "platform/win32/system_ports.h"
#include "platform/win32/toolkit.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// A plain edit field on a thread of its own, with its own message loop.
HWND StartTarget(std::thread& thread, DWORD& thread_id) {
  std::promise<HWND> made;
  auto future = made.get_future();
  thread = std::thread([&made, &thread_id] {
    thread_id = GetCurrentThreadId();
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | ES_AUTOHSCROLL, 0, 0, 400,
                                40, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    made.set_value(edit);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    DestroyWindow(edit);
  });
  return future.get();
}

}  // namespace

int wmain() {
  using namespace orv;
  using namespace orv::win32;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);

  SystemPorts sys(GetModuleHandleW(nullptr));
  Ports& ports = sys.ports;
  Win32Toolkit& toolkit = sys.toolkit;
  KelpUltimate kelp(ports);
  FrmKbd kbd(ports, kelp);
  KbdWindow window(kbd, toolkit);
  toolkit.sync = [&window] { window.Sync(); };
  if (!window.Create()) return 1;
  kbd.Form_Load();
  window.Sync();

  std::thread target_thread;
  DWORD target_thread_id = 0;
  HWND target = StartTarget(target_thread, target_thread_id);
  SendMessageW(target, EM_SETLIMITTEXT, 0, 0);

  // Ten thousand remembered addresses, as a keyboard that is never cleared has.
  std::vector<std::wstring> addresses;
  for (int i = 0; i < 10000; ++i) {
    addresses.push_back(L"Москва, улица Строителей, дом " + std::to_wstring(i));
  }
  kbd.GetHistory().Clear();
  kbd.GetHistory().Load(std::move(addresses));

  const RECT key = {56 + 40 * 1, 56, 56 + 40 * 1 + 41, 56 + 25};  // the "2" key
  const LPARAM at = MAKELPARAM((key.left + key.right) / 2, (key.top + key.bottom) / 2);
  int failures = 0;

  for (int length : {200, 30000}) {
    std::wstring base;
    for (int i = 0; i < length; ++i) base += static_cast<wchar_t>(L'а' + i % 32);
    kbd.BeginEvent();
    kbd.GetTarget().CaptureField(FromHwnd(target), kbd.hWnd());
    kbd.cmbText.SetText(base);
    kbd.cmbText_Click();  // the caret to the end
    window.Sync();

    const int rounds = length > 1000 ? 15 : 60;
    std::vector<double> floor_ms, key_ms;
    for (int r = 0; r < rounds; ++r) {
      // The floor: the same field takes a text one character longer.
      const std::wstring longer = kbd.cmbText.Text() + L"2";
      const std::wstring current = kbd.cmbText.Text();
      auto t0 = Clock::now();
      SendMessageW(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(longer.c_str()));
      floor_ms.push_back(Ms(Clock::now() - t0));
      SendMessageW(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(current.c_str()));

      // The key: press and release on the "2" key of the real window. The
      // keyboard times touches by their messages: the finger comes back
      // later than a bounce would.
      Sleep(kBounceMs + 10);
      MSG msg;
      PostMessageW(window.hwnd(), WM_NULL, 0, 0);
      PeekMessageW(&msg, window.hwnd(), WM_NULL, WM_NULL, PM_REMOVE);
      t0 = Clock::now();
      SendMessageW(window.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
      SendMessageW(window.hwnd(), WM_LBUTTONUP, 0, at);
      key_ms.push_back(Ms(Clock::now() - t0));
      if (GetWindowTextLengthW(target) != static_cast<int>(longer.size())) ++failures;
    }
    const double f = Median(floor_ms), k = Median(key_ms);
    std::printf(
        "text %5d chars, 10000 history entries: floor %.2f ms, key touch %.2f ms, "
        "ratio %.2f\n",
        length, f, k, k / f);
  }
  std::printf("%d key touches left the field without the new text\n", failures);

  PostThreadMessageW(target_thread_id, WM_QUIT, 0, 0);
  target_thread.join();
  std::fflush(stdout);
  ExitProcess(failures == 0 ? 0 : 1);
}
