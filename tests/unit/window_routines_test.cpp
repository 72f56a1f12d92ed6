// Reading other windows safely, describing where a window stands, and the
// small input and field routines.
#include "fakes/fake_desktop.h"
#include "utility/KelpUltimate.h"

#include <gtest/gtest.h>

namespace orv::fake {
namespace {

class RoutinesTest : public ::testing::Test {
 protected:
  Desktop desk;
  Ports ports{desk.ports()};
  KelpUltimate kelp{ports};
};

TEST_F(RoutinesTest, WindowTextWithTimeOutAndHungMarker) {
  const Hwnd dlg = desk.AddWindow(L"#32770", L"", 0, Rect{0, 0, 100, 100});
  const Hwnd e = desk.AddWindow(L"Edit", L"", dlg, Rect{});
  EXPECT_EQ(kelp.GetWindowTextTimeout(e, 500), L"");
  desk.W(e).text = std::wstring(L"ab\0cd", 5);
  EXPECT_EQ(kelp.GetWindowTextTimeout(e, 500), L"ab");
  desk.W(e).hung = true;
  EXPECT_EQ(kelp.GetWindowTextTimeout(e, 500), L"(Не отвечает)");
  EXPECT_EQ(kelp.GetWindowTextTimeout(12345, 500), L"(Не отвечает)");
  EXPECT_EQ(kelp.GetWindowClass(e), L"Edit");
  EXPECT_EQ(kelp.GetWindowClass(12345), L"");
}

TEST_F(RoutinesTest, PathsFindTheSameWindowAgain) {
  const Hwnd dlg = desk.AddWindow(L"#32770", L"", 0, Rect{});
  const Hwnd first = desk.AddWindow(L"Edit", L"", dlg, Rect{});
  desk.AddWindow(L"Button", L"", dlg, Rect{});
  const Hwnd second = desk.AddWindow(L"Edit", L"", dlg, Rect{});
  const std::wstring p = std::to_wstring(dlg);
  EXPECT_EQ(kelp.GetWindowPath(first), p + L",0,Edit");
  EXPECT_EQ(kelp.GetWindowPath(second), p + L",1,Edit");
  EXPECT_EQ(kelp.FindNthChild(dlg, 0, L"Edit"), first);
  EXPECT_EQ(kelp.FindNthChild(dlg, 1, L"Edit"), second);
  EXPECT_EQ(kelp.FindNthChild(dlg, 2, L"Edit"), -1);
  EXPECT_EQ(kelp.FindNthChild(dlg, 0, L"Static"), -1);
  EXPECT_EQ(kelp.FindNthChild(0, 0, L"Edit"), 0);
  EXPECT_EQ(kelp.GetWindowPath(0), L"");
  const Hwnd top = desk.AddWindow(L"Edit", L"", 0, Rect{});
  EXPECT_EQ(kelp.GetWindowPath(top), L"NOPARENT,Edit");

  // Past the search limit a window is not found.
  const Hwnd crowd = desk.AddWindow(L"#32770", L"", 0, Rect{});
  Hwnd last = 0;
  for (int i = 0; i < 258; ++i) last = desk.AddWindow(L"Edit", L"", crowd, Rect{});
  EXPECT_EQ(kelp.GetWindowPath(last), L"NOTFOUND,Edit");
  EXPECT_EQ(kelp.FindNthChild(crowd, 257, L"Edit"), -1);
  EXPECT_NE(kelp.FindNthChild(crowd, 256, L"Edit"), -1);
}

TEST_F(RoutinesTest, FieldsSplitOutsideQuotes) {
  std::wstring text = L"a,\"b,c\",,d,,,";
  EXPECT_EQ(kelp.GetField(text, 1, L',', L"x"), L"a");
  EXPECT_EQ(text, L"a,\"b,c\",,d");  // trailing delimiters go from the caller's text
  EXPECT_EQ(kelp.GetField(text, 2, L',', L"x"), L"\"b,c\"");
  EXPECT_EQ(kelp.GetField(text, 3, L',', L"x"), L"x");  // empty field
  EXPECT_EQ(kelp.GetField(text, 4, L',', L"x"), L"d");
  EXPECT_EQ(kelp.GetField(text, 5, L',', L"x"), L"x");
  std::wstring spaces = L"  ,b";
  EXPECT_EQ(kelp.GetField(spaces, 1, L',', L"def"), L"def");
  EXPECT_TRUE(kelp.QuotesBalanced(L"no quotes"));
  EXPECT_TRUE(kelp.QuotesBalanced(L"\"a\""));
  EXPECT_FALSE(kelp.QuotesBalanced(L"\"a"));
}

TEST_F(RoutinesTest, SyntheticKeysAndClicks) {
  kelp.SendKey(13, 5);
  kelp.SendKey(13, 4);
  kelp.SendKey(13, 7);
  ASSERT_EQ(desk.input.size(), 3u);
  EXPECT_EQ(desk.input[0].flags, 0u);
  EXPECT_EQ(desk.input[1].flags, kKeyEventKeyUp);
  EXPECT_EQ(desk.input[2].flags, kKeyEventKeyUp);
  desk.input.clear();
  kelp.SendMouseClick(1, 3);
  kelp.SendMouseClick(2, 4);
  kelp.SendMouseClick(0, 9);
  kelp.SendMouseClick(3, 5);
  ASSERT_EQ(desk.input.size(), 4u);
  EXPECT_EQ(desk.input[0].code, kMouseRightDown);
  EXPECT_EQ(desk.input[1].code, kMouseMiddleUp);
  EXPECT_EQ(desk.input[2].code, kMouseLeftDown);
  EXPECT_EQ(desk.input[3].code, kMouseLeftUp);
}

}  // namespace
}  // namespace orv::fake
