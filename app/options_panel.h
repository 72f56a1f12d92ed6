// The options panel below the keys, and the window sizes it switches between.
#pragma once
#include <cstdint>
#include <optional>

#include "controls/controls.h"
#include "platform/ports.h"

namespace orv {

// Sizes of the window, in twips (15 to a pixel at 96 DPI).
inline constexpr int kWindowWidthTwips = 9480;
inline constexpr int kCollapsedHeightTwips = 3255;
inline constexpr int kExpandedHeightTwips = 6015;

class OptionsPanel {
 public:
  // The window's height with the panel closed, in pixels.
  static std::int32_t CollapsedHeight(Toolkit& toolkit);
  // Opens or closes the panel; true when it closed.
  bool Toggle(Form& window, Toolkit& toolkit, User32& user32);

 private:
  // Where the keyboard stood before the panel moved it up.
  std::optional<std::int32_t> top_before_;
};

}  // namespace orv
