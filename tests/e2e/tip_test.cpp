// End-to-end test of the tip window: where it comes to rest and that it
// leaves, what it looks like, and the window effects it carries. Its timing
// and the other tips are tested on the fake clock.
#include "harness.h"

using namespace orv::e2e;

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);

// Width of a headline in Tahoma 15.75 point, as the tip measures it.
int HeadlineWidth(const std::wstring& text) {
  HFONT font = CreateFontW(-21, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, 0, 0,
                           CLEARTYPE_QUALITY, 0, L"Tahoma");
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  return r.right - r.left;
}

TEST(TipWindow, StartTipRestsInTheCornerAndParksAgain) {
  RECT wa{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
  Keyboard keyboard;
  ASSERT_TRUE(keyboard.Start());
  // The tip window of the keyboard process, visible or parked.
  HWND tip = nullptr;
  for (HWND wnd : TopLevelWindows(keyboard.process().pid(), false))
    if (WindowText(wnd) == L"OrvTask Information Window") tip = wnd;
  ASSERT_NE(tip, nullptr) << DescribeTopLevelWindows();
  RECT r{};
  auto where = [&] { return std::to_string(r.left) + "," + std::to_string(r.top); };
  ASSERT_TRUE(WaitFor(
      [&] {
        r = WindowRect(tip);
        return r.right == wa.right - 20 && r.bottom == wa.bottom - 20;
      },
      5000ms, "the start tip in the corner", where));
  EXPECT_EQ(r.bottom - r.top, 127);
  EXPECT_GT(r.right - r.left, 112 + HeadlineWidth(L"для начала редактирования") - 2);

  // A topmost tool window that lets presses through, with rounded corners
  // (the window commands that make it so are checked on their own).
  EXPECT_EQ(GetWindowLongW(tip, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW),
            WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
  EXPECT_NE(WindowFromPoint(Centre(r)), tip);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_TRUE(GetWindowRgn(tip, region) != ERROR && !PtInRegion(region, 0, 0));
  DeleteObject(region);

  // The skin, the icon cut out of its magenta, the orange text.
  const ScreenShot shot = ScreenShot::Capture();
  shot.SaveBmp(ArtifactsDir() + L"\\tip_start.bmp");
  int magenta = 0, orange = 0, icon_ink = 0;
  const COLORREF panel = shot.At(r.left + 30, r.top + 95);
  for (int y = r.top + 37; y < r.top + 85; ++y) {
    for (int x = r.left + 24; x < r.left + 72; ++x) {
      magenta += ColourNear(shot.At(x, y), kMagenta, 40);
      icon_ink += !ColourNear(shot.At(x, y), panel, 30);
    }
  }
  for (int y = r.top + 35; y < r.top + 85; ++y) {
    for (int x = r.left + 80; x < r.right - 30; ++x)
      orange += ColourNear(shot.At(x, y), RGB(255, 128, 0), 40);
  }
  EXPECT_EQ(magenta, 0);
  EXPECT_GT(icon_ink, 300);
  EXPECT_GT(orange, 400);
  EXPECT_GT(GetRValue(panel), 2 * GetGValue(panel)) << DescribeColour(panel);  // dark red

  // Gone again after its five seconds, parked beside the work area.
  EXPECT_TRUE(WaitFor(
      [&] {
        r = WindowRect(tip);
        return r.left == wa.right + 10 && r.bottom == wa.bottom - 20;
      },
      9000ms, "the tip parked again", where));
  EXPECT_TRUE(IsWindowVisible(tip));
}

}  // namespace
