// The tip window's timers on the fake clock. Where it rests and its look are
// checked end to end.
#include "fakes/kbd_fixture.h"
#include "tip/tip_place.h"

namespace orv::fake {
namespace {

const std::wstring kStartTip = L"Щелкните по текстовому полю\r\nдля начала редактирования";

class TipTest : public KbdTest {
 protected:
  FakeTimers timers{desk};
  FrmTip tip{ports, kelp};

  void SetUp() override {
    desk.tick_ms = 1;
    AttachTip(tip);
    timers.Add(tip.tmrHide);
    timers.Add(tip.tmrUpdate);
  }
  Point At() { return {desk.W(tip.hWnd()).rect.left, desk.W(tip.hWnd()).rect.top}; }
};

// tmrHide coming due inside a slide in: the slide out runs nested, the slide
// in still ends in the corner, and the tip stays another five seconds; parked,
// it is no longer repainted.
TEST_F(TipTest, HidingInsideASlideInEndsInTheCornerAndRestartsTheCountdown) {
  const auto t0 = desk.now;
  Load();
  timers.Wait(4700 - (desk.now - t0));
  const Point corner = At();
  desk.moves.clear();
  kbd->ShowInfoTTip(kStartTip, 1);  // the same text: one slide on the spot
  EXPECT_TRUE(std::any_of(desk.moves.begin(), desk.moves.end(),
                          [](const Rect& m) { return m.left > 800; }));
  EXPECT_EQ(At(), corner);
  timers.Wait(4800);
  EXPECT_EQ(At(), corner);
  timers.Wait(800);
  EXPECT_GT(At().x, 800);
  const auto parked = tip.RepaintRequests();
  timers.Wait(1000);
  EXPECT_EQ(tip.RepaintRequests(), parked);
}

// Work area 800 x 570, a tip of 300 x 127: the corner tip is (480, 423)-(780, 550).
TEST(TipRestingPlace, StepsAsideForTheKeyboardInsideTheWorkArea) {
  const Rect wa{0, 0, 800, 570};
  const Point size{300, 127};
  const struct {
    std::optional<Rect> keyboard;
    Point at;
  } cases[] = {
      {std::nullopt, {480, 423}},
      {Rect{0, 0, 632, 217}, {480, 423}},       // elsewhere: the corner
      {Rect{780, 550, 1000, 700}, {480, 423}},  // touching corners do not cover
      {Rect{168, 353, 800, 570}, {480, 216}},   // in the corner: just above
      {Rect{400, 100, 800, 570}, {90, 423}},    // tall: to its left
      {Rect{0, 100, 490, 570}, {500, 423}},     // wide too: to its right
      {Rect{0, 0, 800, 560}, {480, 423}},       // nowhere free: the corner
  };
  for (const auto& c : cases) EXPECT_EQ(TipRestingPlace(wa, size, c.keyboard), c.at);
}

}  // namespace
}  // namespace orv::fake
