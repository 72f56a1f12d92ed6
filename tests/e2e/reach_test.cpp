// Typing into fields beyond the plain edit control, in another process:
// rich edits of riched20 and msftedit, a Windows Forms text box, and a field
// that takes text only as keystrokes.
#include "harness.h"

namespace orv::e2e {
namespace {

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
