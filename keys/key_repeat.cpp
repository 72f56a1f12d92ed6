// Key repeat. Times are the tick count, so every comparison is on
// differences and survives the count wrapping round.
#include "keys/key_repeat.h"

namespace orv {

bool KeyHold::Due(std::uint32_t now) {
  if (!repeats_) return false;
  // Not yet due: the difference, taken as signed, is still negative.
  if (static_cast<std::int32_t>(now - next_) < 0) return false;
  acted_ = true;
  // The actions keep their beat though a tick comes late; one that fell a
  // whole interval behind starts the beat afresh rather than catching up
  // with a burst.
  next_ += kRepeatIntervalMs;
  if (static_cast<std::int32_t>(next_ - now) <= 0) next_ = now + kRepeatIntervalMs;
  return true;
}

std::optional<std::uint32_t> KeyHold::WaitFrom(std::uint32_t now) const {
  if (!repeats_) return std::nullopt;
  const auto left = static_cast<std::int32_t>(next_ - now);
  return left > 0 ? static_cast<std::uint32_t>(left) : 0u;
}

}  // namespace orv
