// The tip window's timers on the fake clock. Where it rests and its look are
// checked end to end.
#include "fakes/kbd_fixture.h"
#include "tip/frmTip.h"

namespace orv::fake {
namespace {

const std::wstring kStartTip = L"Щелкните по текстовому полю\r\nдля начала редактирования";

class TipTest : public KbdTest {
 protected:
  FakeTimers timers{desk};
  FrmTip tip{ports, kelp};
  Hwnd tip_wnd = 0;
  std::uint32_t t0 = 0;

  void SetUp() override {
    desk.tick_ms = 1;
    tip_wnd = desk.AddWindow(L"OrvKeyTip", kTipTitle, 0, Rect{0, 0, 584, 185});
    tip.AttachWindow(tip_wnd);
    tip.picIcon.AttachWindow(desk.AddWindow(L"OrvKeyTipIcon", L"", tip_wnd, Rect{24, 37, 74, 87}));
    timers.Add(tip.tmrHide);
    timers.Add(tip.tmrUpdate);
    tip_window = &tip;
  }
  Point At() { return {desk.W(tip_wnd).rect.left, desk.W(tip_wnd).rect.top}; }
  void LoadKeyboard() {
    t0 = desk.now;
    Load();
  }
};

// tmrHide coming due inside a slide in: the slide out runs nested, the slide
// in still ends in the corner, and the tip stays another five seconds; parked,
// it is no longer repainted.
TEST_F(TipTest, HidingInsideASlideInEndsInTheCornerAndRestartsTheCountdown) {
  LoadKeyboard();
  timers.Wait(4700 - (desk.now - t0));
  const Point corner = At();
  desk.moves.clear();
  kbd->ShowInfoTTip(kStartTip, 1);  // the same text: one slide on the spot
  EXPECT_TRUE(std::any_of(desk.moves.begin(), desk.moves.end(),
                          [](const Desktop::Move& m) { return m.rect.left > 800; }));
  EXPECT_EQ(At(), corner);
  timers.Wait(4800);
  EXPECT_EQ(At(), corner);
  timers.Wait(800);
  EXPECT_GT(At().x, 800);
  const auto parked = tip.RepaintRequests();
  timers.Wait(1000);
  EXPECT_EQ(tip.RepaintRequests(), parked);
}

}  // namespace
}  // namespace orv::fake
