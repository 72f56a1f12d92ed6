// One key touch, from the finger lifting to the target field holding the new
// text, against the floor: the bare set-text of the same text into the same
// field, measured side by side in one run. The target lives on its own
// thread, so every send crosses threads as it crosses processes in the car.
// Then the whole key touch with 100,000 remembered texts against 1,000.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "app/frmKbd.h"
#include "keys/key_repeat.h"
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

// When the target field last took a text: after it handled the message.
std::atomic<Clock::rep> g_changed{0};

LRESULT CALLBACK StampChanges(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  const LRESULT r = DefSubclassProc(wnd, msg, wp, lp);
  if (msg == WM_SETTEXT || msg == EM_REPLACESEL)
    g_changed = Clock::now().time_since_epoch().count();
  return r;
}

// A plain edit field on a thread of its own, with its own message loop.
HWND StartTarget(std::thread& thread, DWORD& thread_id) {
  std::promise<HWND> made;
  auto future = made.get_future();
  thread = std::thread([&made, &thread_id] {
    thread_id = GetCurrentThreadId();
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | ES_AUTOHSCROLL, 0, 0, 400,
                                40, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowSubclass(edit, StampChanges, 1, 0);
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

  auto remember = [&](int count) {
    std::vector<std::wstring> addresses;
    for (int i = 0; i < count; ++i) {
      addresses.push_back(L"Москва 2, улица Строителей, дом " + std::to_wstring(i));
    }
    kbd.GetHistory().Clear();
    kbd.GetHistory().LoadLater([&addresses] { return std::move(addresses); });
    kbd.GetHistory().Items();  // loaded before the touches are timed
  };
  auto capture = [&](const std::wstring& text) {
    SendMessageW(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    kbd.BeginEvent();
    kbd.GetTarget().CaptureField(FromHwnd(target), kbd.hWnd());
    kbd.cmbText.SetText(text);
    kbd.cmbText_Click();  // the caret to the end
    window.Sync();
  };

  const RECT key = {56 + 40 * 1, 56, 56 + 40 * 1 + 41, 56 + 25};  // the "2" key
  const LPARAM at = MAKELPARAM((key.left + key.right) / 2, (key.top + key.bottom) / 2);
  int failures = 0;
  // The whole touch, press and release on the "2" key of the real window;
  // returns from the finger's lift to the field's change, and the whole.
  // The keyboard times a touch by its messages' time, as the finger moved, and
  // takes the same key again within a few milliseconds for a bounce: the
  // messages are posted, so that they carry their time, and touches are apart.
  auto deliver = [&](UINT msg, WPARAM wp) {
    PostMessageW(window.hwnd(), msg, wp, at);
    MSG m;
    while (!PeekMessageW(&m, window.hwnd(), msg, msg, PM_REMOVE)) {
    }
    DispatchMessageW(&m);
  };
  auto touch = [&](std::size_t expect, double* lift_ms) {
    Sleep(2 * kBounceMs);
    auto t0 = Clock::now();
    deliver(WM_LBUTTONDOWN, MK_LBUTTON);
    const auto lift = Clock::now();
    deliver(WM_LBUTTONUP, 0);
    const auto end = Clock::now();
    if (lift_ms) *lift_ms = Ms(Clock::time_point(Clock::duration(g_changed.load())) - lift);
    if (GetWindowTextLengthW(target) != static_cast<int>(expect)) ++failures;
    return Ms(end - t0);
  };

  remember(1000);
  for (int length : {30000, 100000}) {
    std::wstring base;
    for (int i = 0; i < length; ++i) base += static_cast<wchar_t>(L'а' + i % 32);
    capture(base);
    std::vector<double> floor_ms, replace_ms, key_ms;
    for (int r = 0; r < 15; ++r) {
      // The floor: the same field takes a text one character longer.
      const std::wstring longer = kbd.cmbText.Text() + L"2";
      const std::wstring current = kbd.cmbText.Text();
      // The baselines put the field back as they found it, caret included:
      // between two touches, the field's caret rests after the last one.
      DWORD caret = 0;
      SendMessageW(target, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
      const auto restore = [&] {
        SendMessageW(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(current.c_str()));
        SendMessageW(target, EM_SETSEL, caret, caret);
      };
      auto t0 = Clock::now();
      SendMessageW(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(longer.c_str()));
      floor_ms.push_back(Ms(Clock::now() - t0));
      restore();
      // The smallest change the field takes: one character put at the end.
      t0 = Clock::now();
      SendMessageW(target, EM_SETSEL, current.size(), current.size());
      SendMessageW(target, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"2"));
      replace_ms.push_back(Ms(Clock::now() - t0));
      restore();
      double lift = 0;
      touch(longer.size(), &lift);
      key_ms.push_back(lift);
    }
    const double f = Median(floor_ms), k = Median(key_ms);
    std::printf("text %6d chars, 1000 history entries: set-text %.2f ms, lift to field %.2f ms\n",
                length, f, k);
    std::printf("TOUCH_%dK_VS_SETTEXT=%.2f\n", length / 1000, k / f);
    std::printf("TOUCH_%dK_VS_REPLACESEL=%.2f (set-selection and replace: %.2f ms)\n",
                length / 1000, k / Median(replace_ms), Median(replace_ms));
  }

  // A line that every remembered text contains: the filter keeps them all.
  double per_history[2] = {};
  for (int i = 0; i < 2; ++i) {
    remember(i == 0 ? 1000 : 100000);
    std::vector<double> ms;
    for (int r = 0; r < 15; ++r) {
      capture(L"");
      ms.push_back(touch(1, nullptr));
    }
    per_history[i] = Median(ms);
  }
  std::printf("key touch on a short line: 1000 texts %.2f ms, 100000 texts %.2f ms\n",
              per_history[0], per_history[1]);
  std::printf("HISTORY_100K_VS_1K=%.2f\n", per_history[1] / per_history[0]);
  std::printf("%d key touches left the field without the new text\n", failures);

  PostThreadMessageW(target_thread_id, WM_QUIT, 0, 0);
  target_thread.join();
  std::fflush(stdout);
  ExitProcess(failures == 0 ? 0 : 1);
}
