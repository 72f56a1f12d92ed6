// End-to-end test of where tips go on the keyboard's screen: with the
// keyboard in the bottom-right corner, where car layouts put it, a tip rests
// above it and leaves its keys free.
#include "harness.h"

namespace orv::e2e {
namespace {

TEST(ScreenFit, TipRestsAboveAKeyboardInTheCorner) {
  RECT wa{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
  TargetApp target;
  ASSERT_TRUE(target.Start());
  Keyboard keyboard;
  ASSERT_TRUE(keyboard.Start());
  const RECT k0 = keyboard.rect();
  SetWindowPos(keyboard.window, nullptr, wa.right - (k0.right - k0.left),
               wa.bottom - (k0.bottom - k0.top), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(WaitFor([&] { return keyboard.rect().right == wa.right; }, 3000ms,
                      "the keyboard in the corner"));
  const HWND tip = FindTopLevelWindow(keyboard.process.pid, L"OrvTask Information Window", false);
  ASSERT_NE(tip, nullptr) << DescribeTopLevelWindows();

  target.TouchField(kEdit1);  // with Tips on, "Редактируем текст"
  const RECT k = keyboard.rect();
  RECT r{};
  ASSERT_TRUE(WaitFor(
      [&] {
        r = WindowRect(tip);
        return r.right == wa.right - 20 && r.bottom == k.top - 10;
      },
      5000ms, "the tip at rest above the keyboard", [&] { return DescribeWindow(tip); }));
  RECT both{};
  EXPECT_FALSE(IntersectRect(&both, &r, &k));
  EXPECT_TRUE(r.left >= wa.left && r.top >= wa.top);
  ScreenShot().SaveBmp(ArtifactsDir() + L"\\tip_above_keyboard.bmp");
}

}  // namespace
}  // namespace orv::e2e
