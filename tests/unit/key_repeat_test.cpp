#include "keys/key_repeat.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

constexpr KeyRef kA{KeyKind::Character, 3};
constexpr KeyRef kB{KeyKind::Character, 4};

// A hold of two seconds acts at the delay and then once per interval; the
// release that ends it adds nothing. A short touch acts at its release.
TEST(KeyRepeat, HoldActsOnScheduleAndShortTouchClicksOnce) {
  KeyRepeat r;
  const std::uint32_t t0 = 0xFFFFFF00u;  // the tick count wraps during the hold
  r.Press(kA, true, t0);
  int actions = 0;
  for (std::uint32_t t = 0; t <= 2000; t += 10) actions += r.Due(t0 + t) ? 1 : 0;
  EXPECT_EQ(actions, 1 + (2000 - 500) / 50);
  EXPECT_FALSE(r.Release(t0 + 2005));
  EXPECT_FALSE(r.Holding());

  r.Press(kA, true, 5000);
  EXPECT_FALSE(r.Due(5499));
  EXPECT_EQ(r.WaitFrom(5100), 400u);
  EXPECT_TRUE(r.Release(5120));
}

// Keys that do not repeat never act while held; stopping a hold (the target
// stopped answering) ends it without a click.
TEST(KeyRepeat, NonRepeatingKeysAndStop) {
  KeyRepeat r;
  r.Press(kA, false, 0);
  EXPECT_FALSE(r.Due(3000));
  EXPECT_FALSE(r.WaitFrom(3000).has_value());
  EXPECT_TRUE(r.Release(3000));

  r.Press(kB, true, 10000);
  EXPECT_TRUE(r.Due(10500));
  r.Stop();
  EXPECT_FALSE(r.Due(10600));
  EXPECT_FALSE(r.Release(10610));
}

// A press within the bounce time after a release of the same key is the
// same touch; another key, or the same key later, counts.
TEST(KeyRepeat, BounceOnTheSameKeyTypesOnce) {
  KeyRepeat r;
  r.Press(kA, true, 0);
  EXPECT_TRUE(r.Release(80));
  r.Press(kA, true, 100);  // 20 ms later
  EXPECT_FALSE(r.Release(130));
  r.Press(kB, true, 150);  // another key 20 ms later
  EXPECT_TRUE(r.Release(200));
  r.Press(kB, true, 200 + kBounceMs);
  EXPECT_TRUE(r.Release(300));
}

}  // namespace
}  // namespace orv
