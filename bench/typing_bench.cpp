// One key touch, from the finger lifting to the target field holding the new
// text, against the floor: the bare set-text of the same text into the same
// field, measured side by side in one run. The target lives in a process of
// its own, as in the car: a send across processes copies the text through the
// wineserver (or the kernel), which a send across threads does not.
// Then the whole key touch with 100,000 remembered texts against 1,000.
//
//   typing_bench            the bench; it starts the target itself
//   typing_bench --target   the target field's process
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/frmKbd.h"
#include "bench/bench_process.h"
#include "keys/key_repeat.h"
#include "win32/kbd_window.h"
#include "win32/system_ports.h"
#include "win32/toolkit.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

constexpr wchar_t kTargetClass[] = L"OrvKeyBenchTarget";
constexpr wchar_t kStampName[] = L"OrvKeyBenchStamp";

// When the target field last took a text, after it handled the message, on
// the clock both processes share; kept in memory both processes map.
std::atomic<Clock::rep>* g_changed = nullptr;

std::atomic<Clock::rep>* MapStamp() {
  HANDLE map = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                  sizeof(Clock::rep), kStampName);
  if (!map) return nullptr;
  return static_cast<std::atomic<Clock::rep>*>(
      MapViewOfFile(map, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Clock::rep)));
}

LRESULT CALLBACK StampChanges(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  const LRESULT r = DefSubclassProc(wnd, msg, wp, lp);
  if (msg == WM_SETTEXT || msg == EM_REPLACESEL) *g_changed = Clock::now().time_since_epoch().count();
  return r;
}

// The target process: a plain edit field in a window of its own, on screen
// clear of the keyboard.
int RunTarget() {
  g_changed = MapStamp();
  if (!g_changed) return 2;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kTargetClass;
  RegisterClassExW(&wc);
  HWND main = CreateWindowExW(0, kTargetClass, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 400, 420, 80,
                              nullptr, nullptr, wc.hInstance, nullptr);
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 400,
                              40, main, nullptr, wc.hInstance, nullptr);
  SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
  SetWindowSubclass(edit, StampChanges, 1, 0);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

// Starts the target process and waits for its field.
HWND StartTarget(PROCESS_INFORMATION& pi) {
  if (!orv::bench::StartTargetProcess(pi)) return nullptr;
  for (int i = 0; i < 30000; ++i) {
    if (HWND main = FindWindowW(kTargetClass, nullptr)) {
      if (HWND edit = FindWindowExW(main, nullptr, L"Edit", nullptr)) return edit;
    }
    Sleep(1);
  }
  return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace orv;
  if (argc > 1 && std::wstring(argv[1]) == L"--target") return RunTarget();
  using namespace orv::win32;
  bench::StartLikeTheProgram();

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

  g_changed = MapStamp();
  PROCESS_INFORMATION target_process{};
  HWND target = g_changed ? StartTarget(target_process) : nullptr;
  if (!target) {
    std::fprintf(stderr, "typing bench: the target field did not come up\n");
    return 1;
  }

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
    if (lift_ms) *lift_ms = Ms(Clock::time_point(Clock::duration(g_changed->load())) - lift);
    // Asked, not read from the window's caption: the field is in another process.
    if (SendMessageW(target, WM_GETTEXTLENGTH, 0, 0) != static_cast<LRESULT>(expect)) ++failures;
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

  TerminateProcess(target_process.hProcess, 0);
  WaitForSingleObject(target_process.hProcess, 10000);
  std::fflush(stdout);
  ExitProcess(failures == 0 ? 0 : 1);
}
