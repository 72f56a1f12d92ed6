// The fake desktop: every port implemented in memory, with a window tree,
// a clock the test moves, a registry, files and a log of synthetic input.
#pragma once
#include <array>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/ports.h"

namespace orv::fake {

struct Window {
  std::wstring cls;
  std::wstring text;
  Hwnd parent = 0;
  Rect rect{};  // screen coordinates
  std::int32_t style = 0;
  std::int32_t ex_style = 0;
  bool visible = true;
  bool enabled = true;
  bool hung = false;  // answers nothing; sends time out
  std::uint32_t pid = 100;
  wchar_t password_char = 0;
  Hrgn region = 0;
  int alpha = -1;                                  // last SetLayeredWindowAttributes opacity
  int show_cmd = -1;                               // last ShowWindow command
  std::vector<std::pair<Hwnd, unsigned>> set_pos;  // insert-after, flags
};

// One synthetic input event, as keybd_event or mouse_event sent it.
struct InputEvent {
  enum Kind { Key, Mouse } kind;
  unsigned code;   // virtual key, or mouse flags
  unsigned flags;  // key flags
  Point at;        // cursor position when sent
  std::uint32_t time;
};

struct MessageBoxCall {
  std::wstring text, caption;
  unsigned style;
};

struct RegValue {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  friend bool operator==(const RegValue&, const RegValue&) = default;
};

class Desktop : public User32,
                public Gdi32,
                public Kernel32,
                public Advapi32,
                public Shell32,
                public Comdlg32,
                public Toolkit {
 public:
  Desktop();
  Ports ports() { return Ports{*this, *this, *this, *this, *this, *this, *this}; }

  // ---- Building the scene
  Hwnd AddWindow(const std::wstring& cls, const std::wstring& text, Hwnd parent, Rect rect,
                 std::int32_t style = 0);
  void Destroy(Hwnd wnd);
  Window& W(Hwnd wnd) { return windows_.at(wnd); }
  bool Exists(Hwnd wnd) const { return windows_.count(wnd) != 0; }

  // ---- The finger
  void Press(Point at);  // cursor there, left button down
  void Release();
  Point cursor{};
  bool button_down = false;

  // ---- Clock
  std::uint32_t now = 0;
  void Advance(std::uint32_t ms) { now += ms; }

  // ---- What happened
  std::vector<InputEvent> input;
  std::vector<MessageBoxCall> message_boxes;
  std::deque<int> message_box_answers;  // default answer: 1 (OK)
  std::vector<std::pair<std::uint32_t, NotifyIconData>> tray_calls;
  std::vector<std::pair<Hwnd, std::wstring>> set_text_log;  // WM_SETTEXT sends
  int get_text_sends = 0;
  std::function<void()> on_get_text;  // runs inside each WM_GETTEXT
  std::vector<Point> cursor_moves;
  struct Sent {
    Hwnd wnd;
    unsigned msg;
    std::uintptr_t wparam;
  };
  std::vector<Sent> sent;  // plain SendMessage calls

  // ---- Settings of the fake system
  std::vector<std::wstring> font_faces{L"Arial", L"Tahoma", L"Courier New"};
  std::wstring decimal_separator = L".";
  std::uint32_t platform_id = 2;
  bool prev_instance = false;
  std::wstring app_path = L"C:\\Program Files\\OrvKey";
  bool ended = false;
  int do_events_calls = 0;
  std::function<void()> on_do_events;
  Rect work_area{0, 0, 800, 570};
  Rect desktop_rect{0, 0, 800, 600};
  std::deque<std::optional<Color>> color_answers;  // nullopt = cancel
  std::vector<ChooseColorRecord> color_dialogs;

  // Files by full path; writes can be made to fail.
  std::map<std::wstring, std::string> files;
  bool fail_writes = false;
  bool fail_moves = false;                  // the write lands, the replace fails
  std::set<std::wstring> unreadable_files;  // exist, but cannot be opened
  // Run while a dialog is open: what the program shows at that moment, and
  // a dialog that scribbles into its record as the real one may.
  std::function<void(ChooseColorRecord&)> on_choose_color;
  std::function<void(const MessageBoxCall&)> on_message_box;

  // Registry: key path (root prefixed "HKLM\" or "HKCU\") -> value name -> value.
  std::map<std::wstring, std::map<std::wstring, RegValue>> registry;
  std::set<std::wstring> read_only_roots;  // e.g. "HKLM"

  // Pictures: files that start with the JPEG signature decode.
  std::map<Picture, std::wstring> pictures;

  // Bitmaps (24-bit) and regions, for the shaping and window-command code.
  struct Bitmap {
    std::int32_t width = 0, height = 0;
    std::vector<Color> pixels;  // row-major, top row first
  };
  std::map<Hbitmap, Bitmap> bitmaps;
  std::map<Hrgn, std::vector<Rect>> regions;
  int region_ops = 0;
  // The memory of each DIB section, as the shaping code reads it.
  std::map<Hbitmap, std::vector<std::uint8_t>> dib_bits;
  // The pixels a region covers, to compare regions built different ways.
  std::set<std::pair<int, int>> RegionPixels(Hrgn region) const;
  // Every MoveWindow, with the clock at the time.
  struct Move {
    Hwnd wnd;
    Rect rect;
    std::uint32_t time;
  };
  std::vector<Move> moves;
  // Every CreateRoundRectRgn: x1, y1, x2, y2, ellipse width and height.
  std::vector<std::array<int, 6>> round_rects;
  // Milliseconds the clock moves on at each reading, so that loops that
  // wait on the clock (slides) come to an end.
  std::uint32_t tick_ms = 0;

  // ---------------- User32
  std::int16_t GetAsyncKeyState(int vkey) override;
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
  int MessageBoxW(Hwnd owner, const std::wstring& text, const std::wstring& caption,
                  unsigned style) override;
  std::wstring CharUpperW(const std::wstring& text) override;

  // ---------------- Gdi32
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

  // ---------------- Kernel32
  void Sleep(std::uint32_t ms) override { now += ms; }
  std::uint32_t GetTickCount() override {
    now += tick_ms;
    return now;
  }
  std::uint32_t GetVersionPlatformId() override { return platform_id; }
  Handle OpenProcess(std::uint32_t access, bool inherit, std::uint32_t pid) override;
  bool TerminateProcess(Handle process, std::uint32_t exit_code) override;
  bool CloseHandle(Handle h) override;
  std::wstring GetProcessImagePath(Handle process) override;
  bool FileExists(const std::wstring& path) override;
  bool ReadFileBytes(const std::wstring& path, std::string& bytes) override;
  bool WriteFileDurably(const std::wstring& path, const std::string& bytes) override;
  bool MoveFileReplace(const std::wstring& from, const std::wstring& to) override;
  bool DeleteFileW(const std::wstring& path) override;
  unsigned GetACP() override { return 1251; }
  std::string ToAnsi(const std::wstring& text, bool* lossless) override;
  std::wstring FromAnsi(const std::string& bytes) override;
  std::wstring GetDecimalSeparator() override { return decimal_separator; }
  std::map<std::uint32_t, std::wstring> process_paths;  // pid -> image path
  std::set<std::uint32_t> terminated;
  std::map<Handle, std::uint32_t> open_processes;

  // ---------------- Advapi32
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
  int open_keys = 0;

  // ---------------- Shell32, Comdlg32
  bool Shell_NotifyIconW(std::uint32_t message, const NotifyIconData& data) override;
  int ChooseColorW(ChooseColorRecord& record) override;

  // ---------------- Toolkit
  bool PrevInstance() override { return prev_instance; }
  std::wstring AppPath() override { return app_path; }
  std::wstring AppExeName() override { return L"orvkey"; }
  std::wstring AppTitle() override { return L"OrvKey"; }
  int TwipsPerPixelX() override { return 15; }
  int TwipsPerPixelY() override { return 15; }
  Picture LoadPicture(const std::wstring& path) override;
  Picture ResourcePicture(const std::wstring& name) override;
  Hbitmap PictureBitmap(Picture picture) override;
  void DoEvents() override;
  Point MeasureText(const Font& font, const std::wstring& text) override;
  void End() override { ended = true; }

 private:
  Hwnd next_hwnd_ = 0x100;
  std::intptr_t next_handle_ = 0x10000;
  std::map<Hwnd, Window> windows_;
  std::vector<Hwnd> z_order_;  // creation order; later is above
  std::map<Hkey, std::wstring> keys_;
  std::map<Hdc, Hgdiobj> dc_selected_;
  std::map<std::wstring, Picture> resource_pictures_;
};

// Turns a 16-bit "pressed since" state into what GetAsyncKeyState reports.
inline constexpr std::int16_t kKeyDown = static_cast<std::int16_t>(0x8000);

}  // namespace orv::fake
