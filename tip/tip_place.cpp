// Where a tip comes to rest.
#include "tip/tip_place.h"

#include <algorithm>
#include <array>

namespace orv {

bool Intersects(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

namespace {
bool Inside(const Rect& outer, const Rect& r) {
  return r.left >= outer.left && r.top >= outer.top && r.right <= outer.right &&
         r.bottom <= outer.bottom;
}
// Pulls a coordinate into [lo, hi] without failing when the range is empty.
std::int32_t Within(std::int32_t v, std::int32_t lo, std::int32_t hi) {
  return std::max(lo, std::min(v, hi));
}
}  // namespace

Point TipRestingPlace(const Rect& work_area, Point size, const std::optional<Rect>& keyboard) {
  const Point corner{work_area.right - size.x - kTipCornerMargin,
                     work_area.bottom - size.y - kTipCornerMargin};
  auto at = [&](Point p) { return Rect{p.x, p.y, p.x + size.x, p.y + size.y}; };
  if (!keyboard || !Intersects(at(corner), *keyboard)) return corner;

  const Rect& k = *keyboard;
  // Off the corner the tip keeps as close to it as the work area allows.
  const std::int32_t max_x = work_area.right - size.x, max_y = work_area.bottom - size.y;
  const std::int32_t x = Within(corner.x, work_area.left, max_x);
  const std::int32_t y = Within(corner.y, work_area.top, max_y);
  const std::array<Point, 4> places{{
      {x, k.top - kTipKeyboardGap - size.y},   // above
      {k.left - kTipKeyboardGap - size.x, y},  // left of it
      {k.right + kTipKeyboardGap, y},          // right of it
      {x, k.bottom + kTipKeyboardGap},         // below
  }};
  for (const Point& p : places) {
    if (Inside(work_area, at(p)) && !Intersects(at(p), k)) return p;
  }
  return corner;
}

}  // namespace orv
