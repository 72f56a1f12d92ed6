// End-to-end typing: the keyboard and the target application in separate
// processes, every touch a synthetic finger on the screen.
#include "harness.h"

namespace orv::e2e {
namespace {

const std::wstring_view kSecond = kDefaultLayouts[2];

using Typing = Scene;

TEST_F(Typing, TouchedFieldTakesEveryKeyAndTextArrivesIntact) {
  ASSERT_TRUE(Capture(kEdit1, L"abc"));
  keyboard.Type(L"ж1");
  EXPECT_TRUE(FieldShows(kEdit1, L"abcж1"));
  EXPECT_TRUE(LineShows(L"abcж1"));

  // The second language, and a character beyond the ANSI code page.
  keyboard.TouchFunctionKey(kKeyLang);
  keyboard.Type(L"q", kSecond);
  EXPECT_TRUE(FieldShows(kEdit1, L"abcж1q"));
  ASSERT_TRUE(Capture(kEdit2, L"€ ✓"));
  keyboard.Type(L"w", kSecond);
  EXPECT_TRUE(FieldShows(kEdit2, L"€ ✓w"));

  // A VB6 text box is a target; a button is not.
  ASSERT_TRUE(Capture(kThunder, L"vb"));
  Touch(target.FieldCentre(kButton));
  keyboard.Type(L"1", kSecond);
  EXPECT_TRUE(FieldShows(kThunder, L"vb1"));
}

TEST_F(Typing, DestroyedOrHungTargetNeverFreezesTheKeyboard) {
  ASSERT_TRUE(Capture(kEdit3, L"gone"));
  PostMessageW(target.window, kMsgDestroyField, kEdit3, 0);
  ASSERT_TRUE(WaitFor([&] { return !target.Field(kEdit3); }, 3000ms, "the field to go"));
  keyboard.Type(L"12");
  EXPECT_TRUE(LineShows(L"gone12"));

  ASSERT_TRUE(Capture(kEdit1, L"abc"));
  target.SetFieldText(kEdit2, L"other");
  target.Hang(6000ms);
  target.TouchField(kEdit2);
  // The first key waits for the capture that gives up on the hung field;
  // the line keeps what it had.
  keyboard.Type(L"0");
  ASSERT_TRUE(LineShows(L"abc0"));
  // From then on every key answers promptly, though the writes into the
  // hung field each give up only after a while.
  std::wstring expected = L"abc0";
  for (wchar_t c : std::wstring(L"123")) {
    const auto t0 = std::chrono::steady_clock::now();
    keyboard.Type({&c, 1});
    EXPECT_TRUE(LineShows(expected += c));
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 1000ms) << "a key touch took too long";
  }
  EXPECT_TRUE(keyboard.process.Running());
}

// Enter presses the target's default button and remembers the text, which the
// drop-down then offers; a password is never remembered, not even the one
// still in the line when X ends the program.
TEST_F(Typing, EnterRemembersTextButNeverAPassword) {
  keyboard.TouchFunctionKey(kKeyEnter);  // no target yet: nothing happens
  ASSERT_TRUE(Capture(kEdit1, L""));
  EXPECT_EQ(target.EnterCount(), 0);
  keyboard.Type(L"дом 5");
  ASSERT_TRUE(FieldShows(kEdit1, L"дом 5"));
  keyboard.TouchFunctionKey(kKeyEnter);
  EXPECT_TRUE(WaitFor([&] { return target.EnterCount() == 1; }, 3000ms, "one Enter press",
                      [&] { return std::to_string(target.EnterCount()); }));
  EXPECT_TRUE(LineShows(L"дом 5"));
  // In a car the power goes at every ignition off: the text is saved at once.
  const std::string saved = Cp1251(L"[History]\r\nдом 5\r\n");
  const auto file = [&] { return ReadFile(keyboard.folder.File(L"OrvKey.ini")).value_or(""); };
  EXPECT_TRUE(WaitFor([&] { return file().ends_with(saved); }, 3000ms, "the text in the file"));
  // Done, Enter puts the cursor back where the finger was.
  const POINT enter = keyboard.ToScreen(FunctionKeyCentre(kKeyEnter));
  POINT cursor{};
  EXPECT_TRUE(
      WaitFor([&] { return GetCursorPos(&cursor) && cursor.x == enter.x && cursor.y == enter.y; },
              3000ms, "the cursor back on Enter"));
  keyboard.TouchFunctionKey(kKeyClr);
  ASSERT_TRUE(FieldShows(kEdit1, L""));
  // Picked from the cleared line's drop-down, the remembered text is typed again.
  const RECT box = WindowRect(keyboard.EditLine());
  Touch({box.right - 8, (box.top + box.bottom) / 2});
  HWND list = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        for (HWND w : TopLevelWindows(keyboard.process.pid))
          if (ClassName(w) == L"ComboLBox") list = w;
        return list != nullptr;
      },
      3000ms, "the drop-down list to open"));
  // Wine places the list after it shows it: touch it once it stays put.
  std::array<LONG, 4> items{};
  ASSERT_TRUE(WaitSteady([&] { return std::bit_cast<std::array<LONG, 4>>(WindowRect(list)); },
                         items, "the drop-down list to stay put"));
  Touch({(items[0] + items[2]) / 2, items[1] + 10});
  EXPECT_TRUE(FieldShows(kEdit1, L"дом 5"));

  ASSERT_TRUE(Capture(kPassword, L"пароль"));
  keyboard.Type(L"7");
  keyboard.TouchFunctionKey(kKeyEnter);
  keyboard.Type(L"8");
  ASSERT_TRUE(LineShows(L"пароль78"));
  keyboard.TouchFunctionKey(kKeyClose);
  ASSERT_TRUE(keyboard.process.WaitForExit());
  EXPECT_TRUE(file().ends_with(saved)) << file();
}

// Clr and Space are typed by the Enter case and the incremental test.
TEST_F(Typing, TabShiftAndCaps) {
  // Tab walks every kind of field a touch captures, the older VB text box too.
  target.SetFieldText(kOldThunder2, L"two");
  ASSERT_TRUE(Capture(kOldThunder1, L"old"));
  keyboard.TouchFunctionKey(kKeyTab);
  ASSERT_TRUE(LineShows(L"two"));

  // Shift is for one letter.
  ASSERT_TRUE(Capture(kEdit1, L""));
  keyboard.TouchFunctionKey(kKeyShift);
  keyboard.TouchKey(12);
  keyboard.TouchKey(12);
  EXPECT_TRUE(FieldShows(kEdit1, L"Йй"));

  // With Shift working as Caps Lock every letter is shifted.
  ASSERT_TRUE(keyboard.ToggleOptions(true));
  keyboard.TouchAt({110, 362});  // "Shift works as Caps Lock"
  ASSERT_TRUE(keyboard.ActivationAtRest());
  ScreenShot().SaveBmp(ArtifactsDir() + L"\\keyboard_options.bmp");
  ASSERT_TRUE(keyboard.ToggleOptions(false));
  keyboard.TouchFunctionKey(kKeyShift);
  keyboard.TouchKey(13);
  keyboard.TouchKey(13);
  EXPECT_TRUE(FieldShows(kEdit1, L"ЙйЦЦ"));
}

// Fields beyond the plain edit control: rich edits of riched20 and msftedit,
// a Windows Forms text box, and a field that takes text only as keystrokes.
using Reach = Scene;

TEST_F(Reach, RichEditsFormsAndKeystrokeFieldsTakeEveryKey) {
  const HWND line = keyboard.EditLine();

  // A character beyond the ANSI code page comes and goes intact.
  for (int id : {kRich20, kRich50, kWinForms}) {
    const HWND field = target.Field(id);
    SendMessageTimeoutW(field, WM_SETTEXT, 0, LPARAM(L"✓ab"), SMTO_ABORTIFHUNG, 1000, nullptr);
    Touch(Centre(WindowRect(field)));
    ASSERT_TRUE(WaitForText(line, L"✓ab")) << id;
    keyboard.Type(L"жд");
    keyboard.TouchFunctionKey(kKeyBack);
    EXPECT_TRUE(WaitForText(field, L"✓abж")) << id;
  }

  // The line shows only what was typed since the touch; Enter and Space go
  // as their keys.
  const HWND chars = target.Field(kCharField);
  Touch(Centre(WindowRect(chars)));
  ASSERT_TRUE(WaitForText(line, L""));
  keyboard.Type(L"дом 5");
  keyboard.TouchFunctionKey(kKeyBack);
  keyboard.TouchFunctionKey(kKeyEnter);
  EXPECT_TRUE(WaitForText(chars, L"дом \n"));
  EXPECT_TRUE(WaitForText(line, L"дом "));
}

}  // namespace
}  // namespace orv::e2e
