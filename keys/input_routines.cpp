// Synthetic input and the field splitting that the Tab key uses.
#include "keys/input_routines.h"

namespace orv {

void InputRoutines::SendKey(std::uint8_t vk, InputAction action) {
  if (action != InputAction::kUp) p_.user32.keybd_event(vk, 0, 0, 0);
  if (action != InputAction::kDown) p_.user32.keybd_event(vk, 0, kKeyEventKeyUp, 0);
}

void InputRoutines::SendMouseClick(MouseButton button, InputAction action) {
  unsigned down = 0, up = 0;
  switch (button) {
    case MouseButton::kLeft: down = kMouseLeftDown, up = kMouseLeftUp; break;
    case MouseButton::kRight: down = kMouseRightDown, up = kMouseRightUp; break;
    case MouseButton::kMiddle: down = kMouseMiddleDown, up = kMouseMiddleUp; break;
    default: return;
  }
  if (action != InputAction::kUp) p_.user32.mouse_event(down, 0, 0, 0, 0);
  if (action != InputAction::kDown) p_.user32.mouse_event(up, 0, 0, 0, 0);
}

// The n-th field (from 1) of a delimited text; delimiters inside double
// quotes do not split. Trailing delimiters are cut from the caller's text.
std::wstring InputRoutines::GetField(std::wstring& text, int n, wchar_t delimiter,
                                     const std::wstring& default_value) {
  while (!text.empty() && text.back() == delimiter) text.pop_back();
  int field = 1;
  std::size_t start = 0;
  std::size_t quotes = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    const bool at_end = i == text.size();
    if (!at_end && text[i] == L'"') ++quotes;
    if (at_end || (text[i] == delimiter && quotes % 2 == 0)) {
      if (field == n) {
        std::wstring value = text.substr(start, i - start);
        if (value.find_first_not_of(L' ') == std::wstring::npos) return default_value;
        return value;
      }
      ++field;
      start = i + 1;
    }
  }
  return default_value;
}

}  // namespace orv
