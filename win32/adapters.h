// The ports over the real system libraries: one pass-through per method.
#pragma once
#include <atomic>

#include "platform/ports.h"

namespace orv::win32 {

class SystemUser32 : public User32 {
 public:
  // The shell reports every left press it sees (the press hook, from its
  // own thread, or the raw input), so that a tap too short for the polling
  // tick is still seen as "pressed since the last query", whoever else
  // asked the system in between.
  void NoteLeftButtonPressed() { left_pressed_ = true; }

  std::int16_t GetAsyncKeyState(int vkey) override;
  std::uint32_t GetMessageTime() override;
  bool GetCursorPos(Point& pt) override;
  bool SetCursorPos(int x, int y) override;
  Hwnd WindowFromPoint(Point pt) override;
  Hwnd GetParent(Hwnd wnd) override;
  bool IsWindow(Hwnd wnd) override;
  std::wstring GetClassNameW(Hwnd wnd, int max_chars) override;
  bool GetWindowRect(Hwnd wnd, Rect& rect) override;
  Hwnd FindWindowExW(Hwnd parent, Hwnd child_after, const wchar_t* class_name,
                     const wchar_t* window_name) override;
  std::intptr_t SendMessageW(Hwnd wnd, unsigned msg, std::uintptr_t wparam,
                             std::intptr_t lparam) override;
  bool SendMessageTimeoutW(Hwnd wnd, unsigned msg, std::uintptr_t wparam, std::intptr_t lparam,
                           unsigned flags, unsigned timeout_ms, std::uintptr_t* result) override;
  bool PostMessageW(Hwnd wnd, unsigned msg, std::uintptr_t wparam, std::intptr_t lparam) override;
  void keybd_event(std::uint8_t vk, std::uint8_t scan, unsigned flags,
                   std::uintptr_t extra) override;
  void mouse_event(unsigned flags, unsigned dx, unsigned dy, unsigned data,
                   std::uintptr_t extra) override;
  bool ReleaseCapture() override;
  bool ShowWindow(Hwnd wnd, int cmd) override;
  bool SetWindowPos(Hwnd wnd, Hwnd insert_after, int x, int y, int cx, int cy,
                    unsigned flags) override;
  bool MoveWindow(Hwnd wnd, int x, int y, int cx, int cy, bool repaint) override;
  bool UpdateWindow(Hwnd wnd) override;
  bool SetWindowTextW(Hwnd wnd, const std::wstring& text) override;
  bool EnableWindow(Hwnd wnd, bool enable) override;
  bool SetForegroundWindow(Hwnd wnd) override;
  std::int32_t GetWindowLongW(Hwnd wnd, int index) override;
  std::int32_t SetWindowLongW(Hwnd wnd, int index, std::int32_t value) override;
  bool SetLayeredWindowAttributes(Hwnd wnd, Color key, std::uint8_t alpha, unsigned flags) override;
  int SetWindowRgn(Hwnd wnd, Hrgn rgn, bool redraw) override;
  Hwnd GetDesktopWindow() override;
  Hdc GetDC(Hwnd wnd) override;
  int ReleaseDC(Hwnd wnd, Hdc dc) override;
  std::uint32_t GetWindowThreadProcessId(Hwnd wnd, std::uint32_t* process_id) override;
  bool SystemParametersInfoWorkArea(Rect& work_area) override;
  bool MonitorWorkAreaFromRect(const Rect& r, Rect& work_area) override;
  int MessageBoxW(Hwnd owner, const std::wstring& text, const std::wstring& caption,
                  unsigned style) override;
  std::wstring CharUpperW(const std::wstring& text) override;
  std::wstring RealGetWindowClassW(Hwnd wnd, int max_chars) override;
  bool GetGUIThreadInfo(std::uint32_t thread_id, GuiThreadInfo& info) override;
  unsigned SendInput(const std::vector<KeyInput>& keys) override;
  std::uint32_t GetLastError() override;
  bool IsWindowVisible(Hwnd wnd) override;
  std::uintptr_t GetKeyboardLayout(std::uint32_t thread_id) override;
  std::int16_t VkKeyScanExW(wchar_t ch, std::uintptr_t layout) override;

 private:
  std::atomic<bool> left_pressed_{false};
};

class SystemGdi32 : public Gdi32 {
 public:
  int EnumFontsW(Hdc dc, const std::function<int(const LogFont&)>& callback) override;
  Hrgn CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h) override;
  Hrgn CreateRectRgn(int x1, int y1, int x2, int y2) override;
  Hrgn ExtCreateRegion(const std::vector<Rect>& rects) override;
  int CombineRgn(Hrgn dest, Hrgn src1, Hrgn src2, int mode) override;
  bool DeleteObject(Hgdiobj obj) override;
  Hdc CreateCompatibleDC(Hdc dc) override;
  bool DeleteDC(Hdc dc) override;
  Hgdiobj SelectObject(Hdc dc, Hgdiobj obj) override;
  bool BitBlt(Hdc dest, int x, int y, int cx, int cy, Hdc src, int x1, int y1,
              std::uint32_t rop) override;
  Hbitmap CreateDIBSection(Hdc dc, const BitmapInfoHeader& info, std::uint8_t** bits) override;
  bool GetBitmapSize(Hbitmap bmp, std::int32_t& width, std::int32_t& height) override;
};

class SystemKernel32 : public Kernel32 {
 public:
  // Texts convert through the system's ANSI code page, or through the one
  // given (the unit tests give each code page the program must work under).
  explicit SystemKernel32(unsigned code_page = 0) : code_page_(code_page) {}

  void Sleep(std::uint32_t ms) override;
  std::uint32_t GetTickCount() override;
  bool FileExists(const std::wstring& path) override;
  bool ReadFileBytes(const std::wstring& path, std::string& bytes) override;
  bool WriteFileDurably(const std::wstring& path, const std::string& bytes) override;
  bool MoveFileReplace(const std::wstring& from, const std::wstring& to) override;
  bool DeleteFileW(const std::wstring& path) override;
  bool AppendFileBytes(const std::wstring& path, const std::string& bytes) override;
  LocalTime GetLocalTime() override;
  bool CopyFileReplace(const std::wstring& from, const std::wstring& to) override;
  bool ReadFilePart(const std::wstring& path, std::uint64_t offset, std::size_t count,
                    std::string& bytes) override;
  bool GetFileSizeEx(const std::wstring& path, std::uint64_t& size) override;
  unsigned GetACP() override;
  std::string ToAnsi(const std::wstring& text, bool* lossless) override;
  std::wstring FromAnsi(const std::string& bytes) override;
  std::wstring GetDecimalSeparator() override;
  bool CreateFolder(const std::wstring& path) override;
  bool CanCreateFilesIn(const std::wstring& folder) override;

 private:
  unsigned code_page_;
};

class SystemAdvapi32 : public Advapi32 {
 public:
  long RegCreateKeyExW(Hkey root, const std::wstring& subkey, const std::wstring& cls,
                       std::uint32_t options, std::uint32_t access, Hkey* result,
                       std::uint32_t* disposition) override;
  long RegFlushKey(Hkey key) override;
  long RegOpenKeyExW(Hkey root, const std::wstring& subkey, std::uint32_t access,
                     Hkey* result) override;
  long RegSetValueExW(Hkey key, const std::wstring& name, std::uint32_t type,
                      const std::vector<std::uint8_t>& data) override;
  long RegQueryValueExW(Hkey key, const std::wstring& name, std::uint32_t* type,
                        std::vector<std::uint8_t>* data) override;
  long RegCloseKey(Hkey key) override;
};

class SystemShell32 : public Shell32 {
 public:
  bool Shell_NotifyIconW(std::uint32_t message, const NotifyIconData& data) override;
  std::wstring AppDataFolder() override;
};

class SystemComdlg32 : public Comdlg32 {
 public:
  int ChooseColorW(ChooseColorRecord& record) override;
};

}  // namespace orv::win32
