// Where a tip comes to rest: the bottom-right corner of the work area,
// unless the keyboard stands there.
#pragma once
#include <optional>

#include "platform/types.h"

namespace orv {

// The tip keeps this far from the work area's edges.
inline constexpr int kTipCornerMargin = 20;
// And this far from the keyboard it steps aside for.
inline constexpr int kTipKeyboardGap = 10;

bool Intersects(const Rect& a, const Rect& b);

// Top-left of a tip of `size` at rest in `work_area`. A tip in the corner
// that would cover the `keyboard` rests just above it instead, or
// beside it (left, then right) or below it where there is no room above,
// always inside the work area; when nothing fits, the corner.
Point TipRestingPlace(const Rect& work_area, Point size, const std::optional<Rect>& keyboard);

}  // namespace orv
