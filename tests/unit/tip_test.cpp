// The tip window on the fake desktop: layout, slides, timers and the tips
// the keyboard shows.
#include <memory>

#include "fakes/fake_timers.h"
#include "fakes/kbd_fixture.h"
#include "tip/frmTip.h"

namespace orv::fake {
namespace {

const std::wstring kStartTip = L"Щелкните по текстовому полю\r\nдля начала редактирования";

// Desktop 800 x 600, taskbar 30 pixels at the bottom: the fake's defaults.
class TipTest : public KbdTest {
 protected:
  FakeTimers timers{desk};
  std::unique_ptr<FrmTip> tip;
  Hwnd tip_wnd = 0;
  std::uint32_t t0 = 0;

  void SetUp() override {
    desk.tick_ms = 1;
    tip = std::make_unique<FrmTip>(ports, kelp);
    tip_wnd = desk.AddWindow(L"OrvKeyTip", kTipTitle, 0, Rect{0, 0, 584, 185});
    tip->AttachWindow(tip_wnd);
    tip->picIcon.AttachWindow(desk.AddWindow(L"OrvKeyTipIcon", L"", tip_wnd, Rect{24, 37, 74, 87}));
    for (int n = 1; n <= kTipIcons; ++n) {
      // A disc of its own size on magenta.
      auto& bmp = desk.bitmaps[tip->imgIcons.ListImage(n)];
      bmp = {48, 48, {}};
      for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 48; ++x) {
          const int dx = x - 24, dy = y - 24;
          bmp.pixels.push_back(dx * dx + dy * dy < (10 + 2 * n) * (10 + 2 * n) ? 0x00404040u
                                                                               : kMagenta);
        }
      }
    }
    timers.Add(tip->tmrHide);
    timers.Add(tip->tmrUpdate);
    tip_window = tip.get();
  }
  Point At() { return {desk.W(tip_wnd).rect.left, desk.W(tip_wnd).rect.top}; }
  Point Size() { return {desk.W(tip_wnd).rect.width(), desk.W(tip_wnd).rect.height()}; }
  std::size_t OpaquePixels(int icon) {
    std::size_t n = 0;
    for (Color c : desk.bitmaps[tip->imgIcons.ListImage(icon)].pixels) n += c != kMagenta;
    return n;
  }
  void LoadKeyboard() {
    t0 = desk.now;
    Load();
  }
};

// The start-up tip: loaded parked, laid out to its two lines, dropped to
// its row off screen, glided into the corner, gone again 5.5 s later.
TEST_F(TipTest, StartTipSlidesInStaysFiveSecondsAndParksAgain) {
  EXPECT_FALSE(tip->Loaded());
  LoadKeyboard();
  ASSERT_TRUE(tip->Loaded());
  ASSERT_FALSE(desk.moves.empty());
  EXPECT_EQ(desk.moves[0].rect, (Rect{810, 405, 1394, 590}));  // parked at its design size
  EXPECT_EQ(desk.W(tip_wnd).alpha, 223);
  EXPECT_EQ(desk.W(tip_wnd).ex_style & 0x80020, 0x80020);
  EXPECT_EQ(desk.W(tip_wnd).set_pos.back(), std::make_pair(kHwndTopmost, 19u));
  EXPECT_TRUE(tip->Visible());

  EXPECT_EQ(tip->HeadlineFont(), L"Tahoma");
  EXPECT_EQ(tip->lblInfo[0].Caption(), kStartTip);
  // The longer line (27 characters of 10 pixels) sets the width; the icon's
  // row the height.
  EXPECT_EQ(Size(), (Point{112 + 270, 127}));
  EXPECT_EQ(At(), (Point{800 - 382 - 20, 570 - 127 - 20}));
  const auto dropped = std::find_if(desk.moves.begin(), desk.moves.end(),
                                    [](const Desktop::Move& m) { return m.rect.top == 423; });
  ASSERT_NE(dropped, desk.moves.end());
  EXPECT_GT(dropped->rect.left, 800);
  EXPECT_GE(desk.now - t0, 1000u);  // two slides: the layout's and ShowInfoTTip's own

  EXPECT_EQ(tip->picIcon.GetPicture(), tip->imgIcons.ListImage(1));
  EXPECT_EQ(desk.RegionPixels(desk.W(tip->picIcon.hWnd()).region).size(), OpaquePixels(1));
  EXPECT_FALSE(tip->imgSkin[9].Visible());
  EXPECT_EQ(tip->imgSkin[2].Left(), 382 - 113);
  EXPECT_EQ(tip->imgSkin[1].Width(), 382 - 113);
  EXPECT_EQ(tip->imgSkin[7].Top(), 127 - 24);
  EXPECT_EQ(tip->imgSkin[5].Height(), 127 - 24);
  EXPECT_EQ(tip->imgSkin[3].Height(), 127 - 90);
  EXPECT_EQ(tip->imgSkin[9].Width(), 382 - 48);
  EXPECT_EQ(desk.round_rects.back(), (std::array<int, 6>{0, 0, 381, 126, 5, 5}));

  // On screen it is repainted every 100 ms.
  const auto repaints = tip->RepaintRequests();
  timers.Wait(4900 - (desk.now - t0));
  EXPECT_EQ(At(), (Point{398, 423}));
  EXPECT_GE(tip->RepaintRequests() - repaints, 30u);
  timers.Wait(700);
  EXPECT_EQ(At(), (Point{810, 423}));
  EXPECT_FALSE(tip->tmrHide.Enabled());
  const auto parked = tip->RepaintRequests();
  timers.Wait(1000);
  EXPECT_EQ(tip->RepaintRequests(), parked);

  tip->imgSkin_MouseDown(3);
  ASSERT_FALSE(desk.sent.empty());
  EXPECT_EQ(desk.sent.back().wnd, tip_wnd);
  EXPECT_EQ(desk.sent.back().msg, wm::kNcLButtonDown);
}

TEST_F(TipTest, CaptureShowsTheEditingTipWhenTipsAreTicked) {
  LoadKeyboard();
  const Hwnd app = desk.AddWindow(L"App", L"App", 0, Rect{0, 0, 300, 200});
  const Hwnd field = desk.AddWindow(L"Edit", L"hello", app, Rect{10, 10, 200, 40});
  Touch(field);
  EXPECT_EQ(tip->lblInfo[0].Caption(), L"Редактируем текст");
  EXPECT_EQ(tip->picIcon.GetPicture(), tip->imgIcons.ListImage(2));
  EXPECT_EQ(desk.RegionPixels(desk.W(tip->picIcon.hWnd()).region).size(), OpaquePixels(2));
  EXPECT_EQ(Size(), (Point{112 + 170, 127}));
  EXPECT_EQ(At(), (Point{800 - 282 - 20, 423}));

  kbd->chkFont[kChkTips].SetValue(0);
  tip->lblInfo[0].SetCaption(L"x");
  const auto moves = desk.moves.size();
  Touch(field);
  EXPECT_EQ(tip->lblInfo[0].Caption(), L"x");
  EXPECT_EQ(desk.moves.size(), moves);
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
  EXPECT_TRUE(tip->tmrHide.Enabled());
  timers.Wait(4800);
  EXPECT_EQ(At(), (Point{398, 423}));
  timers.Wait(800);
  EXPECT_EQ(At(), (Point{810, 423}));
}

// A taskbar on the right: the tip rests over the taskbar after hiding, is
// still repainted there, and the next tip resizes in place and glides on.
TEST_F(TipTest, TaskbarOnTheRight) {
  desk.work_area = {0, 0, 740, 600};
  LoadKeyboard();
  EXPECT_EQ(At(), (Point{740 - 382 - 20, 600 - 127 - 20}));
  timers.Wait(5600 - (desk.now - t0));
  EXPECT_EQ(At(), (Point{750, 453}));
  const auto repaints = tip->RepaintRequests();
  timers.Wait(500);
  EXPECT_GT(tip->RepaintRequests(), repaints);

  desk.moves.clear();
  kbd->ShowInfoTTip(L"История удалена", 2);
  ASSERT_FALSE(desk.moves.empty());
  EXPECT_EQ(desk.moves[0].rect, (Rect{750, 453, 750 + 262, 453 + 127}));  // resized in place
  EXPECT_EQ(At(), (Point{740 - 262 - 20, 453}));
}

}  // namespace
}  // namespace orv::fake
