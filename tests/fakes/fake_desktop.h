// The fake desktop: every port implemented in memory, with a window tree,
// a clock the test moves, a registry, files and a log of synthetic input.
#pragma once
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
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
  bool hung = false;  // answers nothing; sends time out
  wchar_t password_char = 0;
  Hrgn region = 0;
  int alpha = -1;     // last SetLayeredWindowAttributes opacity
  int show_cmd = -1;  // last ShowWindow command
};

// One synthetic input event, as keybd_event or mouse_event sent it.
struct InputEvent {
  unsigned code;   // virtual key, or mouse flags
  unsigned flags;  // key flags
  Point at;        // cursor position when sent
  std::uint32_t time;
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
  Ports ports() { return Ports{*this, *this, *this, *this, *this, *this, *this}; }

  // ---- Building the scene
  Hwnd AddWindow(const std::wstring& cls, const std::wstring& text, Hwnd parent, Rect rect,
                 std::int32_t style = 0) {
    const Hwnd h = next_hwnd_;
    next_hwnd_ += 4;
    windows_[h] = Window{cls, text, parent, rect, style};
    z_order_.push_back(h);
    return h;
  }
  void Destroy(Hwnd wnd);
  Window& W(Hwnd wnd) { return windows_.at(wnd); }
  bool Exists(Hwnd wnd) const { return windows_.count(wnd) != 0; }

  // ---- The finger and the clock
  Point cursor{};
  bool button_down = false;
  std::uint32_t now = 0;
  // Milliseconds the clock moves on at each reading, so that loops that
  // wait on the clock (slides) come to an end.
  std::uint32_t tick_ms = 0;

  // ---- What happened
  std::vector<InputEvent> input;
  std::vector<std::wstring> message_boxes;  // their texts
  std::deque<int> message_box_answers;      // default answer: 1 (OK)
  std::vector<std::pair<std::uint32_t, NotifyIconData>> tray_calls;
  std::vector<std::pair<Hwnd, std::wstring>> set_text_log;  // WM_SETTEXT sends
  int get_text_sends = 0;
  std::function<void()> on_get_text;  // runs inside each WM_GETTEXT
  int do_events_calls = 0;
  std::function<void()> on_do_events;
  bool ended = false;
  // Every MoveWindow, with the clock at the time.
  struct Move {
    Rect rect;
    std::uint32_t time;
  };
  std::vector<Move> moves;

  // ---- Settings of the fake system
  std::vector<std::wstring> font_faces{L"Arial", L"Tahoma", L"Courier New"};
  std::wstring decimal_separator = L".";
  bool prev_instance = false;
  std::wstring app_path = L"C:\\Program Files\\OrvKey";
  Rect work_area{0, 0, 800, 570};
  Rect desktop_rect{0, 0, 800, 600};
  // The colour dialog: answers in turn (nullopt = cancel), what it was shown,
  // and a hook run while it is open that may scribble into its record.
  std::deque<std::optional<Color>> color_answers;
  std::vector<ChooseColorRecord> color_dialogs;
  std::function<void(ChooseColorRecord&)> on_choose_color;

  // Files by full path; writes can be made to fail.
  std::map<std::wstring, std::string> files;
  bool fail_writes = false;
  bool fail_moves = false;                  // the write lands, the replace fails
  std::set<std::wstring> unreadable_files;  // exist, but cannot be opened

  // Registry: key path (root prefixed "HKLM\" or "HKCU\") -> value name -> value.
  std::map<std::wstring, std::map<std::wstring, RegValue>> registry;
  std::set<std::wstring> read_only_roots;  // e.g. "HKLM"
  int open_keys = 0;

  // Bitmaps (24-bit) and regions, for the shaping and window-command code.
  // Picture files decode when they start with the JPEG signature.
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

  // ---------------- User32
  std::int16_t GetAsyncKeyState(int vkey) override {
    return vkey == kVkLButton && button_down ? static_cast<std::int16_t>(0x8000) : 0;
  }
  bool GetCursorPos(Point& pt) override { return pt = cursor, true; }
  bool SetCursorPos(int x, int y) override { return cursor = {x, y}, true; }
  Hwnd WindowFromPoint(Point pt) override;
  Hwnd GetParent(Hwnd wnd) override { return Exists(wnd) ? W(wnd).parent : 0; }
  bool IsWindow(Hwnd wnd) override { return Exists(wnd); }
  std::wstring GetClassNameW(Hwnd wnd, int max_chars) override {
    return Exists(wnd) && max_chars > 0 ? W(wnd).cls.substr(0, max_chars - 1) : L"";
  }
  bool GetWindowRect(Hwnd wnd, Rect& rect) override {
    if (!Exists(wnd) && wnd != GetDesktopWindow()) return false;
    rect = Exists(wnd) ? W(wnd).rect : desktop_rect;
    return true;
  }
  Hwnd FindWindowExW(Hwnd parent, Hwnd child_after, const wchar_t* class_name,
                     const wchar_t* window_name) override;
  // A plain send waits as long as a hung window does not answer.
  std::intptr_t SendMessageW(Hwnd wnd, unsigned msg, std::uintptr_t wparam,
                             std::intptr_t lparam) override {
    std::uintptr_t result = 0;
    SendMessageTimeoutW(wnd, msg, wparam, lparam, 0, 60000, &result);
    return static_cast<std::intptr_t>(result);
  }
  bool SendMessageTimeoutW(Hwnd wnd, unsigned msg, std::uintptr_t wparam, std::intptr_t lparam,
                           unsigned flags, unsigned timeout_ms, std::uintptr_t* result) override;
  bool PostMessageW(Hwnd wnd, unsigned, std::uintptr_t, std::intptr_t) override {
    return Exists(wnd);
  }
  void keybd_event(std::uint8_t vk, std::uint8_t, unsigned flags, std::uintptr_t) override {
    input.push_back({vk, flags, cursor, now});
  }
  void mouse_event(unsigned flags, unsigned, unsigned, unsigned, std::uintptr_t) override {
    input.push_back({flags, 0, cursor, now});
  }
  bool ReleaseCapture() override { return true; }
  bool ShowWindow(Hwnd wnd, int cmd) override {
    return Set(wnd, &Window::show_cmd, cmd) && Set(wnd, &Window::visible, cmd != 0);
  }
  // Only the topmost state is kept, in the extended style.
  bool SetWindowPos(Hwnd wnd, Hwnd insert_after, int x, int y, int cx, int cy,
                    unsigned flags) override {
    if (!Exists(wnd)) return false;
    if (insert_after == kHwndTopmost) W(wnd).ex_style |= 0x8;
    if (insert_after == kHwndNoTopmost) W(wnd).ex_style &= ~0x8;
    return true;
  }
  bool MoveWindow(Hwnd wnd, int x, int y, int cx, int cy, bool repaint) override {
    if (!Set(wnd, &Window::rect, Rect{x, y, x + cx, y + cy})) return false;
    return moves.push_back({W(wnd).rect, now}), true;
  }
  bool UpdateWindow(Hwnd wnd) override { return Exists(wnd); }
  bool SetWindowTextW(Hwnd wnd, const std::wstring& text) override {
    return Set(wnd, &Window::text, text);
  }
  bool EnableWindow(Hwnd wnd, bool) override { return Exists(wnd); }
  bool SetForegroundWindow(Hwnd wnd) override { return Exists(wnd); }
  std::int32_t GetWindowLongW(Hwnd wnd, int index) override {
    if (!Exists(wnd)) return 0;
    return index == kGwlExStyle ? W(wnd).ex_style : index == kGwlStyle ? W(wnd).style : 0;
  }
  std::int32_t SetWindowLongW(Hwnd wnd, int index, std::int32_t value) override {
    if (!Exists(wnd)) return 0;
    return std::exchange(index == kGwlExStyle ? W(wnd).ex_style : W(wnd).style, value);
  }
  bool SetLayeredWindowAttributes(Hwnd wnd, Color, std::uint8_t alpha, unsigned) override {
    return Set(wnd, &Window::alpha, alpha);
  }
  int SetWindowRgn(Hwnd wnd, Hrgn rgn, bool) override { return Set(wnd, &Window::region, rgn); }
  Hwnd GetDesktopWindow() override { return 1; }
  Hdc GetDC(Hwnd) override { return next_handle_++; }
  int ReleaseDC(Hwnd, Hdc) override { return 1; }
  std::uint32_t GetWindowThreadProcessId(Hwnd wnd, std::uint32_t* process_id) override {
    if (process_id) *process_id = Exists(wnd) ? 100 : 0;
    return Exists(wnd) ? 1 : 0;
  }
  bool SystemParametersInfoWorkArea(Rect& wa) override { return wa = work_area, true; }
  int MessageBoxW(Hwnd owner, const std::wstring& text, const std::wstring& caption,
                  unsigned style) override {
    message_boxes.push_back(text);
    return Next(message_box_answers, 1);
  }
  std::wstring CharUpperW(const std::wstring& text) override;

  // ---------------- Gdi32
  int EnumFontsW(Hdc dc, const std::function<int(const LogFont&)>& callback) override {
    int last = 1;
    for (const auto& face : font_faces) {
      last = callback(LogFont{face, 0, 4});
      if (last == 0) break;
    }
    return last;
  }
  Hrgn CreateRoundRectRgn(int x1, int y1, int x2, int y2, int, int) override {
    return NewRegion({Rect{x1, y1, x2, y2}});
  }
  Hrgn CreateRectRgn(int x1, int y1, int x2, int y2) override {
    return NewRegion(x2 > x1 && y2 > y1 ? std::vector{Rect{x1, y1, x2, y2}} : std::vector<Rect>{});
  }
  Hrgn ExtCreateRegion(const std::vector<Rect>& rects) override { return NewRegion(rects); }
  int CombineRgn(Hrgn dest, Hrgn src1, Hrgn src2, int mode) override {
    if (!regions.count(dest) || !regions.count(src1) || !regions.count(src2)) return 0;
    ++region_ops;
    std::vector<Rect> out = regions[src1];
    if (mode == kRgnOr) out.insert(out.end(), regions[src2].begin(), regions[src2].end());
    regions[dest] = out;
    return 2;
  }
  bool DeleteObject(Hgdiobj obj) override {
    if (regions.erase(obj)) return true;
    dib_bits.erase(obj);
    return bitmaps.erase(obj) != 0;
  }
  Hdc CreateCompatibleDC(Hdc) override { return next_handle_++; }
  bool DeleteDC(Hdc dc) override { return dc_selected_.erase(dc), true; }
  Hgdiobj SelectObject(Hdc dc, Hgdiobj obj) override {
    const Hgdiobj old = dc_selected_.count(dc) ? dc_selected_[dc] : 0x7;
    dc_selected_[dc] = obj;
    return old;
  }
  bool BitBlt(Hdc dest, int x, int y, int cx, int cy, Hdc src, int x1, int y1,
              std::uint32_t rop) override;
  Hbitmap CreateDIBSection(Hdc dc, const BitmapInfoHeader& info, std::uint8_t** bits) override;
  bool GetBitmapSize(Hbitmap bmp, std::int32_t& width, std::int32_t& height) override {
    auto it = bitmaps.find(bmp);
    if (it == bitmaps.end()) return false;
    width = it->second.width;
    height = it->second.height;
    return true;
  }

  // ---------------- Kernel32
  void Sleep(std::uint32_t ms) override { now += ms; }
  std::uint32_t GetTickCount() override { return now += tick_ms; }
  std::uint32_t GetVersionPlatformId() override { return 2; }  // the NT family
  // No other process can be opened: the real ones are ended end to end.
  Handle OpenProcess(std::uint32_t, bool, std::uint32_t) override { return 0; }
  bool TerminateProcess(Handle, std::uint32_t) override { return false; }
  bool CloseHandle(Handle) override { return false; }
  std::wstring GetProcessImagePath(Handle) override { return {}; }
  bool FileExists(const std::wstring& path) override { return files.count(path) != 0; }
  bool ReadFileBytes(const std::wstring& path, std::string& bytes) override {
    if (!files.count(path) || unreadable_files.count(path)) return false;
    return bytes = files[path], true;
  }
  bool WriteFileDurably(const std::wstring& path, const std::string& bytes) override {
    if (fail_writes) return false;
    files[path] = bytes;
    return true;
  }
  bool MoveFileReplace(const std::wstring& from, const std::wstring& to) override {
    if (fail_writes || fail_moves || !files.count(from)) return false;
    files[to] = files[from];
    files.erase(from);
    return true;
  }
  bool DeleteFileW(const std::wstring& path) override { return files.erase(path) != 0; }
  unsigned GetACP() override { return 1251; }
  std::string ToAnsi(const std::wstring& text, bool* lossless) override;
  std::wstring FromAnsi(const std::string& bytes) override;
  std::wstring GetDecimalSeparator() override { return decimal_separator; }

  // ---------------- Advapi32
  long RegCreateKeyExW(Hkey root, const std::wstring& subkey, const std::wstring& cls,
                       std::uint32_t options, std::uint32_t access, Hkey* result,
                       std::uint32_t* disposition) override;
  long RegFlushKey(Hkey key) override { return keys_.count(key) ? kErrorSuccess : 6; }
  long RegOpenKeyExW(Hkey root, const std::wstring& subkey, std::uint32_t access,
                     Hkey* result) override;
  long RegSetValueExW(Hkey key, const std::wstring& name, std::uint32_t type,
                      const std::vector<std::uint8_t>& data) override {
    auto it = keys_.find(key);
    if (it == keys_.end()) return 6;
    registry[it->second][name] = RegValue{type, data};
    return kErrorSuccess;
  }
  long RegQueryValueExW(Hkey key, const std::wstring& name, std::uint32_t* type,
                        std::vector<std::uint8_t>* data) override;
  long RegCloseKey(Hkey key) override {
    if (!keys_.erase(key)) return 6;
    --open_keys;
    return kErrorSuccess;
  }

  // ---------------- Shell32, Comdlg32
  bool Shell_NotifyIconW(std::uint32_t message, const NotifyIconData& data) override {
    return tray_calls.emplace_back(message, data), true;
  }
  int ChooseColorW(ChooseColorRecord& record) override {
    color_dialogs.push_back(record);
    if (on_choose_color) on_choose_color(record);
    const std::optional<Color> answer = Next(color_answers, std::optional<Color>());
    if (answer) record.result = *answer;
    return answer ? 1 : 0;
  }

  // ---------------- Toolkit
  bool PrevInstance() override { return prev_instance; }
  std::wstring AppPath() override { return app_path; }
  std::wstring AppExeName() override { return L"orvkey"; }
  std::wstring AppTitle() override { return L"OrvKey"; }
  int TwipsPerPixelX() override { return 15; }
  int TwipsPerPixelY() override { return 15; }
  Picture LoadPicture(const std::wstring& path) override {
    auto it = files.find(path);
    return it != files.end() && it->second.starts_with("\xFF\xD8\xFF") ? next_handle_++ : 0;
  }
  Picture ResourcePicture(const std::wstring& name) override {
    auto& p = resource_pictures_[name];
    if (p == 0) p = next_handle_++;
    return p;
  }
  Hbitmap PictureBitmap(Picture picture) override { return bitmaps.count(picture) ? picture : 0; }
  void DoEvents() override {
    ++do_events_calls;
    if (on_do_events) on_do_events();
  }
  Point MeasureText(const Font& font, const std::wstring& text) override;
  void End() override { ended = true; }

 private:
  // The next of a test's answers, or `otherwise` when they have run out.
  template <class T>
  static T Next(std::deque<T>& answers, T otherwise) {
    if (answers.empty()) return otherwise;
    T answer = answers.front();
    answers.pop_front();
    return answer;
  }
  // Sets one field of a window that exists.
  template <class T, class V>
  bool Set(Hwnd wnd, T Window::*field, const V& value) {
    if (!Exists(wnd)) return false;
    W(wnd).*field = value;
    return true;
  }
  Hrgn NewRegion(std::vector<Rect> rects) {
    ++region_ops;
    regions[next_handle_] = std::move(rects);
    return next_handle_++;
  }
  Hkey OpenKey(const std::wstring& path) {
    keys_[next_handle_] = path;
    ++open_keys;
    return next_handle_++;
  }

  Hwnd next_hwnd_ = 0x100;
  std::intptr_t next_handle_ = 0x10000;
  std::map<Hwnd, Window> windows_;
  std::vector<Hwnd> z_order_;  // creation order; later is above
  std::map<Hkey, std::wstring> keys_;
  std::map<Hdc, Hgdiobj> dc_selected_;
  std::map<std::wstring, Picture> resource_pictures_;
};

}  // namespace orv::fake
