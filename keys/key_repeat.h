// Key repeat and the bounce filter: what a hold and a release of a key on
// the touch screen do, on the time of the system's tick count. Each press
// has its own hold; the bounce filter remembers the keys' last releases.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

namespace orv {

// A held key acts once after the delay, then once per interval.
inline constexpr std::uint32_t kRepeatDelayMs = 500;
inline constexpr std::uint32_t kRepeatIntervalMs = 50;
// A press this soon after a release of the same key is the same touch
// (a finger bouncing on the glass), not a second one.
inline constexpr std::uint32_t kBounceMs = 40;

// A key of a surface: one of the keyboard's character keys or function
// keys, or one of the candidates of a strip.
struct KeyRef {
  enum class Kind { kCharacter, kFunction, kCandidate };
  Kind kind = Kind::kCharacter;
  int index = -1;
  friend bool operator==(const KeyRef&, const KeyRef&) = default;
};

// The beat of one held key.
class KeyHold {
 public:
  KeyHold() = default;
  // The finger went down at `now`; `repeats` says whether holding acts.
  KeyHold(bool repeats, std::uint32_t now) : repeats_(repeats), next_(now + kRepeatDelayMs) {}
  // True when the key is due to act at `now`; the next action is then one
  // interval later.
  bool Due(std::uint32_t now);
  // Milliseconds from `now` until the key acts; nothing when it never will.
  std::optional<std::uint32_t> WaitFrom(std::uint32_t now) const;
  bool Acted() const { return acted_; }
  // Acts no more, and leaves no click to its release.
  void Spend() { repeats_ = false, acted_ = true; }
  // Acts no more; the release still clicks a key that never acted.
  void Stall() { repeats_ = false; }
  // The release clicks nothing (a bounce: its touch has clicked already).
  void NoClick() { acted_ = true; }

 private:
  bool repeats_ = false;
  bool acted_ = false;
  std::uint32_t next_ = 0;
};

template <class Key>
class BounceFilterOf {
 public:
  // True for a press of `key` that is the bounce of its last release.
  bool IsBounce(const Key& key, std::uint32_t now) const {
    for (const auto& r : released_)
      if (r.key == key) return now - r.at < kBounceMs;
    return false;
  }
  void Released(const Key& key, std::uint32_t now) {
    for (auto& r : released_)
      if (r.key == key) return void(r.at = now);
    released_.push_back({key, now});
  }

 private:
  struct Release {
    Key key;
    std::uint32_t at;
  };
  std::vector<Release> released_;  // one a key: as many as the surface has
};
using BounceFilter = BounceFilterOf<KeyRef>;

}  // namespace orv
