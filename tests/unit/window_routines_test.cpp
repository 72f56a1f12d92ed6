// The routines over other windows: reading their text safely and the paths
// Tab walks. The window commands' effects are checked end to end.
#include "fakes/kbd_fixture.h"

namespace orv::fake {
namespace {

TEST_F(KbdTest, HungWindowsHaveNoTextAndThePathsFindTheSameWindowAgain) {
  const Hwnd app = desk.AddWindow(L"App", L"", 0, Rect{});
  const Hwnd first = desk.AddWindow(L"Edit", L"", app, Rect{});
  desk.AddWindow(L"Button", L"", app, Rect{});
  const Hwnd second = desk.AddWindow(L"Edit", L"(Не отвечает)", app, Rect{});
  // A field that really holds the marker's text is not hung.
  EXPECT_EQ(kelp.ReadWindowText(second, 500), L"(Не отвечает)");
  desk.W(second).hung = true;
  EXPECT_EQ(kelp.ReadWindowText(second, 500), std::nullopt);
  EXPECT_EQ(kelp.GetWindowTextTimeout(second, 500), L"(Не отвечает)");

  EXPECT_EQ(kelp.GetWindowPath(second),
            std::to_wstring(static_cast<std::intptr_t>(app)) + L",1,Edit");
  EXPECT_EQ(kelp.FindNthChild(app, 0, L"Edit"), first);
  EXPECT_EQ(kelp.GetWindowPath(app), L"NOPARENT,App");
  // Past the search limit a window is not found.
  Hwnd last = 0;
  for (int i = 0; i < 257; ++i) last = desk.AddWindow(L"Edit", L"", app, Rect{});
  EXPECT_EQ(kelp.GetWindowPath(last), L"NOTFOUND,Edit");
}

// The window commands' parameters are untrusted text.
TEST(Conversions, LeadingNumber) {
  EXPECT_EQ(LeadingNumber(L" -1.5e2x"), -150);
  EXPECT_EQ(LeadingNumber(L"7e"), 7);
  EXPECT_EQ(LeadingNumber(L"1 2"), 1);
  EXPECT_EQ(LeadingNumber(L"1e999"), 0);
  EXPECT_EQ(LeadingNumber(L"-"), 0);
}

}  // namespace
}  // namespace orv::fake
