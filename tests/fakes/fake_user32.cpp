#include "fakes/fake_user32.h"

#include <algorithm>

namespace orv::fake {

Hwnd FakeUser32::AddWindow(const std::wstring& cls, const std::wstring& text, Hwnd parent,
                           Rect rect) {
  const Hwnd h = std::exchange(next_hwnd_, next_hwnd_ + 4);
  windows_[h] = Window{cls, text, parent, rect};
  return h;
}

void FakeUser32::Destroy(Hwnd wnd) {
  std::vector<Hwnd> children;
  for (const auto& [h, w] : windows_)
    if (w.parent == wnd) children.push_back(h);
  for (Hwnd child : children) Destroy(child);
  windows_.erase(wnd);
}

// The deepest visible window under the point, later windows above earlier.
Hwnd FakeUser32::WindowFromPoint(Point pt) {
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

Hwnd FakeUser32::FindWindowExW(Hwnd parent, Hwnd child_after, const wchar_t* class_name,
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

bool FakeUser32::SendMessageTimeoutW(Hwnd wnd, unsigned msg, std::uintptr_t wparam,
                                     std::intptr_t lparam, unsigned flags, unsigned timeout_ms,
                                     std::uintptr_t* result) {
  if (!Exists(wnd)) return false;
  Window& w = W(wnd);
  if (w.denied) return last_error = kErrorAccessDenied, false;
  if (w.hung) {
    clock_.now += (flags & kSmtoAbortIfHung) ? 0 : timeout_ms;
    return false;
  }
  std::uintptr_t r = 0;
  switch (msg) {
    case wm::kGetTextLength: r = w.text.size(); break;
    case wm::kGetText: {
      ++get_text_sends;
      if (on_get_text) on_get_text();
      auto* buf = reinterpret_cast<wchar_t*>(lparam);
      if (wparam == 0 || buf == nullptr) break;
      r = std::min<std::size_t>(wparam - 1, w.text.size());
      std::copy_n(w.text.data(), r, buf);
      buf[r] = L'\0';
      break;
    }
    case wm::kSetText:
      if (!w.keeps_text) w.text = reinterpret_cast<const wchar_t*>(lparam);
      set_text_log.emplace_back(wnd, w.text);
      r = 1;
      break;
    case kEmGetPasswordChar: r = w.password_char; break;
    case kEmGetSel: r = (w.sel_end << 16) | w.sel_start; break;
    case kEmSetSel:
      w.sel_end = std::min<std::size_t>(std::max<std::size_t>(wparam, lparam), w.text.size());
      w.sel_start = std::min<std::size_t>(std::min<std::size_t>(wparam, lparam), w.text.size());
      break;
    case kEmReplaceSel:
      if (!w.keeps_text)
        w.text.replace(w.sel_start, w.sel_end - w.sel_start,
                       reinterpret_cast<const wchar_t*>(lparam));
      set_text_log.emplace_back(wnd, w.text);
      break;
    case wm::kClose: Destroy(wnd); break;
    default: break;
  }
  if (result) *result = r;
  return true;
}

std::wstring FakeUser32::CharUpperW(const std::wstring& text) {
  std::wstring s = text;
  for (auto& c : s) {
    if ((c >= L'a' && c <= L'z') || (c >= 0x0430 && c <= 0x044F)) c -= 0x20;
    if (c >= 0x0450 && c <= 0x045F) c -= 0x50;
  }
  return s;
}

}  // namespace orv::fake
