// The colour of a key while it is pressed (DownColor), and painting a row of
// keys for a press and a release.
#pragma once
#include <span>

#include "controls/controls.h"

namespace orv {

class KeyHighlight {
 public:
  Color DownColor() const { return down_color_; }
  void SetDownColor(Color c) { down_color_ = c; }

  // Every key of the row in its normal colour, the pressed one (if any) in
  // the down colour.
  void Paint(std::span<Label> row, Color normal, int pressed = -1) const {
    for (auto& key : row) key.SetForeColor(normal);
    if (pressed >= 0 && static_cast<std::size_t>(pressed) < row.size()) {
      row[static_cast<std::size_t>(pressed)].SetForeColor(down_color_);
    }
  }
  // A latching key (Shift, Lang) shows whether it is on.
  void PaintLatch(Label& key, bool on, Color normal) const {
    key.SetForeColor(on ? down_color_ : normal);
  }

 private:
  Color down_color_ = 0;
};

}  // namespace orv
