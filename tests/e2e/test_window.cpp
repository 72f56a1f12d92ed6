// End-to-end tests of the keyboard window itself: its shape, single instance
// and background picture.
#include "harness.h"

namespace orv::e2e {
namespace {

// Borderless and topmost, it takes no focus from the application in front,
// and a second start from its folder ends without showing a window. Two
// places with no key and no control, where only the background shows, once
// painted and no longer changing: the designed one, the picture's, and the
// designed one again for a file that is no picture.
TEST(KeyboardWindow, BorderlessTopmostSingleAndOrvKeyJpgReplacesTheBackground) {
  TargetApp target;
  ASSERT_TRUE(target.Start());
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == target.window; }, 5000ms,
                      "the target to be the foreground window"));
  std::string junk(4096, '\0');
  for (size_t i = 0; i < junk.size(); ++i) junk[i] = char(i * 7919 % 251);
  std::array<COLORREF, 2> seen[3]{};
  for (int run = 0; run < 3; ++run) {
    Keyboard keyboard;
    if (run > 0)
      WriteFile(keyboard.folder.File(L"OrvKey.jpg"), run == 1 ? *ReadFile(TestJpeg()) : junk);
    ASSERT_TRUE(keyboard.Start());
    ASSERT_TRUE(WaitSteady(
        [&] {
          const ScreenShot shot;
          const POINT a = keyboard.ToScreen({20, 20}), b = keyboard.ToScreen({300, 205});
          return std::array{shot.At(a.x, a.y), shot.At(b.x, b.y)};
        },
        seen[run], "the keyboard's background to be painted"));
    EXPECT_TRUE(keyboard.process.Running());
    if (run > 0) continue;
    const HWND wnd = keyboard.window;
    EXPECT_EQ(GetWindowLongW(wnd, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
    EXPECT_NE(GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_NE(GetForegroundWindow(), wnd) << "the keyboard took the focus from the target";
    Process second = StartProcess(keyboard.exe(), L"", keyboard.folder.path);
    bool shown = false;
    EXPECT_TRUE(
        WaitFor([&] { return (shown |= !TopLevelWindows(second.pid).empty()), !second.Running(); },
                5000ms, "the second instance to exit"));
    EXPECT_FALSE(shown) << "the second instance showed a window";
    EXPECT_TRUE(IsWindowVisible(wnd));
  }
  for (COLORREF c : seen[1]) EXPECT_TRUE(ScreenShot::Near(c, kTestJpegColour));
  EXPECT_FALSE(ScreenShot::Near(seen[0][0], kTestJpegColour));
  EXPECT_EQ(seen[2], seen[0]) << "with a broken OrvKey.jpg";
}

}  // namespace
}  // namespace orv::e2e
