// End-to-end test of the keyboard on a 144-DPI screen: the window, its keys,
// the edit line, the options panel, the picture and the tip all grow by
// half, the keys answer where they are drawn, and the saved placement stays
// in twips.
#include "harness.h"
#include "platform/toolkit.h"

namespace orv::e2e {
namespace {

// The screen's density for programs started from now on, put back to 96
// however the test ends, so that the other tests keep theirs.
struct LogPixels {
  explicit LogPixels(DWORD dpi) { Set(dpi); }
  ~LogPixels() { Set(96); }
  static void Set(DWORD dpi) {
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi,
                    sizeof dpi);
  }
};

POINT ScaledCentre(Rect twips) {
  const Rect r = DesignToScreen(twips.left, twips.top, twips.width(), twips.height(), 144);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The density is set before the fixture starts the programs.
struct Dpi : Scene {
  const LogPixels dpi{144};
};

TEST_F(Dpi, At144EverythingGrowsByHalfAndPlacementStaysInTwips) {
  RECT r = keyboard.rect();
  EXPECT_EQ(r.right - r.left, 948);
  EXPECT_EQ(r.bottom - r.top, 326);
  EXPECT_EQ(WindowRect(keyboard.EditLine()).left - r.left, 84);  // 840 twips

  // The first and the last character key, far corners of the picture.
  ASSERT_TRUE(Capture(kEdit1, L"x"));
  keyboard.TouchAt(ScaledCentre(CharKeyTwips(0)));
  keyboard.TouchAt(ScaledCentre(CharKeyTwips(kCharKeys - 1)));
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
  ScreenShot().SaveBmp(ArtifactsDir() + L"\\keyboard_144dpi.bmp");

  const FunctionKeyDesign& options = kFunctionKeyDesign[kKeyOptions];
  keyboard.TouchAt(ScaledCentre(
      {options.left, options.top, options.left + options.width, options.top + options.height}));
  EXPECT_TRUE(WaitFor([&] { return keyboard.rect().bottom - keyboard.rect().top == 602; }, 3000ms,
                      "the options panel to open at 144 DPI"));
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
