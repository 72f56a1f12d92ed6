// End-to-end tests of the program's own windows: the keyboard's shape,
// single instance and background picture, the tip window, and both on a
// screen of another density.
#include "harness.h"

namespace orv::e2e {
namespace {

// Borderless and topmost, it takes no focus from the application in front,
// and a second start from its folder ends without showing a window. Two
// places with no key and no control, where only the background shows, once
// painted and no longer changing: the designed one, the picture's, and the
// designed one again for a file that is no picture and for a picture whose
// header claims 40,000 x 40,000 pixels (refused before any decoder sees it).
TEST(KeyboardWindow, BorderlessTopmostSingleAndOrvKeyJpgReplacesTheBackground) {
  TargetApp target;
  ASSERT_TRUE(target.Start());
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == target.window; }, 5000ms,
                      "the target to be the foreground window"));
  const std::string junk(4096, 'x');
  std::string huge = *ReadFile(TestJpeg());
  const auto sof = huge.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  huge.replace(sof + 5, 4, "\x9C\x40\x9C\x40");
  const std::string pictures[] = {"", *ReadFile(TestJpeg()), junk, huge};
  std::array<COLORREF, 2> seen[4]{};
  for (int run = 0; run < 4; ++run) {
    Keyboard keyboard;
    if (run > 0) WriteFile(keyboard.folder.File(L"OrvKey.jpg"), pictures[run]);
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
  EXPECT_EQ(seen[3], seen[0]) << "with an OrvKey.jpg too big to decode";
}

// The tip: where it comes to rest, clear of the keyboard, what it looks like
// and its window effects, and that it leaves again. Its timing and the other
// tips are tested on the fake clock.
TEST(TipWindow, StartTipRestsInTheCornerAndParksAgain) {
  RECT wa{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
  Keyboard keyboard;
  ASSERT_TRUE(keyboard.Start(false));
  // The tip window is made once the keys are on screen.
  HWND tip = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        return (tip = FindTopLevelWindow(keyboard.process.pid, L"OrvTask Information Window",
                                         false)) != nullptr;
      },
      3000ms, "the tip window", DescribeTopLevelWindows));
  RECT r{}, k = keyboard.rect(), both{};
  auto where = [&] { return DescribeWindow(tip); };
  // The word strip on the keyboard's top edge counts as part of it; it is
  // made once the keys are on screen.
  RECT words = k;
  // In the corner, or just above a keyboard that stands there.
  ASSERT_TRUE(WaitFor(
      [&] {
        const HWND strip = FindTopLevelWindow(keyboard.process.pid, L"OrvKey Words");
        words = strip ? WindowRect(strip) : k;
        r = WindowRect(tip);
        return r.right == wa.right - 20 &&
               (r.bottom == wa.bottom - 20 || r.bottom == std::min(k.top, words.top) - 10);
      },
      5000ms, "the start tip in the corner", where));
  EXPECT_FALSE(IntersectRect(&both, &r, &k));  // never over the keys
  EXPECT_FALSE(IntersectRect(&both, &r, &words));  // nor over the words
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

// ---- On a 144-DPI screen the window, its keys, the edit line, the word
// strip, the options panel, the picture and the tip all grow by half, the
// keys answer where they are drawn, and the saved placement stays in twips.

// The density is set before the fixture starts the programs.
struct Dpi : Scene {
  const LogPixels dpi{144};
  Dpi() { keyboard.dpi = 144; }
};

TEST_F(Dpi, At144EverythingGrowsByHalfAndPlacementStaysInTwips) {
  RECT r = keyboard.rect();
  EXPECT_EQ(std::pair(r.right - r.left, r.bottom - r.top), std::pair(948L, 326L));
  EXPECT_EQ(WindowRect(keyboard.EditLine()).left - r.left, 84);  // 840 twips

  // The first and the last character key, far corners of the picture.
  ASSERT_TRUE(Capture(kEdit1, L"x"));
  keyboard.TouchKey(0);
  keyboard.TouchKey(kCharKeys - 1);
  const std::wstring_view keys = kDefaultLayouts[0];
  EXPECT_TRUE(FieldShows(kEdit1, std::wstring{L'x', keys[0], keys[kCharKeys - 1]}));

  // The grown tip with its grown icon (the touch said "Редактируем текст")
  // comes to rest at the right of the work area.
  RECT wa{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
  const HWND tip = FindTopLevelWindow(keyboard.process.pid, L"OrvTask Information Window", false);
  EXPECT_TRUE(WaitFor([&] { return WindowRect(tip).right == wa.right - 20; }, 5000ms,
                      "the tip at rest", [&] { return DescribeWindow(tip); }));
  EXPECT_GE(WindowRect(tip).bottom - WindowRect(tip).top, 167);
  const RECT icon = WindowRect(GetWindow(tip, GW_CHILD));
  EXPECT_EQ(icon.right - icon.left, 75);

  // The word strip grows with it, on its top edge and as wide as it, and a
  // word drawn at the grown size types where it is drawn.
  keyboard.Type(L" пр");
  const HWND strip = FindTopLevelWindow(keyboard.process.pid, L"OrvKey Words");
  HWND word = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        const auto words = StripWords(keyboard.process.pid);
        word = words.empty() ? nullptr : words[0];
        return word && WindowText(word).starts_with(L"пр");
      },
      3000ms, "a word for \"пр\" in the strip"));
  ScreenShot().SaveBmp(ArtifactsDir() + L"\\keyboard_144dpi.bmp");
  const RECT s = WindowRect(strip);  // 630 twips high
  EXPECT_EQ(std::tuple(s.left, s.right, s.top, s.bottom),
            std::tuple(r.left, r.right, r.top - 63, r.top));
  const std::wstring offered = WindowText(word);
  Touch(Centre(WindowRect(word)));
  const std::wstring typed{L'x', keys[0], keys[kCharKeys - 1], L' '};
  EXPECT_TRUE(FieldShows(kEdit1, typed + offered + L" "));

  EXPECT_TRUE(keyboard.ToggleOptions(true));  // 602 pixels high
  ASSERT_TRUE(keyboard.WaitSettled());
  r = keyboard.rect();
  PostMessageW(keyboard.window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(keyboard.process.WaitForExit());
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kPlacementKey, L"Left"), std::to_wstring(r.left * 10))
      << "10 twips a pixel";

  // A picture of the designed size fills the grown window.
  Keyboard pictured;
  WriteFile(pictured.folder.File(L"OrvKey.jpg"), *ReadFile(TestJpeg()));
  ASSERT_TRUE(pictured.Start());
  const POINT a = pictured.ToScreen({918, 304});
  int green = 0;
  EXPECT_TRUE(WaitFor(
      [&] {
        return (green = ScreenShot().Count({a.x, a.y, a.x + 20, a.y + 20}, kTestJpegColour)) == 400;
      },
      5000ms, "the picture to reach the grown window's corner",
      [&] { return std::to_string(green); }));
}

}  // namespace
}  // namespace orv::e2e
