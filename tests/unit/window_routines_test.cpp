// The routines over other windows: reading their text safely, the paths Tab
// walks, and the conditions around the window commands. Each command's effect
// on a real window is checked end to end.
#include "fakes/kbd_fixture.h"

namespace orv::fake {
namespace {

class RoutinesTest : public KbdTest {
 protected:
  Hwnd wnd = desk.AddWindow(L"App", L"Old", 0, Rect{10, 20, 210, 120});
};

TEST_F(RoutinesTest, WindowTextWithTimeOutAndHungMarker) {
  const Hwnd e = desk.AddWindow(L"Edit", L"", wnd, Rect{});
  EXPECT_EQ(kelp.GetWindowTextTimeout(e, 500), L"");
  desk.W(e).text = std::wstring(L"ab\0cd", 5);
  EXPECT_EQ(kelp.GetWindowTextTimeout(e, 500), L"ab");
  desk.W(e).hung = true;
  EXPECT_EQ(kelp.GetWindowTextTimeout(e, 500), L"(Не отвечает)");
  EXPECT_EQ(kelp.GetWindowTextTimeout(12345, 500), L"(Не отвечает)");
}

TEST_F(RoutinesTest, PathsFindTheSameWindowAgain) {
  const Hwnd first = desk.AddWindow(L"Edit", L"", wnd, Rect{});
  desk.AddWindow(L"Button", L"", wnd, Rect{});
  const Hwnd second = desk.AddWindow(L"Edit", L"", wnd, Rect{});
  EXPECT_EQ(kelp.GetWindowPath(first), std::to_wstring(wnd.value()) + L",0,Edit");
  EXPECT_EQ(kelp.FindNthChild(wnd, 1, L"Edit"), second);
  EXPECT_EQ(kelp.FindNthChild(wnd, 2, L"Edit"), -1);
  EXPECT_EQ(kelp.FindNthChild(0, 0, L"Edit"), 0);
  EXPECT_EQ(kelp.GetWindowPath(0), L"");
  EXPECT_EQ(kelp.GetWindowPath(desk.AddWindow(L"Edit", L"", 0, Rect{})), L"NOPARENT,Edit");

  // Past the search limit a window is not found.
  const Hwnd crowd = desk.AddWindow(L"#32770", L"", 0, Rect{});
  Hwnd last = 0;
  for (int i = 0; i < 258; ++i) last = desk.AddWindow(L"Edit", L"", crowd, Rect{});
  EXPECT_EQ(kelp.GetWindowPath(last), L"NOTFOUND,Edit");
  EXPECT_EQ(kelp.FindNthChild(crowd, 257, L"Edit"), -1);
  EXPECT_NE(kelp.FindNthChild(crowd, 256, L"Edit"), -1);
}

TEST_F(RoutinesTest, ConditionsOnTheWindowCommands) {
  // Bring to front keeps a maximised window maximised.
  kelp.WindowCommand(wnd, 12);
  EXPECT_EQ(desk.W(wnd).show_cmd, 9);
  desk.W(wnd).style = 0x1000000;
  kelp.WindowCommand(wnd, 12);
  EXPECT_EQ(desk.W(wnd).show_cmd, 3);

  // Numbers outside 0..15 do nothing at all.
  const Window before = desk.W(wnd);
  kelp.WindowCommand(wnd, 16);
  kelp.WindowCommand(wnd, -1);
  EXPECT_EQ(desk.W(wnd).show_cmd, before.show_cmd);
  EXPECT_EQ(desk.W(wnd).ex_style, before.ex_style);

  // Opacity: 0 is opaque, out of range is ignored, halves round to even.
  kelp.WindowCommand(wnd, 8, L"0");
  EXPECT_EQ(desk.W(wnd).alpha, 255);
  kelp.WindowCommand(wnd, 8, -1);
  EXPECT_EQ(desk.W(wnd).alpha, 255);
  kelp.WindowCommand(wnd, 8, L"100.5");  // 154.5 rounds to the even 154
  EXPECT_EQ(desk.W(wnd).alpha, 154);
  kelp.WindowCommand(wnd, 13, 5);
  kelp.WindowCommand(wnd, 13, 0);
  EXPECT_EQ(desk.regions.size(), 2u);  // both taken by the window, none deleted

  // A hung window of a process that cannot be opened is still offered for ending.
  desk.W(wnd).hung = true;
  kelp.WindowCommand(wnd, 3);
  ASSERT_EQ(desk.message_boxes.size(), 1u);
  EXPECT_EQ(desk.message_boxes[0], L"Приложение не отвечает. Завершить его процесс ()?");
}

// The commands' parameters are untrusted text.
TEST(WindowRoutines, TheNumberReader) {
  EXPECT_EQ(LeadingNumber(L"12abc"), 12);
  EXPECT_EQ(LeadingNumber(L"abc"), 0);
  EXPECT_EQ(LeadingNumber(L" -1.5e2x"), -150);
  EXPECT_EQ(LeadingNumber(L"7e"), 7);
  EXPECT_EQ(LeadingNumber(L".5"), 0.5);
  EXPECT_EQ(LeadingNumber(L"-"), 0);
  // A number goes through its printed form, so a decimal comma ends it.
  EXPECT_EQ(CommandParam(2.5).AsNumber(L","), 2);
  EXPECT_EQ(CommandParam(2.5).AsNumber(L"."), 2.5);
}

}  // namespace
}  // namespace orv::fake
