// The font list and the colour dialog of the options panel.
#pragma once
#include <cstdint>

#include "controls/controls.h"
#include "platform/ports.h"

namespace orv {

class FontColorRoutines {
 public:
  explicit FontColorRoutines(Ports& ports) : p_(ports) {}

  // Adds every typeface the device context reports to the list, unfiltered.
  void FillFontList(ComboBox& target, Hdc dc);
  // The colour chosen in the system's colour dialog, or -1 when none was.
  std::int32_t PickColor(Hwnd owner, Color initial_color);

 private:
  Ports& p_;
};

}  // namespace orv
