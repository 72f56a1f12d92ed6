// End-to-end test of the tip window: where it comes to rest, clear of the
// keyboard, and that it leaves, what it looks like, and its window effects. Its timing
// and the other tips are tested on the fake clock, a tip above a keyboard in
// the corner at 144 DPI.
#include "harness.h"

namespace orv::e2e {
namespace {

TEST(TipWindow, StartTipRestsInTheCornerAndParksAgain) {
  RECT wa{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
  Keyboard keyboard;
  ASSERT_TRUE(keyboard.Start(false));
  const HWND tip = FindTopLevelWindow(keyboard.process.pid, L"OrvTask Information Window", false);
  ASSERT_NE(tip, nullptr) << DescribeTopLevelWindows();
  RECT r{}, k = keyboard.rect(), both{};
  auto where = [&] { return DescribeWindow(tip); };
  // In the corner, or just above a keyboard that stands there.
  ASSERT_TRUE(WaitFor(
      [&] {
        r = WindowRect(tip);
        return r.right == wa.right - 20 && (r.bottom == wa.bottom - 20 || r.bottom == k.top - 10);
      },
      5000ms, "the start tip in the corner", where));
  EXPECT_FALSE(IntersectRect(&both, &r, &k));  // never over the keys
  const LONG row = r.bottom;

  // A topmost tool window that lets presses through, with rounded corners.
  EXPECT_EQ(GetWindowLongW(tip, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW),
            WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
  EXPECT_NE(WindowFromPoint(Centre(r)), tip);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_TRUE(GetWindowRgn(tip, region) != ERROR && !PtInRegion(region, 0, 0));
  DeleteObject(region);

  // The skin, the icon cut out of its magenta, the orange text.
  const ScreenShot shot;
  shot.SaveBmp(ArtifactsDir() + L"\\tip_start.bmp");
  const COLORREF panel = shot.At(r.left + 30, r.top + 95);
  const RECT icon{r.left + 24, r.top + 37, r.left + 72, r.top + 85};
  EXPECT_EQ(shot.Count(icon, RGB(255, 0, 255)), 0);
  EXPECT_LT(shot.Count(icon, panel, 30), 48 * 48 - 300);  // the icon's ink
  EXPECT_GT(shot.Count({r.left + 80, r.top + 35, r.right - 30, r.top + 85}, RGB(255, 128, 0)), 400);
  EXPECT_GT(GetRValue(panel), 2 * GetGValue(panel));  // dark red

  // Gone again after its five seconds along its row, parked beside the work area.
  EXPECT_TRUE(WaitFor(
      [&] {
        r = WindowRect(tip);
        return r.left == wa.right + 10 && r.bottom == row;
      },
      9000ms, "the tip parked again", where));
  EXPECT_TRUE(IsWindowVisible(tip));
}

}  // namespace
}  // namespace orv::e2e
