// Synthetic input, and the field splitting that the Tab key uses.
#pragma once
#include <cstdint>
#include <string>

#include "platform/ports.h"

namespace orv {

// What SendKey and SendMouseClick synthesise.
enum class InputAction : int { kDown = 3, kUp = 4, kDownUp = 5 };
enum class MouseButton : int { kLeft = 0, kRight = 1, kMiddle = 2 };

class InputRoutines {
 public:
  explicit InputRoutines(Ports& ports) : p_(ports) {}

  void SendKey(std::uint8_t vk, InputAction action);
  void SendMouseClick(MouseButton button, InputAction action);
  std::wstring GetField(std::wstring& text, int n, wchar_t delimiter,
                        const std::wstring& default_value);

 private:
  Ports& p_;
};

}  // namespace orv
