// End-to-end tests of the keyboard window itself: its shape, single instance,
// background picture, dragging and closing.
#include "harness.h"

namespace orv::e2e {
namespace {

TEST(KeyboardWindow, BorderlessTopmostWithoutFocusSingleDragsAndCloses) {
  TargetApp target;
  ASSERT_TRUE(target.Start());
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == target.window; }, 5000ms,
                      "the target to be the foreground window"));
  Keyboard keyboard;
  ASSERT_TRUE(keyboard.Start());
  const HWND wnd = keyboard.window;
  const RECT r = keyboard.rect();
  EXPECT_EQ(r.right - r.left, 632) << DescribeWindow(wnd);
  EXPECT_EQ(r.bottom - r.top, 217) << DescribeWindow(wnd);
  EXPECT_EQ(GetWindowLongW(wnd, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
  EXPECT_NE(GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_NE(GetForegroundWindow(), wnd) << "the keyboard took the focus from the target";

  // A second start from the same folder ends without showing a window.
  Process second = StartProcess(keyboard.exe(), L"", keyboard.folder.path);
  HWND shown = nullptr;
  EXPECT_TRUE(WaitFor(
      [&] {
        for (HWND w : TopLevelWindows(second.pid)) shown = w;
        return !second.Running();
      },
      5000ms, "the second instance to exit"));
  EXPECT_EQ(shown, nullptr) << "the second instance showed " << DescribeWindow(shown);
  EXPECT_TRUE(IsWindowVisible(wnd));

  // Dragging the bare background moves the window by the finger's offset,
  // in whichever direction keeps it on the 1024 x 768 screen; the finger
  // lifts only once the window has followed it there.
  const POINT offset{r.left > 196 ? -100 : 100, r.top > 275 ? -120 : 120};
  const POINT from = keyboard.ToScreen({20, 30});
  auto moved = [&] {
    return keyboard.rect().left == r.left + offset.x && keyboard.rect().top == r.top + offset.y;
  };
  SendMouse(from, MOUSEEVENTF_LEFTDOWN);
  for (int i = 1; i <= 12; ++i) {
    std::this_thread::sleep_for(30ms);
    SendMouse({from.x + offset.x * i / 12, from.y + offset.y * i / 12}, 0);
  }
  EXPECT_TRUE(WaitFor(moved, 3000ms, "the window to follow the finger"));
  SendMouse({from.x + offset.x, from.y + offset.y}, MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(keyboard.WaitSettled());
  EXPECT_TRUE(moved()) << "after the finger lifted: " << DescribeWindow(wnd);

  PostMessageW(wnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(keyboard.process.WaitForExit());
}

// Two places with no key and no control, where only the background shows,
// once painted and no longer changing: the designed one, the picture's, and
// the designed one again for a file that is no picture.
TEST(KeyboardWindow, OrvKeyJpgReplacesTheBackgroundUnlessItIsNoPicture) {
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
  }
  for (COLORREF c : seen[1]) EXPECT_TRUE(ScreenShot::Near(c, kTestJpegColour)) << DescribeColour(c);
  EXPECT_FALSE(ScreenShot::Near(seen[0][0], kTestJpegColour)) << DescribeColour(seen[0][0]);
  EXPECT_EQ(seen[2], seen[0]) << "with a broken OrvKey.jpg";
}

}  // namespace
}  // namespace orv::e2e
