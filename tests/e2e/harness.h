// The end-to-end harness: starts orvkey.exe and the target application under
// Wine, touches the screen like a finger, reads other processes' windows and
// the screen's pixels, and waits for conditions with a deadline.
//
// Every process a test starts is ended when the test ends, and a test that
// fails leaves a screenshot in $ORV_ARTIFACTS (or the current folder).
#pragma once

#include "target_ids.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv::e2e {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;

inline constexpr const wchar_t* kKeyboardTitle = L"OrvCar Keyboard";
inline constexpr int kKeyboardWidth = 632;
inline constexpr int kKeyboardHeight = 217;
inline constexpr int kKeyCount = 47;

// The 47 characters of layout 0 (first language) and layout 2 (second language),
// in key order.
inline constexpr std::wstring_view kLayoutFirst =
    L"1234567890-=йцукенгшщзхъфывапролджэ\\ячсмитьбю.,";
inline constexpr std::wstring_view kLayoutSecond =
    L"1234567890-=qwertyuiop[]asdfghjkl;'\"zxcvbnm,./?";

// ---- Paths -----------------------------------------------------------------

std::wstring KeyboardExe();  // the orvkey.exe that was just built
std::wstring TargetExe();    // e2e_target.exe
std::wstring TestJpeg();     // a 632 x 217 JPEG of kTestJpegColour, made at build time
std::wstring ArtifactsDir();
inline constexpr COLORREF kTestJpegColour = RGB(40, 160, 90);

// Turns a Unix path (as CMake and the environment give them) into Wine's Z: form.
std::wstring ToWindowsPath(std::wstring_view path);
std::string Narrow(std::wstring_view text);  // UTF-8, for failure messages

// ---- Waiting ---------------------------------------------------------------

// Polls `done` every 15 ms until it holds or `deadline` passes. On failure the
// result tells `what` was awaited and, through `seen`, what was there instead.
::testing::AssertionResult WaitFor(const std::function<bool()>& done, Millis deadline,
                                   std::string_view what,
                                   const std::function<std::string()>& seen = {});

// ---- Processes -------------------------------------------------------------

// A process started by a test; ended with its owner or, at the latest, when
// the test ends.
class Process {
 public:
  Process() = default;
  explicit Process(const PROCESS_INFORMATION& pi);
  Process(Process&& other) noexcept;
  Process& operator=(Process&& other) noexcept;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process();

  explicit operator bool() const { return handle_ != nullptr; }
  DWORD pid() const { return pid_; }
  HANDLE handle() const { return handle_; }
  bool Running() const;
  std::optional<DWORD> ExitCode() const;  // empty while it runs
  ::testing::AssertionResult WaitForExit(Millis deadline) const;
  void Terminate();

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
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();

  const std::wstring& path() const { return path_; }
  std::wstring File(std::wstring_view name) const;
  bool Exists(std::wstring_view name) const;
  bool Write(std::wstring_view name, const std::vector<std::uint8_t>& bytes) const;
  bool CopyIn(const std::wstring& source, std::wstring_view name) const;
  std::optional<std::vector<std::uint8_t>> Read(std::wstring_view name) const;

 private:
  std::wstring path_;
};

// ---- Windows of other processes --------------------------------------------

std::vector<HWND> TopLevelWindows(DWORD pid, bool visibleOnly);
HWND FindTopLevelWindow(DWORD pid, std::wstring_view title);  // visible, exact title; or null
HWND FindChildByClass(HWND parent, std::wstring_view cls);
std::wstring WindowText(HWND wnd, Millis timeout = 1000ms);  // WM_GETTEXT across processes
std::wstring ClassName(HWND wnd);
RECT WindowRect(HWND wnd);
std::string DescribeWindow(HWND wnd);
std::string DescribeTopLevelWindows();  // every visible top-level window, for failure messages

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

// Waits until `wnd` holds exactly `expected`.
::testing::AssertionResult WaitForText(HWND wnd, std::wstring_view expected,
                                       Millis deadline = 3000ms);

// ---- A finger on the screen (screen coordinates) ---------------------------

void MoveFinger(POINT at);
void FingerDown(POINT at);
void FingerUp(POINT at);
// Down, hold long enough for the keyboard's 10 ms poll to see it, up, rest.
void Touch(POINT at, Millis hold = 60ms);
// Presses at `from`, slides to `to`, and holds there until `arrived` holds
// (or `deadline` passes) before lifting the finger, so a slow poll cannot
// miss the last position.
::testing::AssertionResult Drag(POINT from, POINT to, const std::function<bool()>& arrived,
                                std::string_view what, Millis deadline = 3000ms,
                                const std::function<std::string()>& seen = {});

// ---- The screen's pixels ---------------------------------------------------

class ScreenShot {
 public:
  static ScreenShot Capture();  // the whole virtual screen
  int width() const { return width_; }
  int height() const { return height_; }
  COLORREF At(int x, int y) const;  // CLR_INVALID outside
  bool SaveBmp(const std::wstring& path) const;

 private:
  int width_ = 0, height_ = 0;
  std::vector<std::uint32_t> pixels_;  // 0x00RRGGBB, top row first
};

COLORREF ScreenPixel(POINT at);
bool ColourNear(COLORREF a, COLORREF b, int tolerance = 12);
std::string DescribeColour(COLORREF c);

// ---- The keyboard's geometry (relative to its window's top-left) -----------

enum class FunctionKey { Clr, Tab, Caps, Lang, Space, Back, Enter, Close, Menu };

RECT KeyRect(int index);  // character key 0..46
POINT KeyCentre(int index);
RECT FunctionKeyRect(FunctionKey key);
POINT FunctionKeyCentre(FunctionKey key);
inline constexpr RECT kEditLineRect{56, 10, 56 + 479, 10 + 37};

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
  // Starts the same exe once more from the same folder, without waiting.
  Process StartAnother();

  Process& process() { return process_; }
  HWND window() const { return window_; }
  RECT rect() const { return WindowRect(window_); }
  POINT ToScreen(POINT inWindow) const;

  void TouchAt(POINT inWindow) { Touch(ToScreen(inWindow)); }
  void TouchKey(int index) { TouchAt(KeyCentre(index)); }
  void TouchFunctionKey(FunctionKey key) { TouchAt(FunctionKeyCentre(key)); }
  // Touches the keys that type `text` in `layout`; a space is the Space key.
  // Fails the test on a character the layout lacks.
  void Type(std::wstring_view text, std::wstring_view layout = kLayoutFirst);

  HWND EditLine() const;  // the combo box of the edit line
  std::wstring EditLineText() const { return WindowText(EditLine()); }

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
  bool SetFieldText(int id, const std::wstring& text) const;
  int EnterCount() const;           // -1 when unreadable
  POINT FieldCentre(int id) const;  // screen coordinates
  void TouchField(int id) const { Touch(FieldCentre(id)); }

  // Makes the target's UI thread stop answering for `duration`.
  void Hang(Millis duration) const;
  void DestroyField(int id) const;

 private:
  Process process_;
  HWND window_ = nullptr;
};

// ---- More fingers -----------------------------------------------------------

// A press and release of the right button at `at` (a tray icon's menu press).
void RightTouch(POINT at, Millis hold = 60ms);

}  // namespace orv::e2e
