// Start-up: from CreateProcess to the keyboard window on screen, with a
// settings file of 100,000 remembered texts against one with none, and
// against a bare window of the keyboard's size. With --bare this program is
// that bare window (scripts/bench.sh also measures its idle cost and private
// memory). With --touch-field GO_FILE it is an application with a text field
// that a finger touches once GO_FILE exists: scripts/bench.sh runs it beside
// the keyboard and beside the bare window, and counts what the tip that
// touch brings costs.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr wchar_t kKeyboardTitle[] = L"OrvCar Keyboard";
constexpr wchar_t kBareTitle[] = L"OrvKey bare window";

int RunBareWindow() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"OrvKeyBareWindow";
  RegisterClassExW(&wc);
  HWND wnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, wc.lpszClassName,
                             kBareTitle, WS_POPUP, 196, 543, 632, 217, nullptr, nullptr,
                             wc.hInstance, nullptr);
  ShowWindow(wnd, SW_SHOWNOACTIVATE);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

// A finger on the field's centre, from a thread of its own: the field's
// thread goes on answering (the click's focus and caret) while the finger is
// down, as under a real finger. Each transition has passed the keyboard's
// mouse hook and taken effect before the next (or a second).
DWORD WINAPI TouchField(void* field) {
  RECT r;
  GetWindowRect(static_cast<HWND>(field), &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  for (const DWORD button : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
    // A zero move with each transition, so that the move is seen as input too.
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE;
    in[1].mi.dwFlags = button;
    SendInput(2, in, sizeof in[0]);
    const bool down = button == MOUSEEVENTF_LEFTDOWN;
    const DWORD until = GetTickCount() + 1000;
    while (((GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0) != down &&
           static_cast<LONG>(GetTickCount() - until) < 0)
      Sleep(1);
    if (down) Sleep(60);
  }
  return 0;
}

// A field in the top-left corner, clear of the keyboard and its tips,
// touched once the file `go` exists; then the program waits to be ended.
// The keyboard takes the touch and its tip comes on screen: GO_FILE.tip
// then says how many touches that took. One the keyboard did not take (a
// machine under load) is followed by one more after kTipWaitMs.
int RunTouchedField(const std::wstring& go) {
  constexpr DWORD kTipWaitMs = 4000;
  constexpr int kTouches = 2;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"OrvKeyBenchApplication";
  RegisterClassExW(&wc);
  HWND main = CreateWindowExW(0, wc.lpszClassName, L"OrvKey bench application",
                              WS_POPUP | WS_BORDER | WS_VISIBLE, 0, 0, 300, 60, nullptr, nullptr,
                              wc.hInstance, nullptr);
  HWND field = CreateWindowExW(0, L"EDIT", L"адрес", WS_CHILD | WS_VISIBLE, 10, 10, 280, 30, main,
                               nullptr, wc.hInstance, nullptr);
  MSG msg;
  int touches = 0;
  bool watching = false;
  DWORD watch_until = 0;
  while (true) {
    const bool go_now = touches == 0 && GetFileAttributesW(go.c_str()) != INVALID_FILE_ATTRIBUTES;
    const bool again = watching && static_cast<LONG>(GetTickCount() - watch_until) >= 0;
    if (again && touches >= kTouches) watching = false;
    if (go_now || (again && touches < kTouches)) {
      if (HANDLE t = CreateThread(nullptr, 0, TouchField, field, 0, nullptr)) CloseHandle(t);
      ++touches;
      watching = true;
      watch_until = GetTickCount() + kTipWaitMs;
    }
    // Says whether the keyboard took the touch: its tip comes on screen.
    if (watching) {
      HWND tip = FindWindowW(nullptr, L"OrvTask Information Window");
      RECT t{};
      if (tip && IsWindowVisible(tip) && GetWindowRect(tip, &t) &&
          t.left < GetSystemMetrics(SM_CXSCREEN) - 20) {
        std::ofstream(std::filesystem::path(go + L".tip")) << touches << "\n";
        watching = false;
      }
    }
    // Looks for the file five times a second, for the tip twenty times; the
    // field answers the keyboard meanwhile.
    const DWORD wait = watching ? 50 : touches ? INFINITE : 200;
    if (MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
        WAIT_OBJECT_0) {
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) return 0;
        DispatchMessageW(&msg);
      }
    }
  }
}

struct Found {
  DWORD pid;
  const wchar_t* title;
  HWND wnd = nullptr;
};

BOOL CALLBACK FindShown(HWND wnd, LPARAM lp) {
  auto* f = reinterpret_cast<Found*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(wnd, &pid);
  wchar_t title[64] = {};
  GetWindowTextW(wnd, title, 64);
  if (pid == f->pid && IsWindowVisible(wnd) && wcscmp(title, f->title) == 0) {
    f->wnd = wnd;
    return FALSE;
  }
  return TRUE;
}

// Milliseconds until the program's window is shown; the process is left
// running for `then`.
double TimeToWindow(std::wstring line, const std::wstring& folder, const wchar_t* title,
                    PROCESS_INFORMATION& pi) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  const auto t0 = Clock::now();
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &si, &pi)) {
    return -1;
  }
  Found f{pi.dwProcessId, title};
  while (!f.wnd) {
    if (Clock::now() - t0 > std::chrono::seconds(60)) return -1;
    EnumWindows(FindShown, reinterpret_cast<LPARAM>(&f));
    if (!f.wnd) Sleep(1);
  }
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

void Stop(PROCESS_INFORMATION& pi) {
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

std::string ReadAll(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc > 1 && std::wstring(argv[1]) == L"--bare") return RunBareWindow();
  if (argc > 2 && std::wstring(argv[1]) == L"--touch-field")
    return RunTouchedField(argv[2]);
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_bench ORVKEY.EXE FOLDER | --bare | --touch-field GO_FILE\n");
    return 2;
  }
  const std::wstring exe = argv[1], folder = argv[2];
  const std::wstring keyboard = folder + L"\\orvkey.exe", ini = folder + L"\\OrvKey.ini";
  CopyFileW(exe.c_str(), keyboard.c_str(), FALSE);

  // A first run writes the settings file; an orderly close completes it.
  PROCESS_INFORMATION pi{};
  DeleteFileW(ini.c_str());
  if (TimeToWindow(L"\"" + keyboard + L"\"", folder, kKeyboardTitle, pi) < 0) return 1;
  Found f{pi.dwProcessId, kKeyboardTitle};
  EnumWindows(FindShown, reinterpret_cast<LPARAM>(&f));
  PostMessageW(f.wnd, WM_CLOSE, 0, 0);
  WaitForSingleObject(pi.hProcess, 20000);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  const std::string plain = ReadAll(ini);
  std::string large = plain;
  for (int i = 0; i < 100000; ++i) large += "Street " + std::to_string(i) + " house\r\n";

  // One start of each kind a round, so that a change in the machine's load
  // during the run falls on all three alike, the keyboard's next to the bare
  // window's; the ratios are the medians of each round's own over 41
  // rounds (on a busy machine one round's load says little about the next:
  // eleven left the figure wandering by a quarter from run to run, 21 by
  // a fifth, 41 by a hundredth in three runs).
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  auto start = [&](const std::string* file, const std::wstring& line, const wchar_t* title) {
    if (file) std::ofstream(std::filesystem::path(ini), std::ios::binary) << *file;
    PROCESS_INFORMATION run{};
    const double ms = TimeToWindow(line, folder, title, run);
    Stop(run);
    return ms;
  };
  std::vector<double> bares, nones, fulls, vs_bare, vs_none;
  for (int round = 0; round < 41; ++round) {
    const auto bare_start = [&] {
      bares.push_back(start(nullptr, L"\"" + std::wstring(self) + L"\" --bare", kBareTitle));
    };
    // Which of the two goes first changes from round to round.
    if (round % 2 == 0) bare_start();
    nones.push_back(start(&plain, L"\"" + keyboard + L"\"", kKeyboardTitle));
    if (round % 2 == 1) bare_start();
    fulls.push_back(start(&large, L"\"" + keyboard + L"\"", kKeyboardTitle));
    vs_bare.push_back(nones.back() / bares.back());
    vs_none.push_back(fulls.back() / nones.back());
  }
  const double bare = Median(bares), none = Median(nones), full = Median(fulls);
  std::printf("start-up: bare window %.1f ms, keyboard %.1f ms, with 100000 texts %.1f ms\n", bare,
              none, full);
  std::printf("STARTUP_100K_HISTORY_VS_NONE=%.2f\n", Median(vs_none));
  std::printf("STARTUP_VS_BARE_WINDOW=%.2f\n", Median(vs_bare));
  std::fflush(stdout);
  return none > 0 && full > 0 && bare > 0 ? 0 : 1;
}
