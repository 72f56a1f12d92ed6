// End-to-end test of the keyboard on a 144-DPI screen: the window, its keys,
// the edit line, the options panel and the background all grow by half, the
// keys answer where they are drawn, and the saved placement stays in twips.
#include "harness.h"
#include "platform/toolkit.h"

namespace orv::e2e {
namespace {

constexpr int kDpi = 144;

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

RECT Scaled(int left, int top, int width, int height) {
  const Rect r = DesignToScreen(left, top, width, height, kDpi);
  return {r.left, r.top, r.right, r.bottom};
}
RECT ScaledKey(int index) {
  const Rect t = CharKeyTwips(index);
  return Scaled(t.left, t.top, t.width(), t.height());
}
RECT InWindow(HWND child, HWND parent) {
  RECT r = WindowRect(child);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}
std::wstring Placement(const wchar_t* name) {
  wchar_t text[64] = {};
  DWORD size = sizeof text;
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
    if (RegGetValueW(root, L"Software\\OrvKey\\frmKbd", name, RRF_RT_REG_SZ, nullptr, text,
                     &size) == ERROR_SUCCESS)
      return text;
  return L"";
}

TEST(Dpi, At144EverythingGrowsByHalfAndPlacementStaysInTwips) {
  const LogPixels dpi(kDpi);
  TargetApp target;
  ASSERT_TRUE(target.Start());
  Keyboard keyboard;
  ASSERT_TRUE(keyboard.Start());
  RECT r = keyboard.rect();
  EXPECT_EQ(r.right - r.left, 948);
  EXPECT_EQ(r.bottom - r.top, 326);
  const HWND line = keyboard.EditLine();
  EXPECT_EQ(InWindow(line, keyboard.window).left, Scaled(840, 150, 7185, 555).left);
  EXPECT_EQ(InWindow(line, keyboard.window).right, Scaled(840, 150, 7185, 555).right);

  // The first and the last character key, far corners of the picture.
  target.SetFieldText(kEdit1, L"x");
  target.TouchField(kEdit1);
  ASSERT_TRUE(WaitForText(line, L"x"));
  const std::wstring_view keys = kDefaultLayouts[0];
  keyboard.TouchAt(Centre(ScaledKey(0)));
  keyboard.TouchAt(Centre(ScaledKey(kCharKeys - 1)));
  const std::wstring typed = L"x" + std::wstring(1, keys[0]) + keys[kCharKeys - 1];
  EXPECT_TRUE(WaitForText(target.Field(kEdit1), typed));

  // In the corner, the grown tip with its grown icon rests clear above it.
  RECT wa{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
  SetWindowPos(keyboard.window, nullptr, wa.right - 948, wa.bottom - 326, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(WaitFor([&] { return keyboard.rect().right == wa.right; }, 3000ms,
                      "the keyboard in the corner"));
  const HWND tip = FindTopLevelWindow(keyboard.process.pid, L"OrvTask Information Window", false);
  target.TouchField(kEdit2);
  const RECT k = keyboard.rect();
  RECT t{};
  EXPECT_TRUE(WaitFor(
      [&] {
        t = WindowRect(tip);
        return t.right == wa.right - 20 && t.bottom == k.top - 10;
      },
      5000ms, "the tip at rest above the keyboard", [&] { return DescribeWindow(tip); }));
  EXPECT_GE(t.bottom - t.top, 167);
  const RECT icon = WindowRect(GetWindow(tip, GW_CHILD));
  EXPECT_EQ(icon.right - icon.left, 75);
  ScreenShot().SaveBmp(ArtifactsDir() + L"\\keyboard_144dpi.bmp");

  const FunctionKeyDesign& options = kFunctionKeyDesign[kKeyOptions];
  keyboard.TouchAt(Centre(Scaled(options.left, options.top, options.width, options.height)));
  EXPECT_TRUE(WaitFor([&] { return keyboard.rect().bottom - keyboard.rect().top == 602; }, 3000ms,
                      "the options panel to open at 144 DPI"));
  ASSERT_TRUE(keyboard.WaitSettled());
  r = keyboard.rect();
  PostMessageW(keyboard.window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(keyboard.process.WaitForExit());
  // 10 twips a pixel at 144 DPI.
  EXPECT_EQ(Placement(L"Left"), std::to_wstring(r.left * 10));
  EXPECT_EQ(Placement(L"Width"), L"9480");

  // A picture of the designed size fills the grown window.
  Keyboard pictured;
  WriteFile(pictured.folder.File(L"OrvKey.jpg"), *ReadFile(TestJpeg()));
  ASSERT_TRUE(pictured.Start());
  const POINT a = pictured.ToScreen({Scaled(0, 0, 9480, 3255).right - 30, 304});
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
