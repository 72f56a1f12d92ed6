// Typing into another application's field: capture, keys and mirroring.
#include "fakes/kbd_fixture.h"

namespace orv::fake {
namespace {

class TypingTest : public KbdTest {
 protected:
  Hwnd app = 0, field = 0, second = 0, button = 0;
  void SetUp() override {
    Load();
    app = desk.AddWindow(L"#32770", L"Target", 0, Rect{0, 0, 400, 280});
    field = desk.AddWindow(L"Edit", L"abc", app, Rect{10, 10, 200, 30});
    second = desk.AddWindow(L"ThunderRT6TextBox", L"", app, Rect{10, 40, 200, 60});
    button = desk.AddWindow(L"Button", L"OK", app, Rect{10, 70, 100, 90});
  }
};

TEST_F(TypingTest, TouchedFieldIsCapturedAndEveryKeyLandsInIt) {
  Touch(field);
  EXPECT_EQ(kbd->TargetWnd, field);
  EXPECT_EQ(kbd->cmbText.Text(), L"abc");
  EXPECT_EQ(kbd->CaretPos, 3);

  Type(L"й1");
  EXPECT_EQ(desk.W(field).text, L"abcй1");
  EXPECT_EQ(kbd->cmbText.Text(), L"abcй1");
  EXPECT_EQ(kbd->CaretPos, 5);
  EXPECT_EQ(kbd->cmbText.SelStart(), 5);

  // A caret moved inside the edit line: the next key goes there.
  kbd->CaretPos = 1;
  Type(L"ц");
  EXPECT_EQ(desk.W(field).text, L"aцbcй1");
  EXPECT_EQ(kbd->CaretPos, 2);

  // Past the end: appended.
  kbd->CaretPos = 99;
  Type(L"2");
  EXPECT_EQ(desk.W(field).text, L"aцbcй12");
}

TEST_F(TypingTest, OnlyTextFieldClassesBecomeTargets) {
  Touch(second);
  EXPECT_EQ(kbd->TargetWnd, second);
  Touch(button);
  EXPECT_EQ(kbd->TargetWnd, second);
  // The layout boxes on the options panel are ordinary targets.
  desk.W(kbd->hWnd()).rect.bottom = desk.W(kbd->hWnd()).rect.top + 401;
  Touch(kbd->txtLang[2].hWnd());
  EXPECT_EQ(kbd->TargetWnd, kbd->txtLang[2].hWnd());
}

TEST_F(TypingTest, TapInOwnEditLineMovesTheInsertionPoint) {
  Touch(field);
  kbd->cmbText.ReportSelStart(1);  // the user put the real caret there
  Touch(edit_line);
  EXPECT_EQ(kbd->TargetWnd, field);
  EXPECT_EQ(kbd->CaretPos, 1);
  Type(L"х");
  EXPECT_EQ(desk.W(field).text, L"aхbc");
}

TEST_F(TypingTest, HungTargetLeavesTheLineAndWritesAreBounded) {
  Touch(field);
  desk.W(second).text = L"other";
  desk.W(second).hung = true;
  Touch(second);
  EXPECT_EQ(kbd->TargetWnd, second);  // recorded all the same
  EXPECT_EQ(kbd->cmbText.Text(), L"abc");
  // Writing into it gives up instead of waiting for it.
  const auto before = desk.now;
  Type(L"1");
  EXPECT_LE(desk.now - before, 500u);
  EXPECT_EQ(kbd->cmbText.Text(), L"abc1");
}

TEST_F(TypingTest, DestroyedTargetOnlyChangesTheLine) {
  Touch(field);
  desk.Destroy(field);
  desk.set_text_log.clear();
  Type(L"12");
  EXPECT_EQ(kbd->cmbText.Text(), L"abc12");
  EXPECT_TRUE(desk.set_text_log.empty());
}

TEST_F(TypingTest, OneTouchWritesTheFieldOnce) {
  kbd->AddStringToHistory(L"abcdef");
  Touch(field);
  desk.set_text_log.clear();
  Type(L"1");
  ASSERT_EQ(desk.set_text_log.size(), 1u);
  EXPECT_EQ(desk.set_text_log[0].second, L"abc1");
}

TEST_F(TypingTest, PickedHistoryEntryGoesToTheFieldAtOnce) {
  kbd->AddStringToHistory(L"Ленинский проспект");
  Touch(field);
  kbd->cmbText.SetText(L"");
  kbd->FillComboHistory();
  kbd->BeginEvent();
  kbd->cmbText.SetListIndex(0);
  EXPECT_EQ(desk.W(field).text, L"Ленинский проспект");
  EXPECT_EQ(kbd->CaretPos, 18);
  Type(L"1");
  EXPECT_EQ(desk.W(field).text, L"Ленинский проспект1");
}

TEST_F(TypingTest, LongFieldsAndCharactersOutsideTheCodePage) {
  const std::wstring big(100000, L'ж');
  desk.W(field).text = big;
  Touch(field);
  EXPECT_EQ(kbd->CaretPos, 100000);
  Type(L"1");
  EXPECT_EQ(desk.W(field).text, big + L"1");
  kbd->CaretPos = 70000;
  Type(L"2");
  EXPECT_EQ(desk.W(field).text.substr(69999, 3), L"ж2ж");

  // Text goes through as UTF-16: nothing becomes a question mark.
  desk.W(field).text = L"€ ✓ 日本";
  Touch(field);
  Type(L"3");
  EXPECT_EQ(desk.W(field).text, L"€ ✓ 日本3");
}

TEST_F(TypingTest, ShiftIsOneShotUnlessItWorksAsCapsLock) {
  Touch(field);
  kbd->cmbText.SetText(L"");
  kbd->CaretPos = 0;
  FKey(kKeyShift);
  Key(12);
  Key(12);
  EXPECT_EQ(desk.W(field).text, L"Йй");
  EXPECT_EQ(kbd->ShiftOn, 0);
  EXPECT_EQ(kbd->lblControl[kKeyShift].ForeColor(), kbd->lblControl[kKeyClr].ForeColor());

  kbd->chkFont[kChkShiftAsCaps].SetValue(1);
  FKey(kKeyShift);
  Key(12);
  Key(12);
  EXPECT_EQ(desk.W(field).text, L"ЙйЙЙ");
  EXPECT_EQ(kbd->ShiftOn, 1);
}

TEST_F(TypingTest, KeyWithoutCaptionInsertsNothingButReleasesShift) {
  Touch(field);
  kbd->txtLang[0].SetText(L"ab");
  FKey(kKeyShift);
  kbd->txtLang[1].SetText(L"AB");  // editing shows layout 1 on the keys
  Key(30);
  EXPECT_EQ(desk.W(field).text, L"abc");
  EXPECT_EQ(kbd->CaretPos, 3);
  EXPECT_EQ(kbd->ShiftOn, 0);
}

TEST_F(TypingTest, PressFeedbackPaintsOneKey) {
  const Color normal = kbd->lblControl[kKeyClr].ForeColor();
  kbd->lblX_MouseDown(5);
  kbd->lblX_MouseDown(7);
  for (int i = 0; i < kCharKeys; ++i) {
    EXPECT_EQ(kbd->lblX[static_cast<std::size_t>(i)].ForeColor(), i == 7 ? 65280u : normal);
  }
  kbd->lblX_MouseUp(7);
  for (const auto& key : kbd->lblX) EXPECT_EQ(key.ForeColor(), normal);
}

TEST_F(TypingTest, HeldFingerDoesNotNestCaptures) {
  // Something inside the capture lets pending events run, and the next
  // tick comes due while the finger is still down.
  int nested = 0;
  desk.on_get_text = [&] {
    if (nested++ == 0) kbd->tmrhWnd.Fire();
  };
  desk.get_text_sends = 0;
  Touch(field);
  EXPECT_EQ(desk.get_text_sends, 1);
  desk.on_get_text = nullptr;
  // With the button up a tick asks for nothing but the button.
  desk.get_text_sends = 0;
  kbd->tmrhWnd.Fire();
  EXPECT_EQ(desk.get_text_sends, 0);
}

}  // namespace
}  // namespace orv::fake
