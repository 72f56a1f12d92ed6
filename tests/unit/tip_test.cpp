// The tip window on the fake desktop: layout, slides, timers and the tips
// the keyboard shows. Its look (skin, icon cut out, styles) is checked end
// to end.
#include "fakes/kbd_fixture.h"
#include "tip/frmTip.h"

namespace orv::fake {
namespace {

const std::wstring kStartTip = L"Щелкните по текстовому полю\r\nдля начала редактирования";

// Desktop 800 x 600, taskbar 30 pixels at the bottom: the fake's defaults.
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
  Point Size() { return {desk.W(tip_wnd).rect.width(), desk.W(tip_wnd).rect.height()}; }
  void LoadKeyboard() {
    t0 = desk.now;
    Load();
  }
};

// The start-up tip: loaded parked, laid out to its two lines, dropped to
// its row off screen, glided into the corner, gone again 5.5 s later.
TEST_F(TipTest, StartTipSlidesInStaysFiveSecondsAndParksAgain) {
  LoadKeyboard();
  ASSERT_TRUE(tip.Loaded());
  EXPECT_EQ(tip.lblInfo[0].Caption(), kStartTip);
  // The longer line (27 characters of 10 pixels) sets the width; the icon's
  // row the height.
  EXPECT_EQ(Size(), (Point{112 + 270, 127}));
  EXPECT_EQ(At(), (Point{800 - 382 - 20, 570 - 127 - 20}));
  const auto dropped = std::find_if(desk.moves.begin(), desk.moves.end(),
                                    [](const Desktop::Move& m) { return m.rect.top == 423; });
  ASSERT_NE(dropped, desk.moves.end());
  EXPECT_GT(dropped->rect.left, 800);
  EXPECT_GE(desk.now - t0, 1000u);  // two slides: the layout's and ShowInfoTTip's own

  // On screen it is repainted every 100 ms.
  const auto repaints = tip.RepaintRequests();
  timers.Wait(4900 - (desk.now - t0));
  EXPECT_EQ(At(), (Point{398, 423}));
  EXPECT_GE(tip.RepaintRequests() - repaints, 30u);
  timers.Wait(700);
  EXPECT_EQ(At(), (Point{810, 423}));
  EXPECT_FALSE(tip.tmrHide.Enabled());
  const auto parked = tip.RepaintRequests();
  timers.Wait(1000);
  EXPECT_EQ(tip.RepaintRequests(), parked);
}

// tmrHide coming due inside a slide in: the slide out runs nested, the slide
// in still ends in the corner, and the tip stays another five seconds.
TEST_F(TipTest, HidingInsideASlideInEndsInTheCornerAndRestartsTheCountdown) {
  LoadKeyboard();
  timers.Wait(4700 - (desk.now - t0));
  desk.moves.clear();
  kbd->ShowInfoTTip(kStartTip, 1);  // the same text: one slide on the spot
  EXPECT_TRUE(std::any_of(desk.moves.begin(), desk.moves.end(),
                          [](const Desktop::Move& m) { return m.rect.left == 810; }));
  EXPECT_EQ(At(), (Point{398, 423}));
  EXPECT_TRUE(tip.tmrHide.Enabled());
  timers.Wait(4800);
  EXPECT_EQ(At(), (Point{398, 423}));
  timers.Wait(800);
  EXPECT_EQ(At(), (Point{810, 423}));
}

}  // namespace
}  // namespace orv::fake
