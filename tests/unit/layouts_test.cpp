// Layout strings on the keys.
#include "fakes/kbd_fixture.h"

namespace orv::fake {
namespace {

class LayoutTest : public KbdTest {
 protected:
  void SetUp() override { Load(); }
  std::wstring Captions() {
    std::wstring s;
    for (const auto& key : kbd->lblX) s += key.Caption().empty() ? L"_" : key.Caption();
    return s;
  }
};

TEST_F(LayoutTest, DefaultLayoutsAreFullAndExact) {
  for (const auto& layout : kDefaultLayouts) EXPECT_EQ(layout.size(), 47u);
  EXPECT_EQ(kbd->lblX[12].Caption(), L"й");
  EXPECT_EQ(kbd->lblX[35].Caption(), L"\\");
  EXPECT_EQ(kbd->lblX[46].Caption(), L",");
  EXPECT_EQ(kDefaultLayouts[1][1], L'"');
  EXPECT_EQ(kDefaultLayouts[2][35], L'"');
  EXPECT_EQ(kDefaultLayouts[3][34], L'"');

  kbd->LangBase = 2;
  kbd->ShiftOn = 1;
  kbd->txtLang_Change(kbd->LayoutIndex());
  EXPECT_EQ(kbd->lblX[6].Caption(), L"&");  // drawn literally by the shell
  EXPECT_EQ(kbd->lblX[46].Caption(), L"/");
  EXPECT_EQ(Captions(), kDefaultLayouts[3]);
}

TEST_F(LayoutTest, ShortEmptyAndLongLayouts) {
  kbd->txtLang[0].SetText(L"abcdefghijkl");
  EXPECT_EQ(Captions(), L"abcdefghijkl" + std::wstring(35, L'_'));

  kbd->txtLang[0].SetText(L"");
  EXPECT_EQ(Captions(), std::wstring(47, L'_'));

  // The boxes hold at most 47 characters; the 48th never reaches a key.
  kbd->txtLang[0].SetText(std::wstring(47, L'x') + L"yz");
  EXPECT_EQ(kbd->txtLang[0].Text(), std::wstring(47, L'x'));
  EXPECT_EQ(Captions(), std::wstring(47, L'x'));

  // Deleting the last character blanks the last key only.
  kbd->txtLang[0].SetText(std::wstring(46, L'x'));
  EXPECT_EQ(Captions(), std::wstring(46, L'x') + L"_");
}

TEST_F(LayoutTest, EditingAnotherLayoutShowsItUntilTheNextShift) {
  kbd->txtLang[2].SetText(L"QQQ");
  EXPECT_EQ(kbd->lblX[0].Caption(), L"Q");
  EXPECT_EQ(kbd->lblX[3].Caption(), L"");
  EXPECT_EQ(kbd->LayoutIndex(), 0);  // the state is untouched
  FKey(kKeyShift);                   // state 0 + 1: the first language, shifted
  EXPECT_EQ(Captions(), kDefaultLayouts[1]);
}

}  // namespace
}  // namespace orv::fake
