// Port over comdlg32: the colour dialog.
#pragma once
#include <array>
#include <cstdint>

#include "platform/types.h"

namespace orv {

struct ChooseColorRecord {
  Hwnd owner = 0;
  Color result = 0;
  std::array<Color, 16> custom_colors{};
  std::uint32_t flags = 0;
};

class Comdlg32 {
 public:
  virtual ~Comdlg32() = default;
  // Returns the dialog's result: 1 when a colour was chosen.
  virtual int ChooseColorW(ChooseColorRecord& record) = 0;
};

}  // namespace orv
