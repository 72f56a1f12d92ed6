// The function keys around the character keys.
#include "fakes/kbd_fixture.h"

namespace orv::fake {
namespace {

class FunctionKeyTest : public KbdTest {
 protected:
  Hwnd app = 0;
  std::array<Hwnd, 3> fields{};
  void SetUp() override {
    Load();
    app = desk.AddWindow(L"#32770", L"Target", 0, Rect{0, 0, 400, 280});
    for (int i = 0; i < 3; ++i) {
      fields[static_cast<std::size_t>(i)] = desk.AddWindow(
          L"Edit", L"field" + std::to_wstring(i), app, Rect{10, 10 + 30 * i, 200, 30 + 30 * i});
    }
  }
  std::wstring& FieldText(int i) { return desk.W(fields[static_cast<std::size_t>(i)]).text; }
};

TEST_F(FunctionKeyTest, ShiftAndLangStateMachine) {
  FKey(kKeyShift);
  FKey(kKeyShift);
  EXPECT_EQ(kbd->LayoutIndex(), 0);
  EXPECT_EQ(kbd->lblX[12].Caption(), L"й");
  EXPECT_EQ(kbd->lblControl[kKeyShift].ForeColor(), kbd->lblX[0].ForeColor());

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
  EXPECT_EQ(kbd->ShiftOn, 1);
  EXPECT_EQ(kbd->LangBase, 2);
}

TEST_F(FunctionKeyTest, ClearSpaceAndBackspaceReachTheField) {
  Touch(fields[0]);
  FKey(kKeyBack);
  EXPECT_EQ(FieldText(0), L"field");
  EXPECT_EQ(kbd->CaretPos, 5);
  kbd->CaretPos = 0;
  FKey(kKeyBack);  // nothing before the caret
  EXPECT_EQ(FieldText(0), L"field");

  FKey(kKeyClr);
  EXPECT_EQ(FieldText(0), L"");
  EXPECT_EQ(kbd->CaretPos, 0);
  Type(L"ф");
  EXPECT_EQ(FieldText(0), L"ф");
  EXPECT_EQ(kbd->CaretPos, 1);

  // Space with Shift latched keeps the latch.
  FKey(kKeyShift);
  FKey(kKeySpace);
  EXPECT_EQ(FieldText(0), L"ф ");
  EXPECT_EQ(kbd->ShiftOn, 1);

  // A lone space on an empty line is turned into nothing by the list refill.
  FKey(kKeyClr);
  FKey(kKeySpace);
  EXPECT_EQ(kbd->cmbText.Text(), L"");
  EXPECT_EQ(FieldText(0), L"");
  EXPECT_EQ(kbd->CaretPos, 1);
}

TEST_F(FunctionKeyTest, TabHopsToTheNextFieldAndWraps) {
  Touch(fields[1]);
  FKey(kKeyTab);
  EXPECT_EQ(kbd->TargetWnd, fields[2]);
  EXPECT_EQ(kbd->cmbText.Text(), L"field2");
  EXPECT_EQ(kbd->CaretPos, 6);
  FKey(kKeyTab);
  EXPECT_EQ(kbd->TargetWnd, fields[0]);
  EXPECT_EQ(kbd->cmbText.Text(), L"field0");

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

TEST_F(FunctionKeyTest, EnterClicksIntoTheFieldPressesEnterAndRemembers) {
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

TEST_F(FunctionKeyTest, EnterWithoutTargetAndPasswordsAreNotRemembered) {
  FKey(kKeyEnter);
  EXPECT_TRUE(desk.input.empty());
  EXPECT_EQ(kbd->HistoryItems, std::vector<std::wstring>{L""});

  desk.W(fields[0]).style |= static_cast<std::int32_t>(kEsPassword);
  desk.W(fields[1]).password_char = L'*';
  for (int i : {0, 1}) {
    Touch(fields[static_cast<std::size_t>(i)]);
    Type(L"секрет");
    FKey(kKeyEnter);
  }
  EXPECT_EQ(kbd->HistoryItems, std::vector<std::wstring>{L""});
  // Nor at shutdown.
  std::int16_t cancel = 0;
  kbd->Form_Unload(cancel);
  EXPECT_EQ(kbd->HistoryItems, std::vector<std::wstring>{L""});
}

TEST_F(FunctionKeyTest, OptionsKeyTogglesTheHeightAndCloseEnds) {
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
  FKey(kKeyOptions);

  kbd->HideToTray = 1;
  FKey(kKeyClose);
  EXPECT_FALSE(kbd->Visible());
  EXPECT_FALSE(desk.ended);
  kbd->HideToTray = 0;
  FKey(kKeyClose);
  EXPECT_TRUE(desk.ended);
}

}  // namespace
}  // namespace orv::fake
