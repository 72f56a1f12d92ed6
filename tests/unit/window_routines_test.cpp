// The routines over other windows: reading their text safely and the paths
// Tab walks. The window commands' effects are checked end to end.
#include "fakes/kbd_fixture.h"

namespace orv::fake {
namespace {

TEST_F(KbdTest, HungWindowsHaveNoTextAndPathsFindWindowsAgain) {
  const Hwnd app = desk.AddWindow(L"App", L"", 0, Rect{});
  const Hwnd empty = desk.AddWindow(L"Edit", L"", app, Rect{});
  const Hwnd field = desk.AddWindow(L"Edit", L"(Не отвечает)", app, Rect{});
  EXPECT_EQ(kelp.ReadWindowText(empty, 500), L"");
  // A field that really holds the marker's text is not hung.
  EXPECT_EQ(kelp.ReadWindowText(field, 500), L"(Не отвечает)");
  desk.W(field).hung = true;
  EXPECT_EQ(kelp.ReadWindowText(field, 500), std::nullopt);
  EXPECT_EQ(kelp.GetWindowTextTimeout(field, 500), L"(Не отвечает)");

  EXPECT_EQ(kelp.GetWindowPath(field),
            std::to_wstring(static_cast<std::intptr_t>(app)) + L",1,Edit");
  EXPECT_EQ(kelp.GetWindowPath(app), L"NOPARENT,App");
  // Past the search limit a window is not found.
  Hwnd last = 0;
  for (int i = 0; i < 256; ++i) last = desk.AddWindow(L"Edit", L"", app, Rect{});
  EXPECT_EQ(kelp.GetWindowPath(last), L"NOTFOUND,Edit");
  EXPECT_EQ(LeadingNumber(L"1e999"), 0);  // a window command's untrusted parameter
}

}  // namespace
}  // namespace orv::fake
