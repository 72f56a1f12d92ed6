// Fake user32: a window tree with classes, texts and rectangles, windows
// that stop answering, the finger, and a log of synthetic input.
#pragma once
#include <algorithm>
#include <functional>
#include <map>
#include <string_view>
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
  bool visible = true;
  bool hung = false;  // answers nothing; sends time out
  // Busy: answers its length at once, its text only after any time-out; or
  // claims a length of its own.
  bool slow_text = false;
  std::uintptr_t claimed_length = 0;
  std::size_t sel_start = 0, sel_end = 0;  // EM_SETSEL, clamped to the text
  bool modified = false, can_undo = false;  // EM_GETMODIFY, EM_CANUNDO
  Hrgn region = 0;
  // The owning process (its one thread has the same number), a higher
  // integrity level, a field that ignores what it is sent.
  std::uint32_t process = 100;
  bool denied = false, keeps_text = false;
};

class FakeUser32 : public User32 {
 public:
  explicit FakeUser32(FakeClock& clock) : clock_(clock) {}

  Hwnd AddWindow(const std::wstring& cls, const std::wstring& text, Hwnd parent, Rect rect);
  Window& W(Hwnd wnd) { return windows_.at(wnd); }
  bool Exists(Hwnd wnd) const { return windows_.count(wnd) != 0; }

  Point cursor{};
  bool button_down = false;
  Rect work_area{0, 0, 800, 570};
  std::vector<unsigned> input;  // virtual keys, mouse flags, the units SendInput sent
  std::vector<std::pair<Hwnd, std::wstring>> set_text_log;  // every write: the text after it
  int get_text_sends = 0;
  std::size_t get_text_chars = 0;  // characters all WM_GETTEXT answers copied
  std::function<void()> on_get_text;  // runs inside each WM_GETTEXT
  std::vector<Rect> moves;            // every MoveWindow

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
    return rect = Exists(wnd) ? W(wnd).rect : Rect{0, 0, 800, 600}, true;
  }
  Hwnd FindWindowExW(Hwnd parent, Hwnd child_after, const wchar_t* class_name,
                     const wchar_t* window_name) override;
  // The core sends to other programs' windows only with a time-out.
  std::intptr_t SendMessageW(Hwnd, unsigned, std::uintptr_t, std::intptr_t) override { return 0; }
  bool SendMessageTimeoutW(Hwnd wnd, unsigned msg, std::uintptr_t wparam, std::intptr_t lparam,
                           unsigned flags, unsigned timeout_ms, std::uintptr_t* result) override;
  bool PostMessageW(Hwnd, unsigned, std::uintptr_t, std::intptr_t) override { return true; }
  void keybd_event(std::uint8_t vk, std::uint8_t, unsigned, std::uintptr_t) override {
    input.push_back(vk);
  }
  void mouse_event(unsigned flags, unsigned, unsigned, unsigned, std::uintptr_t) override {
    input.push_back(flags);
  }
  bool ReleaseCapture() override { return true; }
  bool ShowWindow(Hwnd, int) override { return true; }
  bool SetWindowPos(Hwnd wnd, Hwnd, int, int, int, int, unsigned) override { return Exists(wnd); }
  bool MoveWindow(Hwnd wnd, int x, int y, int cx, int cy, bool) override {
    if (!Exists(wnd)) return false;
    W(wnd).rect = Rect{x, y, x + cx, y + cy};
    return moves.push_back(W(wnd).rect), true;
  }
  bool UpdateWindow(Hwnd wnd) override { return Exists(wnd); }
  bool SetWindowTextW(Hwnd, const std::wstring&) override { return true; }
  bool EnableWindow(Hwnd wnd, bool) override { return Exists(wnd); }
  bool SetForegroundWindow(Hwnd wnd) override { return Exists(wnd); }
  // Every field is a plain single-line one; multi-line and password fields
  // are typed into end to end.
  std::int32_t GetWindowLongW(Hwnd, int) override { return 0; }
  std::int32_t SetWindowLongW(Hwnd, int, std::int32_t) override { return 0; }
  bool SetLayeredWindowAttributes(Hwnd wnd, Color, std::uint8_t, unsigned) override {
    return Exists(wnd);
  }
  int SetWindowRgn(Hwnd wnd, Hrgn rgn, bool) override {
    return Exists(wnd) && (W(wnd).region = rgn, true);
  }
  Hwnd GetDesktopWindow() override { return 1; }
  Hdc GetDC(Hwnd) override { return next_dc_++; }
  int ReleaseDC(Hwnd, Hdc) override { return 1; }
  std::uint32_t GetWindowThreadProcessId(Hwnd wnd, std::uint32_t* process_id) override {
    if (process_id) *process_id = Exists(wnd) ? W(wnd).process : 0;
    return Exists(wnd) ? W(wnd).process : 0;
  }
  bool SystemParametersInfoWorkArea(Rect& wa) override { return wa = work_area, true; }
  bool MonitorWorkAreaFromRect(const Rect&, Rect& wa) override { return wa = work_area, true; }
  int MessageBoxW(Hwnd, const std::wstring&, const std::wstring&, unsigned) override { return 1; }
  std::wstring CharUpperW(const std::wstring& text) override;

  // ---- Reaching other fields: every thread reports `gui`; SendInput logs
  // keys as `input` (the unit or the virtual key) and takes `input_taken`.
  GuiThreadInfo gui;
  unsigned input_taken = ~0u;
  std::uint32_t last_error = 0;
  std::wstring RealGetWindowClassW(Hwnd wnd, int max_chars) override {
    return GetClassNameW(wnd, max_chars);
  }
  bool GetGUIThreadInfo(std::uint32_t, GuiThreadInfo& info) override { return info = gui, true; }
  unsigned SendInput(const std::vector<KeyInput>& keys) override {
    for (const auto& k : keys) input.push_back(k.vk ? k.vk : k.scan);
    return std::min<unsigned>(input_taken, static_cast<unsigned>(keys.size()));
  }
  std::uint32_t GetLastError() override { return last_error; }

  // ---- Real programs: no layout has a key of its own for any character.
  bool IsWindowVisible(Hwnd wnd) override { return Exists(wnd) && W(wnd).visible; }
  std::uintptr_t GetKeyboardLayout(std::uint32_t) override { return 0x04090409; }
  std::int16_t VkKeyScanExW(wchar_t, std::uintptr_t) override { return -1; }

 private:
  FakeClock& clock_;
  std::intptr_t next_hwnd_ = 0x100;
  std::intptr_t next_dc_ = 0x20000000;  // apart from every other fake's handles
  std::map<Hwnd, Window> windows_;      // in creation order, later above
};

inline Hwnd FakeUser32::AddWindow(const std::wstring& cls, const std::wstring& text, Hwnd parent,
                                  Rect rect) {
  const Hwnd h = std::exchange(next_hwnd_, next_hwnd_ + 4);
  windows_[h] = Window{cls, text, parent, rect};
  return h;
}

// The deepest visible window under the point, later windows above earlier.
inline Hwnd FakeUser32::WindowFromPoint(Point pt) {
  Hwnd found = 0;  // the desktop, then each level down
  for (bool descended = true; descended;) {
    descended = false;
    for (auto it = windows_.rbegin(); it != windows_.rend() && !descended; ++it) {
      const Rect& r = it->second.rect;
      descended = it->second.parent == found && it->second.visible && pt.x >= r.left &&
                  pt.x < r.right && pt.y >= r.top && pt.y < r.bottom;
      if (descended) found = it->first;
    }
  }
  return found;
}

inline Hwnd FakeUser32::FindWindowExW(Hwnd parent, Hwnd child_after, const wchar_t* class_name,
                                      const wchar_t* window_name) {
  bool passed = child_after == 0;
  for (const auto& [h, w] : windows_) {
    if (w.parent != parent) continue;
    if (passed && (!class_name || w.cls == class_name) && (!window_name || w.text == window_name))
      return h;
    passed = passed || h == child_after;
  }
  return 0;
}

inline bool FakeUser32::SendMessageTimeoutW(Hwnd wnd, unsigned msg, std::uintptr_t wparam,
                                            std::intptr_t lparam, unsigned flags,
                                            unsigned timeout_ms, std::uintptr_t* result) {
  if (!Exists(wnd)) return false;
  Window& w = W(wnd);
  if (w.denied) return last_error = kErrorAccessDenied, false;
  if (w.hung) {
    clock_.now += (flags & kSmtoAbortIfHung) ? 0 : timeout_ms;
    return false;
  }
  if (w.slow_text && msg == wm::kGetText) {
    clock_.now += timeout_ms;
    return false;
  }
  std::uintptr_t r = 0;
  switch (msg) {
    case wm::kGetTextLength: r = w.claimed_length ? w.claimed_length : w.text.size(); break;
    case wm::kGetText: {
      ++get_text_sends;
      if (on_get_text) on_get_text();
      auto* buf = reinterpret_cast<wchar_t*>(lparam);
      if (wparam == 0 || buf == nullptr) break;
      r = std::min<std::size_t>(wparam - 1, w.text.size());
      get_text_chars += r;
      std::copy_n(w.text.data(), r, buf);
      buf[r] = L'\0';
      break;
    }
    case wm::kSetText:
      // As an edit control: the caret to the start, nothing to undo.
      if (!w.keeps_text) w.text = reinterpret_cast<const wchar_t*>(lparam);
      w.sel_start = w.sel_end = 0;
      w.modified = w.can_undo = false;
      set_text_log.emplace_back(wnd, w.text);
      r = 1;
      break;
    case kEmGetSel: r = (w.sel_end << 16) | w.sel_start; break;
    case kEmSetSel:
      w.sel_end = std::min<std::size_t>(std::max<std::size_t>(wparam, lparam), w.text.size());
      w.sel_start = std::min<std::size_t>(std::min<std::size_t>(wparam, lparam), w.text.size());
      break;
    case kEmReplaceSel: {
      const std::wstring_view in = reinterpret_cast<const wchar_t*>(lparam);
      if (!w.keeps_text) {
        w.text.replace(w.sel_start, w.sel_end - w.sel_start, in);
        w.sel_start = w.sel_end = w.sel_start + in.size();
      }
      w.modified = true;
      w.can_undo = wparam != 0;
      set_text_log.emplace_back(wnd, w.text);
      break;
    }
    case kEmGetModify: r = w.modified; break;
    case kEmSetModify: w.modified = wparam != 0; break;
    case kEmCanUndo: r = w.can_undo; break;
    default: break;
  }
  if (result) *result = r;
  return true;
}

inline std::wstring FakeUser32::CharUpperW(const std::wstring& text) {
  std::wstring s = text;
  for (auto& c : s) {
    if ((c >= L'a' && c <= L'z') || (c >= 0x0430 && c <= 0x044F)) c -= 0x20;
    if (c >= 0x0450 && c <= 0x045F) c -= 0x50;
  }
  return s;
}

}  // namespace orv::fake
