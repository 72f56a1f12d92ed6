// Fake user32: a window tree with classes, texts, styles and rectangles,
// windows that stop answering, the finger, and a log of synthetic input.
#pragma once
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "fakes/fake_kernel32.h"
#include "platform/user32.h"

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

class FakeUser32 : public User32 {
 public:
  explicit FakeUser32(FakeClock& clock) : clock_(clock) {}

  Hwnd AddWindow(const std::wstring& cls, const std::wstring& text, Hwnd parent, Rect rect,
                 std::int32_t style = 0);
  void Destroy(Hwnd wnd);
  Window& W(Hwnd wnd) { return windows_.at(wnd); }
  bool Exists(Hwnd wnd) const { return windows_.count(wnd) != 0; }

  Point cursor{};
  bool button_down = false;
  Rect work_area{0, 0, 800, 570};
  Rect desktop_rect{0, 0, 800, 600};
  std::vector<InputEvent> input;
  std::vector<std::wstring> message_boxes;                  // their texts; each is answered OK
  std::vector<std::pair<Hwnd, std::wstring>> set_text_log;  // WM_SETTEXT sends
  int get_text_sends = 0;
  std::function<void()> on_get_text;  // runs inside each WM_GETTEXT
  struct Move {                       // every MoveWindow, with the clock at the time
    Rect rect;
    std::uint32_t time;
  };
  std::vector<Move> moves;

  std::int16_t GetAsyncKeyState(int vkey) override {
    return vkey == kVkLButton && button_down ? static_cast<std::int16_t>(0x8000) : 0;
  }
  std::uint32_t GetMessageTime() override { return clock_.now; }
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
    return rect = Exists(wnd) ? W(wnd).rect : desktop_rect, true;
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
    input.push_back({vk, flags, cursor, clock_.now});
  }
  void mouse_event(unsigned flags, unsigned, unsigned, unsigned, std::uintptr_t) override {
    input.push_back({flags, 0, cursor, clock_.now});
  }
  bool ReleaseCapture() override { return true; }
  bool ShowWindow(Hwnd wnd, int cmd) override {
    return Exists(wnd) && (W(wnd).show_cmd = cmd, W(wnd).visible = cmd != sw::kHide, true);
  }
  // Only the topmost state is kept, in the extended style.
  bool SetWindowPos(Hwnd wnd, Hwnd insert_after, int, int, int, int, unsigned) override;
  bool MoveWindow(Hwnd wnd, int x, int y, int cx, int cy, bool) override {
    if (!Exists(wnd)) return false;
    W(wnd).rect = Rect{x, y, x + cx, y + cy};
    return moves.push_back({W(wnd).rect, clock_.now}), true;
  }
  bool UpdateWindow(Hwnd wnd) override { return Exists(wnd); }
  bool SetWindowTextW(Hwnd wnd, const std::wstring& text) override {
    return Exists(wnd) && (W(wnd).text = text, true);
  }
  bool EnableWindow(Hwnd wnd, bool) override { return Exists(wnd); }
  bool SetForegroundWindow(Hwnd wnd) override { return Exists(wnd); }
  std::int32_t GetWindowLongW(Hwnd wnd, int index) override {
    return Exists(wnd) ? Long(wnd, index) : 0;
  }
  std::int32_t SetWindowLongW(Hwnd wnd, int index, std::int32_t value) override {
    return Exists(wnd) ? std::exchange(Long(wnd, index), value) : 0;
  }
  bool SetLayeredWindowAttributes(Hwnd wnd, Color, std::uint8_t alpha, unsigned) override {
    return Exists(wnd) && (W(wnd).alpha = alpha, true);
  }
  int SetWindowRgn(Hwnd wnd, Hrgn rgn, bool) override {
    return Exists(wnd) && (W(wnd).region = rgn, true);
  }
  Hwnd GetDesktopWindow() override { return 1; }
  Hdc GetDC(Hwnd) override { return next_dc_++; }
  int ReleaseDC(Hwnd, Hdc) override { return 1; }
  std::uint32_t GetWindowThreadProcessId(Hwnd wnd, std::uint32_t* process_id) override {
    if (process_id) *process_id = Exists(wnd) ? 100 : 0;
    return Exists(wnd) ? 1 : 0;
  }
  bool SystemParametersInfoWorkArea(Rect& wa) override { return wa = work_area, true; }
  int MessageBoxW(Hwnd, const std::wstring& text, const std::wstring&, unsigned) override {
    return message_boxes.push_back(text), 1;
  }
  std::wstring CharUpperW(const std::wstring& text) override;

 private:
  std::int32_t& Long(Hwnd wnd, int index) {
    return index == kGwlExStyle ? W(wnd).ex_style : W(wnd).style;
  }

  FakeClock& clock_;
  std::intptr_t next_hwnd_ = 0x100;
  std::intptr_t next_dc_ = 0x20000000;  // apart from every other fake's handles
  std::map<Hwnd, Window> windows_;
  std::vector<Hwnd> z_order_;  // creation order; later is above
};

}  // namespace orv::fake
