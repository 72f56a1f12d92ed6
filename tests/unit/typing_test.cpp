// Typing into another application's fields: capture, the keys at the
// insertion point, Tab, Enter and the remembered texts. Shift, Lang, Clr,
// Space, backspace and the drop-down under real windows are driven end to end.
#include "fakes/kbd_fixture.h"

namespace orv::fake {
namespace {

// An application with three fields for Tab to walk, and one with a field
// holding "abc".
class TypingTest : public KbdTest {
 protected:
  std::array<Hwnd, 3> fields{};
  Hwnd field = 0;
  void SetUp() override {
    Load();
    const Hwnd app = desk.AddWindow(L"#32770", L"Target", 0, Rect{0, 0, 400, 280});
    for (int i = 0; i < 3; ++i) {
      fields[static_cast<std::size_t>(i)] = desk.AddWindow(
          L"Edit", L"field" + std::to_wstring(i), app, Rect{10, 10 + 30 * i, 200, 30 + 30 * i});
    }
    const Hwnd other = desk.AddWindow(L"#32770", L"Other", 0, Rect{400, 0, 800, 280});
    field = desk.AddWindow(L"Edit", L"abc", other, Rect{410, 10, 600, 30});
  }
  Hwnd TargetWnd() { return kbd->GetTarget().Wnd(); }
};

TEST_F(TypingTest, TouchedFieldIsCapturedAndEveryKeyLandsAtTheCaret) {
  Touch(field);
  EXPECT_EQ(TargetWnd(), field);
  // The user put the caret past the end of the edit line: a key appends.
  PutCaret(99);
  Type(L"й1");
  EXPECT_EQ(desk.W(field).text, L"abcй1");

  // The insertion point is 32-bit.
  desk.W(field).text = std::wstring(100000, L'ж');
  Touch(field);
  EXPECT_EQ(kbd->GetEditLine().CaretPos(), 100000);
  PutCaret(70000);
  Type(L"2");
  EXPECT_EQ(desk.W(field).text.substr(69999, 3), L"ж2ж");
}

TEST_F(TypingTest, HungFieldsAreBoundedAndWritesComeOncePerTouchNeverNested) {
  Touch(field);
  desk.W(fields[0]).hung = true;
  Touch(fields[0]);
  EXPECT_EQ(TargetWnd(), fields[0]);  // recorded all the same
  const auto before = desk.now;
  Type(L"1");
  EXPECT_LE(desk.now - before, 500u);

  // One touch writes the field once, though the list refill sets the line again.
  kbd->AddStringToHistory(L"abc2x");
  Touch(field);
  desk.set_text_log.clear();
  Type(L"2");
  ASSERT_EQ(desk.set_text_log.size(), 1u);
  EXPECT_EQ(desk.set_text_log[0].second, L"abc2");

  // Something inside the capture lets pending events run, and the next tick
  // comes due while the finger is still down.
  desk.on_get_text = [this] { kbd->tmrhWnd.Fire(); };
  desk.get_text_sends = 0;
  Touch(field);
  EXPECT_EQ(desk.get_text_sends, 1);

  // Tab wraps; a hung next field becomes the target but leaves the line.
  desk.W(fields[0]).hung = false;
  desk.on_get_text = nullptr;
  Touch(fields[2]);
  FKey(kKeyTab);
  EXPECT_EQ(TargetWnd(), fields[0]);
  desk.W(fields[1]).hung = true;
  FKey(kKeyTab);
  EXPECT_EQ(TargetWnd(), fields[1]);
  EXPECT_EQ(kbd->cmbText.Text(), L"field0");
}

TEST_F(TypingTest, EnterClicksIntoTheFieldPressesEnterAndRemembersButNoPassword) {
  Touch(fields[2]);
  desk.cursor = {600, 500};
  FKey(kKeyEnter);
  EXPECT_EQ(desk.input.at(0).at, (Point{15, 75}));  // 5, 5 inside the field
  EXPECT_EQ(desk.cursor, (Point{600, 500}));        // put back
  EXPECT_EQ(kbd->cmbText.Text(), L"field2");        // the line keeps what was sent
  // In a car the power goes at every ignition off: the text is saved at once.
  EXPECT_NE(desk.files[L"C:\\Program Files\\OrvKey\\OrvKey.ini"].find("\r\nfield2\r\n"),
            std::string::npos);

  // Passwords are never remembered, by style or by their masking character.
  desk.W(fields[0]).style |= static_cast<std::int32_t>(kEsPassword);
  desk.W(fields[1]).password_char = L'*';
  for (std::size_t i : {0u, 1u}) {
    Touch(fields[i]);
    Type(L"секрет");
    FKey(kKeyEnter);
  }
  Unload();  // nor at shutdown
  EXPECT_EQ(History(), (std::vector<std::wstring>{L"field2", L""}));
}

// ---- The remembered texts and the filtered drop-down list

TEST_F(TypingTest, HistoryKeepsHolesAndTheListNarrowsToTheLine) {
  for (const wchar_t* text : {L"a", L"b", L"A", L"   ", L"123", L"1E3", L"-4,5"}) {
    kbd->AddStringToHistory(text);
  }
  EXPECT_EQ(History(), (std::vector<std::wstring>{L"A", L"b", L"", L""}));

  for (const wchar_t* city : {L"Omsk", L"Minsk", L"Moscow"}) kbd->AddStringToHistory(city);
  kbd->cmbText.SetText(L"sK");
  kbd->FillComboHistory();
  EXPECT_EQ(kbd->cmbText.Items(), (std::vector<std::wstring>{L"Minsk", L"Omsk"}));
}

}  // namespace
}  // namespace orv::fake
