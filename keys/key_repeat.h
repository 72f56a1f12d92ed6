// Key repeat and the bounce filter: what a press, a hold and a release of a
// key on the touch screen do, on the time of the system's tick count.
#pragma once
#include <cstdint>
#include <optional>

namespace orv {

// A held key acts once after the delay, then once per interval.
inline constexpr std::uint32_t kRepeatDelayMs = 500;
inline constexpr std::uint32_t kRepeatIntervalMs = 50;
// A press this soon after a release of the same key is the same touch
// (a finger bouncing on the glass), not a second one.
inline constexpr std::uint32_t kBounceMs = 40;

// A key of the keyboard: one of the character keys or of the function keys.
struct KeyRef {
  enum class Kind { kCharacter, kFunction };
  Kind kind = Kind::kCharacter;
  int index = -1;
  friend bool operator==(const KeyRef&, const KeyRef&) = default;
};

class KeyRepeat {
 public:
  // The finger went down on a key. `repeats` says whether holding it repeats.
  void Press(KeyRef key, bool repeats, std::uint32_t now);
  // The finger came up or slid off the key: the hold ends. The answer says
  // whether the touch still has its one action to take (a click): not after
  // it repeated, and not for a bounce of the previous touch.
  bool Release(std::uint32_t now);
  // Ends the hold without an action, as when the application being typed
  // into stops answering.
  void Stop() { held_.reset(); }
  // True when the held key is due to act at `now`; the next action is then
  // one interval later.
  bool Due(std::uint32_t now);
  // Milliseconds from `now` until the held key acts, or nothing when no key
  // is held or the held key does not repeat.
  std::optional<std::uint32_t> WaitFrom(std::uint32_t now) const;
  bool Holding() const { return held_.has_value(); }
  std::optional<KeyRef> Held() const {
    return held_ ? std::optional<KeyRef>(held_->key) : std::nullopt;
  }

 private:
  struct Hold {
    KeyRef key;
    bool repeats = false;
    bool bounce = false;
    bool acted = false;
    std::uint32_t next = 0;
  };
  std::optional<Hold> held_;
  std::optional<KeyRef> last_released_;
  std::uint32_t released_at_ = 0;
};

}  // namespace orv
