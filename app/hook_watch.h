// The low-level mouse hook can vanish without a word: the system drops one
// whose callback it found slow, and tells nobody. Raw input, which it never
// drops, says when a press went by; a press the hook did not report around
// the same time means the hook is gone, and capture would die with it.
#pragma once
#include <algorithm>
#include <cstdint>
#include <optional>

namespace orv {

class HookWatch {
 public:
  // How long the two reports of one press may lie apart.
  static constexpr std::uint32_t kGraceMs = 250;

  void HookPress(std::uint32_t now) {
    last_hook_ = now;
    raw_.reset();
  }
  void RawPress(std::uint32_t now) {
    if (!raw_) raw_ = now;
  }
  // Asked once the grace has passed after a raw press: true when the hook
  // reported nothing near it, before or after. Raw input carries the
  // press's own time, the hook's report the later time it was posted, and
  // the report is usually handled first: a press reported so is not lost.
  bool HookLost(std::uint32_t now) {
    if (!raw_ || now - *raw_ < kGraceMs) return false;
    const bool reported =
        last_hook_ && std::min(*raw_ - *last_hook_, *last_hook_ - *raw_) <= kGraceMs;
    raw_.reset();
    return !reported;
  }

 private:
  std::optional<std::uint32_t> last_hook_;
  std::optional<std::uint32_t> raw_;
};

}  // namespace orv
