// End-to-end typing: the keyboard and the target application in separate
// processes, every touch a synthetic finger on the screen.
#include "harness.h"

using namespace orv::e2e;

namespace {

// Both programs up, the keyboard settled at its designed place.
class Typing : public ::testing::Test {
 protected:
  TargetApp target;
  Keyboard keyboard;

  void SetUp() override {
    ASSERT_TRUE(target.Start());
    ASSERT_TRUE(keyboard.Start());
    ASSERT_TRUE(keyboard.WaitSettled());
  }

  ::testing::AssertionResult LineShows(std::wstring_view text, Millis deadline = 3000ms) {
    return WaitForText(keyboard.EditLine(), text, deadline);
  }
  ::testing::AssertionResult FieldShows(int id, std::wstring_view text) {
    return WaitForText(target.Field(id), text);
  }
  // Touches a field and waits until the keyboard has taken its text.
  ::testing::AssertionResult Capture(int id) {
    const std::wstring text = target.FieldText(id);
    target.TouchField(id);
    return LineShows(text);
  }
};

TEST_F(Typing, TouchedFieldTakesEveryKeyAndTextArrivesIntact) {
  ASSERT_TRUE(target.SetFieldText(kEdit1, L"abc"));
  ASSERT_TRUE(Capture(kEdit1));
  keyboard.Type(L"ж1");
  EXPECT_TRUE(FieldShows(kEdit1, L"abcж1"));
  EXPECT_TRUE(LineShows(L"abcж1"));

  // The second language and a character beyond the ANSI code page.
  keyboard.TouchFunctionKey(FunctionKey::Lang);
  keyboard.Type(L"q", kLayoutSecond);
  EXPECT_TRUE(FieldShows(kEdit1, L"abcж1q"));
  ASSERT_TRUE(target.SetFieldText(kEdit2, L"€ ✓"));
  ASSERT_TRUE(Capture(kEdit2));
  keyboard.Type(L"w", kLayoutSecond);
  EXPECT_TRUE(FieldShows(kEdit2, L"€ ✓w"));

  // A VB6 text box is a target; a button is not.
  ASSERT_TRUE(target.SetFieldText(kThunder, L"vb"));
  ASSERT_TRUE(Capture(kThunder));
  Touch(target.FieldCentre(kButton));
  keyboard.Type(L"1", kLayoutSecond);
  EXPECT_TRUE(FieldShows(kThunder, L"vb1"));

  // A tap between the first and the second character of the keyboard's own
  // line puts the next key there.
  const HWND edit = FindWindowExW(keyboard.EditLine(), nullptr, L"Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  const LRESULT pos = SendMessageW(edit, EM_POSFROMCHAR, 1, 0);
  POINT tap{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos)) + 5};
  ClientToScreen(edit, &tap);
  Touch(tap);
  keyboard.Type(L"2", kLayoutSecond);
  EXPECT_TRUE(FieldShows(kThunder, L"v2b1"));
}

TEST_F(Typing, HungTargetNeverFreezesTheKeyboard) {
  ASSERT_TRUE(target.SetFieldText(kEdit1, L"abc"));
  ASSERT_TRUE(Capture(kEdit1));
  ASSERT_TRUE(target.SetFieldText(kEdit2, L"other"));
  target.Hang(6000ms);
  target.TouchField(kEdit2);
  // The first key waits for the capture that gives up on the hung field;
  // the line keeps what it had.
  keyboard.Type(L"0");
  ASSERT_TRUE(LineShows(L"abc0", 3000ms));
  // From then on every key answers promptly.
  std::wstring expected = L"abc0";
  for (wchar_t c : std::wstring(L"123")) {
    expected += c;
    const auto t0 = std::chrono::steady_clock::now();
    keyboard.Type(std::wstring(1, c));
    EXPECT_TRUE(LineShows(expected, 3000ms));
    const auto took = std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now() - t0);
    // The touch itself holds the finger down for 60 ms; the write into the
    // hung field gives up after 500 ms.
    EXPECT_LT(took.count(), 1000) << "a key touch took " << took.count() << " ms";
  }
  EXPECT_TRUE(keyboard.process().Running());
}

TEST_F(Typing, DestroyedTargetOnlyChangesTheLine) {
  ASSERT_TRUE(target.SetFieldText(kEdit3, L"gone"));
  ASSERT_TRUE(Capture(kEdit3));
  target.DestroyField(kEdit3);
  ASSERT_TRUE(WaitFor([&] { return target.Field(kEdit3) == nullptr; }, 3000ms, "the field to go"));
  keyboard.Type(L"12");
  EXPECT_TRUE(LineShows(L"gone12"));
  EXPECT_TRUE(keyboard.process().Running());
}

TEST_F(Typing, EnterPressesTheDefaultButtonAndRemembersThePickedText) {
  // Enter without a target does nothing.
  keyboard.TouchFunctionKey(FunctionKey::Enter);
  EXPECT_EQ(target.EnterCount(), 0);

  ASSERT_TRUE(target.SetFieldText(kEdit1, L""));
  ASSERT_TRUE(Capture(kEdit1));
  keyboard.Type(L"дом 5");
  ASSERT_TRUE(FieldShows(kEdit1, L"дом 5"));
  keyboard.TouchFunctionKey(FunctionKey::Enter);
  EXPECT_TRUE(WaitFor([&] { return target.EnterCount() == 1; }, 3000ms, "the Enter press",
                      [&] { return std::to_string(target.EnterCount()); }));
  EXPECT_TRUE(LineShows(L"дом 5"));

  // Clr, then pick the remembered text from the drop-down.
  keyboard.TouchFunctionKey(FunctionKey::Clr);
  ASSERT_TRUE(FieldShows(kEdit1, L""));
  const RECT line = WindowRect(keyboard.EditLine());
  Touch({line.right - 8, (line.top + line.bottom) / 2});  // the drop-down button
  // The open list is a top-level window of the keyboard's; it holds the
  // one remembered text.
  HWND list = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        for (HWND w : TopLevelWindows(keyboard.process().pid(), true)) {
          if (ClassName(w) == L"ComboLBox") list = w;
        }
        return list != nullptr;
      },
      3000ms, "the drop-down list to open", [] { return DescribeTopLevelWindows(); }));
  const RECT items = WindowRect(list);
  Touch({(items.left + items.right) / 2, items.top + 10});
  EXPECT_TRUE(FieldShows(kEdit1, L"дом 5"));
  keyboard.Type(L"1");
  EXPECT_TRUE(FieldShows(kEdit1, L"дом 51"));
}

TEST_F(Typing, TabShiftCapsLangClearSpaceBackspaceAndClose) {
  ASSERT_TRUE(target.SetFieldText(kEdit1, L"one"));
  ASSERT_TRUE(target.SetFieldText(kEdit2, L"two"));
  ASSERT_TRUE(target.SetFieldText(kEdit3, L"three"));
  ASSERT_TRUE(target.SetFieldText(kMultiLine, L"multi"));
  ASSERT_TRUE(target.SetFieldText(kPassword, L"pw"));
  // Tab walks the fields of the Edit class in order, then wraps to the first.
  ASSERT_TRUE(Capture(kEdit3));
  for (const wchar_t* next : {L"multi", L"pw", L"one"}) {
    keyboard.TouchFunctionKey(FunctionKey::Tab);
    ASSERT_TRUE(LineShows(next));
  }
  keyboard.TouchFunctionKey(FunctionKey::Clr);
  ASSERT_TRUE(FieldShows(kEdit1, L""));

  // Shift is for one letter.
  keyboard.TouchFunctionKey(FunctionKey::Caps);
  keyboard.TouchKey(12);
  keyboard.TouchKey(12);
  EXPECT_TRUE(FieldShows(kEdit1, L"Йй"));
  // Space, then backspace removes it again.
  keyboard.TouchFunctionKey(FunctionKey::Space);
  EXPECT_TRUE(FieldShows(kEdit1, L"Йй "));
  keyboard.TouchFunctionKey(FunctionKey::Back);
  EXPECT_TRUE(FieldShows(kEdit1, L"Йй"));

  // Lang types the second layout.
  keyboard.TouchFunctionKey(FunctionKey::Lang);
  keyboard.TouchKey(12);
  EXPECT_TRUE(FieldShows(kEdit1, L"Ййq"));

  // With Shift working as Caps Lock every letter is shifted.
  keyboard.TouchFunctionKey(FunctionKey::Menu);
  ASSERT_TRUE(WaitFor([&] { return keyboard.rect().bottom - keyboard.rect().top == 401; }, 3000ms,
                      "the options panel to open"));
  keyboard.TouchAt({110, 362});  // "Shift works as Caps Lock"
  keyboard.TouchFunctionKey(FunctionKey::Menu);
  ASSERT_TRUE(WaitFor([&] { return keyboard.rect().bottom - keyboard.rect().top == 217; }, 3000ms,
                      "the options panel to close"));
  keyboard.TouchFunctionKey(FunctionKey::Caps);
  keyboard.TouchKey(13);
  keyboard.TouchKey(13);
  EXPECT_TRUE(FieldShows(kEdit1, L"ЙйqWW"));

  // X ends the program.
  keyboard.TouchFunctionKey(FunctionKey::Close);
  EXPECT_TRUE(keyboard.process().WaitForExit(5000ms));
}

}  // namespace
