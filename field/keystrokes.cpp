// Telling whether a window takes text, and typing into it key by key.
#include "field/keystrokes.h"

namespace orv {

namespace {
// A window that is slow to say what keys it wants is not worth a long wait.
constexpr unsigned kDlgCodeTimeoutMs = 100;
}  // namespace

bool Keystrokes::TakesText(Hwnd wnd) {
  const std::uint32_t thread = p_.user32.GetWindowThreadProcessId(wnd, nullptr);
  GuiThreadInfo g;
  if (thread == 0 || !p_.user32.GetGUIThreadInfo(thread, g)) return false;
  if (g.caret == wnd) return true;
  // A caret of another window proves nothing: the system moves the focus
  // before the window that had it hears of it and hides its caret, so a
  // button touched straight after a field sees that field's caret blink.
  if (g.focus != wnd) return false;
  std::uintptr_t code = 0;
  return p_.user32.SendMessageTimeoutW(wnd, kWmGetDlgCode, 0, 0, kSmtoAbortIfHung,
                                       kDlgCodeTimeoutMs, &code) &&
         (code & kDlgcHasSetSel) != 0;
}

Hwnd Keystrokes::FocusInFront() {
  GuiThreadInfo g;
  return p_.user32.GetGUIThreadInfo(0, g) ? g.focus : Hwnd{};
}

// Consoles and many games read virtual keys and drop Unicode keystrokes.
// A key that needs Ctrl or Alt besides Shift (AltGr) goes as Unicode: those
// would reach the program as shortcuts.
bool Keystrokes::Type(const std::wstring& text, Hwnd wnd) {
  std::vector<KeyInput> keys;
  const auto unit = [&](std::uint32_t u) {
    keys.push_back({0, static_cast<std::uint16_t>(u), kKeyEventUnicode});
    keys.push_back({0, static_cast<std::uint16_t>(u), kKeyEventUnicode | kKeyEventKeyUp});
  };
  const std::uintptr_t layout =
      p_.user32.GetKeyboardLayout(p_.user32.GetWindowThreadProcessId(wnd, nullptr));
  for (wchar_t c : text) {
    const auto cp = static_cast<std::uint32_t>(c);
    const std::int16_t scan = cp <= 0xFFFF ? p_.user32.VkKeyScanExW(c, layout) : -1;
    const auto vk = static_cast<std::uint16_t>(scan & 0xFF);
    const int shift = (scan >> 8) & 0xFF;
    if (scan != -1 && vk != 0xFF && (shift & ~1) == 0) {
      if (shift) keys.push_back({kVkShift, 0, 0});
      keys.push_back({vk, 0, 0});
      keys.push_back({vk, 0, kKeyEventKeyUp});
      if (shift) keys.push_back({kVkShift, 0, kKeyEventKeyUp});
    } else if (cp > 0xFFFF) {
      // Where wchar_t is wider than UTF-16, a character beyond it goes as its pair.
      unit(0xD800 + ((cp - 0x10000) >> 10));
      unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      unit(cp);
    }
  }
  return Send(keys);
}

bool Keystrokes::Press(std::uint8_t vk) { return Send({{vk, 0, 0}, {vk, 0, kKeyEventKeyUp}}); }

bool Keystrokes::Send(const std::vector<KeyInput>& keys) {
  return keys.empty() || p_.user32.SendInput(keys) == keys.size();
}

}  // namespace orv
