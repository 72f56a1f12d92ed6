// Synthetic input, and the field splitting that the Tab key uses.
#pragma once
#include <cstdint>
#include <string>

#include "platform/ports.h"

namespace orv {

class InputRoutines {
 public:
  explicit InputRoutines(Ports& ports) : p_(ports) {}

  // Action 3 down, 4 up, 5 both; anything else sends nothing.
  void SendKey(std::uint8_t vk, int action);
  // Button 0 left, 1 right, 2 middle; action 3 down, 4 up, else both.
  void SendMouseClick(int button, int action);
  std::wstring GetField(std::wstring& text, int n, wchar_t delimiter,
                        const std::wstring& default_value);
  bool QuotesBalanced(const std::wstring& text);

 private:
  Ports& p_;
};

}  // namespace orv
