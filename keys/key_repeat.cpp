// Key repeat and the bounce filter. Times are the tick count, so every
// comparison is on differences and survives the count wrapping round.
#include "keys/key_repeat.h"

namespace orv {

void KeyRepeat::Press(KeyRef key, bool repeats, std::uint32_t now) {
  Hold h;
  h.key = key;
  h.repeats = repeats;
  h.bounce = last_released_ == key && now - released_at_ < kBounceMs;
  h.next = now + kRepeatDelayMs;
  held_ = h;
}

bool KeyRepeat::Release(std::uint32_t now) {
  if (!held_) return false;
  const Hold h = *held_;
  held_.reset();
  last_released_ = h.key;
  released_at_ = now;
  return !h.acted && !h.bounce;
}

bool KeyRepeat::Due(std::uint32_t now) {
  if (!held_ || !held_->repeats) return false;
  // Not yet due: the difference, taken as signed, is still negative.
  if (static_cast<std::int32_t>(now - held_->next) < 0) return false;
  held_->acted = true;
  // The actions keep their beat though a tick comes late; one that fell a
  // whole interval behind starts the beat afresh rather than catching up
  // with a burst.
  held_->next += kRepeatIntervalMs;
  if (static_cast<std::int32_t>(held_->next - now) <= 0) held_->next = now + kRepeatIntervalMs;
  return true;
}

std::optional<std::uint32_t> KeyRepeat::WaitFrom(std::uint32_t now) const {
  if (!held_ || !held_->repeats) return std::nullopt;
  const auto left = static_cast<std::int32_t>(held_->next - now);
  return left > 0 ? static_cast<std::uint32_t>(left) : 0u;
}

}  // namespace orv
