// Other applications' windows: the kinds of field a touch captures, the
// keystroke fallback, windows that shut the keyboard out (there is no
// integrity level under Wine, so those are proven here only) told apart
// from hung ones, and the changed span a write sends.
#include <random>

#include "fakes/kbd_fixture.h"
#include "field/field_kinds.h"
#include "field/incremental_write.h"

namespace orv::fake {
namespace {

// The rules of the class names, not the list: Wine spells rich edits its own
// way, Windows Forms names end in an application's suffix, the rest match
// exactly. The common kinds are typed into end to end.
TEST(FieldKinds, ClassNamesMatchHoweverTheSystemSpellsThem) {
  for (const wchar_t* cls :
       {L"RichEdit50W", L"RICHEDIT", L"windowsforms10.RichEdit20W.app.0.2bf8098", L"TEdit"})
    EXPECT_NE(FieldKindOf(cls), nullptr) << cls;
  for (const wchar_t* cls : {L"edit", L"RichEdit20", L"WindowsForms10.EDIT.",
                             L"WindowsForms10.BUTTON.app.0.1", L"TEditor", L""})
    EXPECT_EQ(FieldKindOf(cls), nullptr) << cls;
  // A superclass of Edit, as the system resolves it.
  EXPECT_NE(FieldKindOf(L"AppEdit", L"Edit"), nullptr);
  EXPECT_EQ(FieldKindOf(L"AppButton", L"Button"), nullptr);
}

class ReachTest : public TipKbdTest {
 protected:
  void SetUp() override {
    TipKbdTest::SetUp();
    Load();
  }
  Hwnd Field(const wchar_t* cls, int row) {
    const Hwnd h = desk.AddWindow(cls, L"old", 0, Rect{10, 10 + 30 * row, 200, 30 + 30 * row});
    desk.W(h).process = 200;
    return h;
  }
  // Whether the refusal tip came since the last look.
  bool Refused() {
    const bool shown = TipText() == L"Это окно не принимает\r\nввод с клавиатуры";
    tip.lblInfo[0].SetCaption(L"");
    return shown;
  }
};

TEST_F(ReachTest, HungWindowsAndWindowsThatShutTheKeyboardOutAreToldApart) {
  // A hung window has no text; a field that really holds the text that marks
  // a hung window is not hung.
  const Hwnd marked = Field(L"Edit", 3);
  desk.W(marked).text = L"(Не отвечает)";
  EXPECT_EQ(kelp.ReadWindowText(marked, 500), L"(Не отвечает)");
  desk.W(marked).hung = true;
  EXPECT_EQ(kelp.ReadWindowText(marked, 500), std::nullopt);

  // Messages denied, as to a program of a higher integrity level.
  const Hwnd denied = Field(L"RichEdit20W", 0);
  desk.W(denied).denied = true;
  Touch(denied);
  EXPECT_TRUE(Refused());
  Type(L"1");
  EXPECT_FALSE(Refused());
  EXPECT_TRUE(desk.set_text_log.empty());

  // A field that reads back unchanged after a write.
  const Hwnd keeps = Field(L"WindowsForms10.EDIT.app.0.1", 1);
  desk.W(keeps).keeps_text = true;
  Touch(keeps);
  Type(L"1");
  EXPECT_TRUE(Refused());
  Type(L"2");
  EXPECT_EQ(desk.set_text_log.size(), 2u);  // the capture's own, then "old1"
  EXPECT_FALSE(Refused());

  // A keystroke target whose caret comes after the finger has gone; its
  // keys go as Unicode keystrokes until the system takes none.
  const Hwnd custom = Field(L"CustomField", 2);
  Touch(custom);
  // Focused while the last field's caret still blinks, it is no target yet.
  desk.gui = {custom, keeps};
  kbd->tmrhWnd.Fire();
  EXPECT_FALSE(kbd->GetTarget().ByKeystrokes());
  desk.gui.caret = custom;
  kbd->tmrhWnd.Fire();
  ASSERT_TRUE(kbd->GetTarget().ByKeystrokes());
  Type(L"ж");
  desk.input_taken = 0;
  Type(L"1");
  Type(L"2");
  EXPECT_TRUE(Refused());
  EXPECT_EQ(desk.input.size(), 4u);
  EXPECT_EQ(kbd->cmbText.Text(), L"ж12");  // the line still shows the keys
}

// A field whose program is busy answers its length but not yet its text,
// or claims a length no buffer can hold: its text is unknown, not empty, and
// neither Clr nor a pick writes over it. (That no key does, and that keys
// edit its own text once it answers, is proven end to end.)
TEST_F(ReachTest, FieldWhoseTextCouldNotBeReadIsNeverWrittenOver) {
  const Hwnd busy = Field(L"Edit", 0);
  desk.W(busy).claimed_length = ~std::uintptr_t{0};
  EXPECT_EQ(kelp.ReadWindowText(busy, 500), std::nullopt);
  desk.W(busy).claimed_length = 0;
  desk.W(busy).slow_text = true;
  Touch(busy);
  FKey(kKeyClr);
  kbd->cmbText.AddItem(L"из списка");
  kbd->cmbText.SetListIndex(0);
  EXPECT_TRUE(desk.set_text_log.empty());
}

// The changed span turns the old text into the new one and never cuts a
// surrogate pair or a line break in two.
TEST(IncrementalWrite, ChangeRebuildsTheNewTextWithoutSplittingUnits) {
  const std::wstring units[] = {L"a", L"b", L"\r\n", L"\xD83D\xDE00", L"\xD83D\xDE01"};
  std::mt19937 random(14);
  for (int round = 0; round < 2000; ++round) {
    std::wstring before, after;
    for (auto* s : {&before, &after})
      for (int n = int(random() % 6); n > 0; --n) *s += units[random() % std::size(units)];
    const TextChange c = ChangeBetween(before, after);
    std::wstring rebuilt = before;
    rebuilt.replace(c.start, c.old_end - c.start, c.inserted);
    ASSERT_EQ(rebuilt, after);
    for (std::size_t at : {c.start, c.old_end})
      EXPECT_FALSE(at > 0 && at < before.size() &&
                   (before[at - 1] == 0xD83D || (before[at - 1] == L'\r' && before[at] == L'\n')));
  }
}

}  // namespace
}  // namespace orv::fake
