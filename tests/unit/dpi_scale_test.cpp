// The keyboard on screens of other densities: keys that keep touching at
// every scale, and a move between densities that loses nothing.
#include "fakes/kbd_fixture.h"

namespace orv::fake {
namespace {

TEST_F(KbdTest, EveryDensityKeepsTheKeysTouchingAndAMoveBackRestoresTheDesign) {
  Load();
  std::vector<Rect> designed;
  for (const auto& key : kbd->lblX) designed.push_back(key.Bounds());
  FKey(kKeyOptions);
  ASSERT_EQ(kbd->Height(), 401);
  for (int dpi : {120, 144, 192, 96}) {
    desk.dpi = dpi;
    kbd->FollowDpi(Rect{40, 50, 0, 0});
    EXPECT_EQ(kbd->Left(), 40);
    EXPECT_EQ(kbd->Top(), 50);
    EXPECT_EQ(kbd->Width(), 632 * dpi / 96) << dpi;
    EXPECT_EQ(kbd->Height(), (401 * dpi + 48) / 96) << "the panel stays open at " << dpi;
    // 7.5 twips a pixel at 192 DPI: neighbours in a row overlap by one
    // design step, never by a gap.
    for (std::size_t i = 1; i < kbd->lblX.size(); ++i) {
      const Rect a = kbd->lblX[i - 1].Bounds(), b = kbd->lblX[i].Bounds();
      if (a.top != b.top) continue;
      EXPECT_GE(a.right, b.left) << "keys " << i - 1 << ", " << i << " at " << dpi;
    }
  }
  for (std::size_t i = 0; i < designed.size(); ++i) EXPECT_EQ(kbd->lblX[i].Bounds(), designed[i]);
}

}  // namespace
}  // namespace orv::fake
