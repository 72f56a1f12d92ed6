// Typing into another application's fields: capture, the character keys,
// their layouts, the function keys around them and the remembered texts. What needs real windows
// (classes, the drop-down, a tap in the edit line, a destroyed field, text outside the code page)
// is driven end to end.
#include "fakes/kbd_fixture.h"
#include "history/numeric.h"

namespace orv::fake {
namespace {

// Two applications: one with three fields for Tab to walk, one with a field
// holding "abc" and an empty one.
class TypingTest : public KbdTest {
 protected:
  std::array<Hwnd, 3> fields{};
  Hwnd field = 0, second = 0;
  void SetUp() override {
    Load();
    const Hwnd app = desk.AddWindow(L"#32770", L"Target", 0, Rect{0, 0, 400, 280});
    for (int i = 0; i < 3; ++i) {
      fields[static_cast<std::size_t>(i)] = desk.AddWindow(
          L"Edit", L"field" + std::to_wstring(i), app, Rect{10, 10 + 30 * i, 200, 30 + 30 * i});
    }
    const Hwnd other = desk.AddWindow(L"#32770", L"Other", 0, Rect{400, 0, 800, 280});
    field = desk.AddWindow(L"Edit", L"abc", other, Rect{410, 10, 600, 30});
    second = desk.AddWindow(L"Edit", L"", other, Rect{410, 40, 600, 60});
  }
  std::wstring& FieldText(int i) { return desk.W(fields[static_cast<std::size_t>(i)]).text; }
  // The captions of the character keys, "_" for an empty one.
  std::wstring Captions() {
    std::wstring s;
    for (const auto& key : kbd->lblX) s += key.Caption().empty() ? L"_" : key.Caption();
    return s;
  }
};

TEST_F(TypingTest, TouchedFieldIsCapturedAndEveryKeyLandsAtTheCaret) {
  Touch(field);
  EXPECT_EQ(kbd->TargetWnd, field);
  EXPECT_EQ(kbd->CaretPos, 3);
  Type(L"й1");
  EXPECT_EQ(desk.W(field).text, L"abcй1");
  EXPECT_EQ(kbd->cmbText.Text(), L"abcй1");
  EXPECT_EQ(kbd->cmbText.SelStart(), 5);

  // A caret moved inside the edit line: the next key goes there; past the
  // end it is appended.
  kbd->CaretPos = 1;
  Type(L"ц");
  EXPECT_EQ(desk.W(field).text, L"aцbcй1");
  EXPECT_EQ(kbd->CaretPos, 2);
  kbd->CaretPos = 99;
  Type(L"2");
  EXPECT_EQ(desk.W(field).text, L"aцbcй12");

  // The layout boxes on the options panel are ordinary targets.
  desk.W(kbd->hWnd()).rect.bottom = desk.W(kbd->hWnd()).rect.top + 401;
  Touch(kbd->txtLang[2].hWnd());
  EXPECT_EQ(kbd->TargetWnd, kbd->txtLang[2].hWnd());
}

TEST_F(TypingTest, HungTargetLeavesTheLineAndWritesAreBounded) {
  Touch(field);
  desk.W(second).text = L"other";
  desk.W(second).hung = true;
  Touch(second);
  EXPECT_EQ(kbd->TargetWnd, second);  // recorded all the same
  EXPECT_EQ(kbd->cmbText.Text(), L"abc");
  const auto before = desk.now;
  Type(L"1");
  EXPECT_LE(desk.now - before, 500u);
  EXPECT_EQ(kbd->cmbText.Text(), L"abc1");
}

TEST_F(TypingTest, OneTouchWritesTheFieldOnce) {
  kbd->AddStringToHistory(L"abcdef");
  Touch(field);
  desk.set_text_log.clear();
  Type(L"1");
  ASSERT_EQ(desk.set_text_log.size(), 1u);
  EXPECT_EQ(desk.set_text_log[0].second, L"abc1");
}

TEST_F(TypingTest, HundredThousandCharacterField) {
  const std::wstring big(100000, L'ж');
  desk.W(field).text = big;
  Touch(field);
  EXPECT_EQ(kbd->CaretPos, 100000);
  Type(L"1");
  EXPECT_EQ(desk.W(field).text, big + L"1");
  kbd->CaretPos = 70000;
  Type(L"2");
  EXPECT_EQ(desk.W(field).text.substr(69999, 3), L"ж2ж");
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

TEST_F(TypingTest, ShiftAndLangStateMachine) {
  FKey(kKeyShift);
  FKey(kKeyShift);
  EXPECT_EQ(kbd->LayoutIndex(), 0);

  kbd->BeginEvent();
  kbd->lblControl_MouseDown(kKeyShift);
  kbd->lblControl_MouseUp(kKeyShift);
  kbd->lblControl_Click(kKeyShift);
  kbd->lblControl_MouseDown(kKeyLang);
  kbd->lblControl_MouseUp(kKeyLang);
  kbd->lblControl_Click(kKeyLang);
  EXPECT_EQ(kbd->LayoutIndex(), 3);
  EXPECT_EQ(kbd->lblX[12].Caption(), L"Q");
  // Touching Lang painted the Shift key back; Lang keeps its highlight
  // after the release until another function key is touched.
  EXPECT_EQ(kbd->lblControl[kKeyShift].ForeColor(), kbd->lblX[0].ForeColor());
  EXPECT_EQ(kbd->lblControl[kKeyLang].ForeColor(), kbd->DownColor);
  FKey(kKeySpace);
  EXPECT_EQ(kbd->lblControl[kKeyLang].ForeColor(), kbd->lblX[0].ForeColor());
}

// Clr, Space and backspace at work are driven end to end; here, their edges.
TEST_F(TypingTest, BackspaceSpaceAndClearAtTheEdges) {
  Touch(fields[0]);
  kbd->CaretPos = 0;
  FKey(kKeyBack);  // nothing before the caret
  EXPECT_EQ(FieldText(0), L"field0");

  // Space with Shift latched keeps the latch.
  kbd->CaretPos = 6;
  FKey(kKeyShift);
  FKey(kKeySpace);
  EXPECT_EQ(FieldText(0), L"field0 ");
  EXPECT_EQ(kbd->ShiftOn, 1);

  // A lone space on an empty line is turned into nothing by the list refill.
  FKey(kKeyClr);
  FKey(kKeySpace);
  EXPECT_EQ(kbd->cmbText.Text(), L"");
  EXPECT_EQ(FieldText(0), L"");
  EXPECT_EQ(kbd->CaretPos, 1);
}

TEST_F(TypingTest, TabHopsToTheNextFieldAndWraps) {
  Touch(fields[2]);
  FKey(kKeyTab);
  EXPECT_EQ(kbd->TargetWnd, fields[0]);
  EXPECT_EQ(kbd->cmbText.Text(), L"field0");
  EXPECT_EQ(kbd->CaretPos, 6);

  // A hung next field becomes the target but leaves the line.
  desk.W(fields[1]).hung = true;
  FKey(kKeyTab);
  EXPECT_EQ(kbd->TargetWnd, fields[1]);
  EXPECT_EQ(kbd->cmbText.Text(), L"field0");

  // A target without a parent has nowhere to hop.
  const Hwnd lone = desk.AddWindow(L"Edit", L"lone", 0, Rect{500, 0, 600, 20});
  Touch(lone);
  FKey(kKeyTab);
  EXPECT_EQ(kbd->TargetWnd, lone);

  // Nothing to do without a target.
  desk.Destroy(lone);
  FKey(kKeyTab);
  EXPECT_EQ(kbd->TargetWnd, lone);
}

TEST_F(TypingTest, EnterClicksIntoTheFieldPressesEnterAndRemembers) {
  Touch(fields[2]);
  desk.cursor = {600, 500};
  desk.input.clear();
  const auto t0 = desk.now;
  FKey(kKeyEnter);
  ASSERT_EQ(desk.input.size(), 4u);
  EXPECT_EQ(desk.input[0].code, kMouseLeftDown);
  EXPECT_EQ(desk.input[0].at, (Point{15, 75}));  // 5, 5 inside the field
  EXPECT_EQ(desk.input[0].time - t0, 100u);
  EXPECT_EQ(desk.input[1].code, kMouseLeftUp);
  EXPECT_EQ(desk.input[2].code, static_cast<unsigned>(kVkReturn));
  EXPECT_EQ(desk.input[2].time - t0, 200u);
  EXPECT_EQ(desk.input[3].flags, kKeyEventKeyUp);
  EXPECT_EQ(desk.now - t0, 300u);
  EXPECT_EQ(desk.cursor, (Point{600, 500}));  // put back
  EXPECT_EQ(kbd->HistoryItems[0], L"field2");
  EXPECT_EQ(kbd->cmbText.Items(), std::vector<std::wstring>{L"field2"});
  EXPECT_EQ(kbd->cmbText.Text(), L"field2");

  // A number is not remembered, and the line keeps what was sent.
  FKey(kKeyClr);
  Type(L"42");
  FKey(kKeyEnter);
  EXPECT_EQ(kbd->HistoryItems[0], L"field2");
  EXPECT_EQ(kbd->cmbText.Text(), L"42");
  EXPECT_EQ(FieldText(2), L"42");
}

TEST_F(TypingTest, PasswordsAreNeverRemembered) {
  desk.W(fields[0]).style |= static_cast<std::int32_t>(kEsPassword);
  desk.W(fields[1]).password_char = L'*';
  for (int i : {0, 1}) {
    Touch(fields[static_cast<std::size_t>(i)]);
    Type(L"секрет");
    FKey(kKeyEnter);
  }
  EXPECT_EQ(kbd->HistoryItems, std::vector<std::wstring>{L""});
  // Nor at shutdown.
  Unload();
  EXPECT_EQ(kbd->HistoryItems, std::vector<std::wstring>{L""});
}

TEST_F(TypingTest, OptionsKeyKeepsThePanelOnTheScreen) {
  // At the bottom of the screen the keyboard moves up while the panel is
  // open, and back when it closes.
  FKey(kKeyOptions);
  EXPECT_EQ(kbd->Height(), 401);
  EXPECT_EQ(kbd->Top(), 570 - 401);
  FKey(kKeyOptions);
  EXPECT_EQ(kbd->Height(), 217);
  EXPECT_EQ(kbd->Top(), 300);
  kbd->SetTop(20);
  FKey(kKeyOptions);
  EXPECT_EQ(kbd->Top(), 20);
}

// Layout strings on the keys; the default layouts are checked byte for byte
// in the first-run settings file end to end.
TEST_F(TypingTest, ShortEmptyAndLongLayouts) {
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

TEST_F(TypingTest, EditingAnotherLayoutShowsItUntilTheNextShift) {
  kbd->txtLang[2].SetText(L"QQQ");
  EXPECT_EQ(kbd->lblX[0].Caption(), L"Q");
  EXPECT_EQ(kbd->lblX[3].Caption(), L"");
  EXPECT_EQ(kbd->LayoutIndex(), 0);  // the state is untouched
  FKey(kKeyShift);                   // state 0 + 1: the first language, shifted
  EXPECT_EQ(Captions(), kDefaultLayouts[1]);
}

// ---- The remembered texts and the filtered drop-down list

TEST_F(TypingTest, NewestFirstWithHolesForOlderCopies) {
  kbd->AddStringToHistory(L"a");
  kbd->AddStringToHistory(L"b");
  kbd->AddStringToHistory(L"A");
  EXPECT_EQ(kbd->HistoryItems, (std::vector<std::wstring>{L"A", L"b", L"", L""}));
  kbd->FillComboHistory();
  EXPECT_EQ(kbd->cmbText.Items(), (std::vector<std::wstring>{L"A", L"b"}));

  // The same text again: a new newest entry, the old one a hole.
  kbd->AddStringToHistory(L"A");
  EXPECT_EQ(kbd->HistoryItems[0], L"A");
  EXPECT_EQ(kbd->HistoryItems[1], L"");
  kbd->FillComboHistory();
  EXPECT_EQ(kbd->cmbText.Items(), (std::vector<std::wstring>{L"A", L"b"}));

  // Cyrillic copies differ only in case.
  kbd->AddStringToHistory(L"Москва");
  kbd->AddStringToHistory(L"МОСКВА");
  kbd->FillComboHistory();
  EXPECT_EQ(kbd->cmbText.Items(), (std::vector<std::wstring>{L"МОСКВА", L"A", L"b"}));
}

TEST_F(TypingTest, BlanksAndNumbersAreNotKept) {
  for (const wchar_t* text : {L"", L"   ", L"123", L" 42 ", L"1E3", L"-7"}) {
    kbd->AddStringToHistory(text);
  }
  EXPECT_EQ(kbd->HistoryItems, std::vector<std::wstring>{L""});
  kbd->AddStringToHistory(L"12ab");
  EXPECT_EQ(kbd->HistoryItems[0], L"12ab");

  EXPECT_TRUE(IsNumeric(L"-4,5", L","));
  EXPECT_TRUE(IsNumeric(L"&HFF", L"."));
  EXPECT_FALSE(IsNumeric(L"1E", L"."));
  EXPECT_FALSE(IsNumeric(L".", L"."));
}

TEST_F(TypingTest, ListNarrowsToEntriesContainingTheLine) {
  for (const wchar_t* city : {L"Omsk", L"Minsk", L"Moscow"}) kbd->AddStringToHistory(city);
  kbd->cmbText.SetText(L"sk");
  kbd->FillComboHistory();
  EXPECT_EQ(kbd->cmbText.Items(), (std::vector<std::wstring>{L"Minsk", L"Omsk"}));
  EXPECT_EQ(kbd->cmbText.Text(), L"sk");

  kbd->cmbText.SetText(L"MO");
  kbd->FillComboHistory();
  EXPECT_EQ(kbd->cmbText.Items(), std::vector<std::wstring>{L"Moscow"});

  // A line of spaces counts as empty and becomes empty.
  kbd->cmbText.SetText(L"  ");
  kbd->FillComboHistory();
  EXPECT_EQ(kbd->cmbText.Items(), (std::vector<std::wstring>{L"Moscow", L"Minsk", L"Omsk"}));
  EXPECT_EQ(kbd->cmbText.Text(), L"");
}

}  // namespace
}  // namespace orv::fake
