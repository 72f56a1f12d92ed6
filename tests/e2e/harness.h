// The end-to-end harness: starts orvkey.exe and the target application under
// Wine, touches the screen like a finger, reads other processes' windows and
// the screen's pixels, and waits for conditions with a deadline.
//
// A test that fails leaves a screenshot in $ORV_ARTIFACTS (or the current folder).
#pragma once

#include "target_ids.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orv::e2e {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;

inline constexpr const wchar_t* kKeyboardTitle = L"OrvCar Keyboard";

// The 47 characters of layout 0 (first language) and layout 2 (second language),
// in key order.
inline constexpr std::wstring_view kLayoutFirst =
    L"1234567890-=йцукенгшщзхъфывапролджэ\\ячсмитьбю.,";
inline constexpr std::wstring_view kLayoutSecond =
    L"1234567890-=qwertyuiop[]asdfghjkl;'\"zxcvbnm,./?";

// ---- Paths -----------------------------------------------------------------

std::wstring KeyboardExe();   // the orvkey.exe that was just built
std::wstring TestJpeg();      // a 632 x 217 JPEG of kTestJpegColour, made at build time
std::wstring ArtifactsDir();  // created when missing
inline constexpr COLORREF kTestJpegColour = RGB(40, 160, 90);

// Turns a Unix path (as CMake and the environment give them) into Wine's Z: form.
inline std::wstring ToWindowsPath(std::wstring_view path) {
  std::wstring out(path);
  if (!out.empty() && out[0] == L'/') out = L"Z:" + out;
  std::replace(out.begin(), out.end(), L'/', L'\\');
  return out;
}
// UTF-8, for failure messages.
inline std::string Narrow(std::wstring_view text) {
  const std::u8string utf8 = std::filesystem::path(text).u8string();
  return {utf8.begin(), utf8.end()};
}

// ---- Waiting ---------------------------------------------------------------

// Polls `done` every 15 ms until it holds or `deadline` passes. On failure the
// result tells `what` was awaited and, through `seen`, what was there instead.
::testing::AssertionResult WaitFor(const std::function<bool()>& done, Millis deadline,
                                   std::string_view what,
                                   const std::function<std::string()>& seen = {});

// Waits until `read` has returned the same value for `still`; leaves it in `value`.
template <class T, class Read>
::testing::AssertionResult WaitSteady(Read read, T& value, Millis still, Millis deadline,
                                      std::string_view what) {
  auto since = std::chrono::steady_clock::now();
  value = read();
  return WaitFor(
      [&] {
        T now = read();
        if (!(now == value)) {
          value = now;
          since = std::chrono::steady_clock::now();
        }
        return std::chrono::steady_clock::now() - since >= still;
      },
      deadline, what);
}

// ---- Processes and folders -------------------------------------------------

// A process started by a test, ended with its owner.
class Process {
 public:
  Process() = default;
  explicit Process(const PROCESS_INFORMATION& pi) : handle_(pi.hProcess), pid_(pi.dwProcessId) {}
  Process(Process&& other) noexcept { *this = std::move(other); }
  Process& operator=(Process&& other) noexcept {
    std::swap(handle_, other.handle_);
    std::swap(pid_, other.pid_);
    return *this;
  }
  ~Process() { Terminate(); }

  explicit operator bool() const { return handle_ != nullptr; }
  DWORD pid() const { return pid_; }
  bool Running() const { return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT; }
  // Empty while it runs.
  std::optional<DWORD> ExitCode() const {
    DWORD code = 0;
    if (!handle_ || Running() || !GetExitCodeProcess(handle_, &code)) return std::nullopt;
    return code;
  }
  ::testing::AssertionResult WaitForExit(Millis deadline) const {
    if (handle_ &&
        WaitForSingleObject(handle_, static_cast<DWORD>(deadline.count())) == WAIT_OBJECT_0)
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "process " << pid_ << " still runs after " << deadline.count() << " ms";
  }
  // Ends the process and waits, so its folder can be removed afterwards.
  void Terminate() {
    if (!handle_) return;
    if (Running()) {
      TerminateProcess(handle_, 99);
      WaitForSingleObject(handle_, 5000);
    }
    CloseHandle(std::exchange(handle_, nullptr));
    pid_ = 0;
  }

 private:
  HANDLE handle_ = nullptr;
  DWORD pid_ = 0;
};

// Starts `exe` with `args` in `folder`; fails the test (and returns an empty
// Process) when it cannot.
Process StartProcess(const std::wstring& exe, const std::wstring& args, const std::wstring& folder);

// A new empty folder under %TEMP%, removed with everything in it at the end.
class TempFolder {
 public:
  TempFolder();
  TempFolder(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  const std::wstring& path() const { return path_; }
  std::wstring File(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }
  bool Exists(std::wstring_view name) const {
    return GetFileAttributesW(File(name).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  bool CopyIn(const std::wstring& source, std::wstring_view name) const {
    return CopyFileW(source.c_str(), File(name).c_str(), FALSE) != 0;
  }
  bool Write(std::wstring_view name, const std::vector<std::uint8_t>& bytes) const {
    std::ofstream out(std::filesystem::path(File(name)), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return out.good();
  }
  std::optional<std::vector<std::uint8_t>> Read(std::wstring_view name) const {
    std::ifstream in(std::filesystem::path(File(name)), std::ios::binary);
    if (!in) return std::nullopt;
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::wstring path_;
};

// ---- Windows of other processes --------------------------------------------

std::vector<HWND> TopLevelWindows(DWORD pid, bool visibleOnly);
std::wstring WindowText(HWND wnd, Millis timeout = 1000ms);  // WM_GETTEXT across processes
std::string DescribeWindow(HWND wnd);
std::string DescribeTopLevelWindows();  // every visible top-level window, for failure messages

// The visible top-level window of `pid` with exactly this title, or null.
inline HWND FindTopLevelWindow(DWORD pid, std::wstring_view title) {
  for (HWND wnd : TopLevelWindows(pid, true))
    if (WindowText(wnd) == title) return wnd;
  return nullptr;
}
inline std::wstring ClassName(HWND wnd) {
  wchar_t name[256] = {};
  GetClassNameW(wnd, name, 256);
  return name;
}
inline RECT WindowRect(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return r;
}
inline POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// Waits until `wnd` holds exactly `expected`.
inline ::testing::AssertionResult WaitForText(HWND wnd, std::wstring_view expected,
                                              Millis deadline = 3000ms) {
  std::wstring last;
  return WaitFor([&] { return (last = WindowText(wnd)) == expected; }, deadline,
                 "text \"" + Narrow(expected) + "\" in " + DescribeWindow(wnd),
                 [&] { return "\"" + Narrow(last) + "\""; });
}

// ---- A finger on the screen (screen coordinates) ---------------------------

// Down, hold long enough for the keyboard's 10 ms poll to see it, up, rest;
// with the right button, a tray icon's menu press.
void Touch(POINT at, Millis hold = 60ms, bool right = false);
// Presses at `from`, slides to `to`, and holds there until `arrived` holds
// (or `deadline` passes) before lifting the finger, so a slow poll cannot
// miss the last position.
::testing::AssertionResult Drag(POINT from, POINT to, const std::function<bool()>& arrived,
                                std::string_view what, Millis deadline = 3000ms,
                                const std::function<std::string()>& seen = {});

// ---- The screen's pixels ---------------------------------------------------

class ScreenShot {
 public:
  static ScreenShot Capture();      // the whole virtual screen
  COLORREF At(int x, int y) const;  // CLR_INVALID outside
  bool SaveBmp(const std::wstring& path) const;

 private:
  BITMAPINFOHEADER info_{};
  std::vector<std::uint8_t> rows_;  // 24 bits, bottom row first: a BMP file's body
};

inline bool ColourNear(COLORREF a, COLORREF b, int tolerance = 12) {
  return a != CLR_INVALID && b != CLR_INVALID &&
         std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
         std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}
inline std::string DescribeColour(COLORREF c) {
  if (c == CLR_INVALID) return "(no pixel)";
  char text[32];
  std::snprintf(text, sizeof text, "rgb(%d,%d,%d)", GetRValue(c), GetGValue(c), GetBValue(c));
  return text;
}

// ---- The keyboard's geometry (relative to its window's top-left) -----------

// Character key 0..46: rows of 12, 12, 12 and 11 keys, 40 pixels apart.
inline RECT KeyRect(int index) {
  static constexpr POINT kRowStart[] = {{56, 56}, {72, 96}, {88, 136}, {72, 176}};
  const POINT start = kRowStart[std::min(index / 12, 3)];
  const int x = start.x + 40 * (index - 12 * std::min(index / 12, 3));
  return {x, start.y, x + 41, start.y + 25};
}

enum class FunctionKey { Clr, Tab, Caps, Lang, Space, Back, Enter, Close, Menu };
inline POINT FunctionKeyCentre(FunctionKey key) {
  static constexpr POINT kCentres[] = {{32, 68},  {40, 108},  {48, 148}, {40, 188}, {568, 188},
                                       {580, 68}, {593, 132}, {604, 28}, {564, 28}};
  return kCentres[static_cast<int>(key)];
}

// ---- The keyboard under test -----------------------------------------------

// orvkey.exe copied alone into a fresh folder, so that its data files
// (OrvKey.ini, OrvKey.jpg) are this test's own.
class Keyboard {
 public:
  Keyboard();

  TempFolder& folder() { return folder_; }
  std::wstring exe() const { return folder_.File(L"orvkey.exe"); }

  // Starts the program and waits for its window.
  ::testing::AssertionResult Start(Millis deadline = 15000ms);
  // Waits until the window has stayed put for `still` (it may slide into place).
  ::testing::AssertionResult WaitSettled(Millis still = 300ms, Millis deadline = 5000ms) const;

  Process& process() { return process_; }
  HWND window() const { return window_; }
  RECT rect() const { return WindowRect(window_); }
  POINT ToScreen(POINT p) const { return {rect().left + p.x, rect().top + p.y}; }

  void TouchAt(POINT inWindow) { Touch(ToScreen(inWindow)); }
  void TouchKey(int index) { TouchAt(Centre(KeyRect(index))); }
  void TouchFunctionKey(FunctionKey key) { TouchAt(FunctionKeyCentre(key)); }
  // Touches the keys that type `text` in `layout`; a space is the Space key.
  // Fails the test on a character the layout lacks.
  void Type(std::wstring_view text, std::wstring_view layout = kLayoutFirst);

  // The combo box of the edit line.
  HWND EditLine() const { return FindWindowExW(window_, nullptr, L"ComboBox", nullptr); }

 private:
  TempFolder folder_;
  Process process_;
  HWND window_ = nullptr;
};

// ---- The target application ------------------------------------------------

class TargetApp {
 public:
  // Starts e2e_target.exe with its window at (x, y) and waits for it.
  ::testing::AssertionResult Start(int x = 10, int y = 10, Millis deadline = 15000ms);

  Process& process() { return process_; }
  HWND window() const { return window_; }
  HWND Field(int id) const { return GetDlgItem(window_, id); }
  std::wstring FieldText(int id) const { return WindowText(Field(id)); }
  bool SetFieldText(int id, const std::wstring& text) const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(Field(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_ABORTIFHUNG, 1000, &result) != 0;
  }
  // The presses of Enter the target has counted; -1 when unreadable.
  int EnterCount() const {
    const std::wstring text = FieldText(kEnterCount);
    return text.rfind(L"enter=", 0) == 0 ? _wtoi(text.c_str() + 6) : -1;
  }
  POINT FieldCentre(int id) const { return Centre(WindowRect(Field(id))); }
  void TouchField(int id) const { Touch(FieldCentre(id)); }

  // Makes the target's UI thread stop answering for `duration`.
  void Hang(Millis duration) const { PostMessageW(window_, kMsgHang, duration.count(), 0); }
  void DestroyField(int id) const { PostMessageW(window_, kMsgDestroyField, id, 0); }

 private:
  Process process_;
  HWND window_ = nullptr;
};

}  // namespace orv::e2e
