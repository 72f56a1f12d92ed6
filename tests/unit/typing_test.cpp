// Typing into another application's fields over the fake clock: a long
// field's insertion point, hung fields, the writes a touch makes, Tab past a
// hung field and the remembered texts. Capture, every key, Enter and
// passwords under real windows are driven end to end. Key repeat on the tick
// count's clock; held keys and the bounce are end to end too.
#include "fakes/kbd_fixture.h"
#include "keys/key_repeat.h"

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

// A long field is checked before each key by what it shows of itself, not
// read back whole (that every way its application changes it is still seen
// is driven end to end).
TEST_F(TypingTest, LongFieldsHungFieldsAndOneWritePerTouchNeverNested) {
  // The insertion point is 32-bit, and one past the line's end appends.
  desk.W(field).text = std::wstring(100000, L'ж');
  Touch(field);
  EXPECT_EQ(kbd->GetEditLine().CaretPos(), 100000);
  PutCaret(70000);
  Type(L"2");
  EXPECT_EQ(desk.W(field).text.substr(69999, 3), L"ж2ж");
  desk.get_text_chars = 0;
  Type(L"345");
  EXPECT_LE(desk.get_text_chars, 3 * HeldCheck::kHeadChars);
  EXPECT_EQ(desk.W(field).text.substr(69999, 6), L"ж2345ж");
  PutCaret(200000);
  Type(L"й");
  EXPECT_EQ(desk.W(field).text.substr(100003), L"жй");

  desk.W(field).text = L"abc";

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

  // A hung next field becomes the target of Tab but leaves the line.
  desk.on_get_text = nullptr;
  Touch(fields[0]);
  desk.W(fields[1]).hung = true;
  FKey(kKeyTab);
  EXPECT_EQ(TargetWnd(), fields[1]);
  EXPECT_EQ(kbd->cmbText.Text(), L"field0");
}

// ---- The remembered texts and the filtered drop-down list

// Which texts are remembered. That no password is, is tested end to end;
// the list narrowed to the line, in failures_test.cpp.
TEST_F(TypingTest, HistoryKeepsHolesButNoNumbersOrBlanks) {
  EXPECT_EQ(History(), std::vector<std::wstring>{L""});  // the empty line it starts with
  for (const wchar_t* text : {L"a", L"b", L"A", L"   ", L"123", L"1E3", L"-4,5"}) {
    kbd->AddStringToHistory(text);
  }
  EXPECT_EQ(History(), (std::vector<std::wstring>{L"A", L"b", L"", L""}));
}

// ---- Held keys

// A hold of two seconds acts at the delay and then once per interval, though
// the tick count wraps in between; its release then clicks nothing.
TEST(KeyHold, HoldActsOnScheduleWhileTheTickCountWraps) {
  const std::uint32_t t0 = 0xFFFFFF00u;  // the tick count wraps during the hold
  KeyHold hold(true, t0);
  int actions = 0;
  for (std::uint32_t t = 0; t <= 2000; t += 10) actions += hold.Due(t0 + t) ? 1 : 0;
  EXPECT_EQ(actions, 1 + (2000 - 500) / 50);
  EXPECT_TRUE(hold.Acted());
}

// ---- Enter in steps on the fake clock; the rest of real programs' fields
// (multi-line fields, passwords, transparent controls, a target let go,
// layout keys) end to end

TEST_F(TypingTest, EnterRunsInStepsAndTouchesBetweenThemCount) {
  const std::vector<unsigned> click_then_enter{kMouseLeftDown, kMouseLeftUp, kVkReturn, kVkReturn};
  // Single-line: the click in the corner, then the key, each after 100 ms;
  // nothing is sent while Enter's handler runs.
  Touch(field);
  desk.gui.focus = field;  // as the click leaves it
  FKey(kKeyEnter);
  EXPECT_TRUE(desk.input.empty());
  EXPECT_EQ(desk.cursor, (Point{415, 15}));
  EXPECT_EQ(RunEnter(), (std::vector<std::uint32_t>{100, 100, 100}));
  EXPECT_EQ(desk.input, click_then_enter);

  // A finger that touches another field during the first pause: the click
  // waits for the finger's lift. (That the field is captured at once, Enter
  // lands in its own field and the line stays the new field's is proven end
  // to end, as are the cursor put back and the text remembered.)
  desk.input.clear();
  FKey(kKeyEnter);
  Touch(fields[2]);
  desk.button_down = true;
  kbd->tmrEnter.Fire();
  EXPECT_TRUE(desk.input.empty());
  desk.button_down = false;
  RunEnter();
  EXPECT_EQ(desk.input, click_then_enter);

  // The focus went elsewhere between the click and the key: clicked again.
  desk.input.clear();
  Touch(field);
  FKey(kKeyEnter);
  kbd->tmrEnter.Fire();
  desk.gui.focus = fields[0];
  kbd->tmrEnter.Fire();  // clicked again, and the key waits for the click to take
  EXPECT_EQ(desk.input.size(), 4u);
  desk.gui.focus = field;
  RunEnter();
  EXPECT_EQ(desk.input, (std::vector<unsigned>{kMouseLeftDown, kMouseLeftUp, kMouseLeftDown,
                                               kMouseLeftUp, kVkReturn, kVkReturn}));
}

}  // namespace
}  // namespace orv::fake
