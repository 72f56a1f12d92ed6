// End-to-end: what real programs have that the plain fields do not. Enter in
// multi-line fields, a formatted document kept through typing, fields that a
// group box or a label lies over, keys after the user left the target's
// program, and windows brought over the keyboard. (Password fields are
// typed into with the Enter case of typing_test.cpp.)
#include "harness.h"

namespace orv::e2e {
namespace {

class RealPrograms : public Scene {
 protected:
  // Taps the keyboard's own line (its edit part) just after its character `at`.
  Result TapLineAt(int at) {
    const HWND own = FindWindowExW(keyboard.EditLine(), nullptr, L"Edit", nullptr);
    const LRESULT pos = SendMessageW(own, EM_POSFROMCHAR, at, 0);
    POINT tap{short(LOWORD(pos)) + 1, short(HIWORD(pos)) + 5};
    ClientToScreen(own, &tap);
    Touch(tap);
    LRESULT sel = -1;
    return WaitFor([&] { return HIWORD(sel = SendMessageW(own, EM_GETSEL, 0, 0)) == at; }, 3000ms,
                   "the tap in the line", [&] { return std::to_string(HIWORD(sel)); });
  }
  std::wstring Format() {
    SendMessageTimeoutW(target.window, kMsgDescribeFormat, 0, 0, SMTO_ABORTIFHUNG, 3000, nullptr);
    return target.FieldText(kFormatReport);
  }
  // The field has held `text` for a while: nothing wrote it away.
  Result Stays(HWND field, const std::wstring& text) {
    std::wstring now;
    auto steady = WaitSteady([&] { return WindowText(field); }, now, "the field to settle");
    if (!steady) return steady;
    if (now == text) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the field holds \"" << Narrow(now) << "\", not \""
                                         << Narrow(text) << "\"";
  }
};

// A touch on another field 100 ms after Enter in a multi-line field is taken
// while Enter still runs, and the new line stays. (Enter at the insertion
// point of a multi-line field is proven on Notepad's page below.)
TEST_F(RealPrograms, EnterInMultiLineFieldsLetsATouchRightAfterItCountAndKeepsFormatting) {
  target.SetFieldText(kEdit2, L"next");
  ASSERT_TRUE(Capture(kMultiLine, L"line"));
  keyboard.TouchFunctionKey(kKeyEnter);
  std::this_thread::sleep_for(100ms);
  target.TouchField(kEdit2);
  EXPECT_TRUE(LineShows(L"next"));
  EXPECT_TRUE(FieldShows(kMultiLine, L"line\r\n"));
  keyboard.Type(L"1");
  EXPECT_TRUE(FieldShows(kEdit2, L"next1"));
  EXPECT_TRUE(Stays(target.Field(kMultiLine), L"line\r\n"));

  // A rich document keeps its bold and underlined words through typing,
  // backspace and Enter, all of them made in place.
  const std::wstring doc = kRichDocText;
  const std::wstring formatted =
      std::wstring(kBoldStart, '.') + std::wstring(kBoldEnd - kBoldStart, 'b') +
      std::wstring(kUnderStart - kBoldEnd, '.') + std::wstring(kUnderEnd - kUnderStart, 'u');
  ASSERT_EQ(Format(), formatted);
  target.TouchField(kRichDoc);
  ASSERT_TRUE(LineShows(doc));
  keyboard.Type(L"жд");
  keyboard.TouchFunctionKey(kKeyBack);
  ASSERT_TRUE(FieldShows(kRichDoc, doc + L"ж"));
  keyboard.TouchFunctionKey(kKeyBack);
  ASSERT_TRUE(FieldShows(kRichDoc, doc));
  EXPECT_EQ(Format(), formatted);

  // A new paragraph at the end, typed on: the formatting before it stays.
  keyboard.TouchFunctionKey(kKeyEnter);
  ASSERT_TRUE(FieldShows(kRichDoc, doc + L"\r\n"));
  keyboard.Type(L"ж");
  ASSERT_TRUE(FieldShows(kRichDoc, doc + L"\r\nж"));
  EXPECT_TRUE(Stays(target.Field(kRichDoc), doc + L"\r\nж"));
  EXPECT_EQ(Format(), formatted);

  // Changed by its program, the document is still brought to the line in place.
  SendMessageTimeoutW(target.Field(kRichDoc), EM_SETSEL, -1, -1, SMTO_ABORTIFHUNG, 1000, nullptr);
  SendMessageTimeoutW(target.Field(kRichDoc), EM_REPLACESEL, 0, LPARAM(L"-"), SMTO_ABORTIFHUNG,
                      1000, nullptr);
  ASSERT_TRUE(FieldShows(kRichDoc, doc + L"\r\nж-"));
  keyboard.Type(L"д");
  EXPECT_TRUE(FieldShows(kRichDoc, doc + L"\r\nжд"));
  EXPECT_EQ(Format(), formatted);
}

// Fields that a group box frames, or a label reaches over, are captured where
// the finger is; touching another program's window lets the target go, and
// no key reaches it afterwards.
TEST_F(RealPrograms, FieldsUnderTransparentControlsAndTheTargetLetGo) {
  ASSERT_TRUE(Capture(kGrouped, L"in the group"));
  ASSERT_TRUE(Capture(kLabelled, L"under the label"));
  keyboard.Type(L"1");
  EXPECT_TRUE(FieldShows(kLabelled, L"under the label1"));

  TargetApp other;
  ASSERT_TRUE(other.Start(10, 240));
  Touch(other.FieldCentre(kButton));
  EXPECT_TRUE(LineShows(L""));
  keyboard.Type(L"2");
  EXPECT_TRUE(Stays(target.Field(kLabelled), L"under the label1"));
  // A button of the target's own program keeps it.
  ASSERT_TRUE(Capture(kEdit1, L"abc"));
  Touch(target.FieldCentre(kButton));
  keyboard.Type(L"3");
  EXPECT_TRUE(FieldShows(kEdit1, L"abc3"));
}

// A window another program brings to the front over the keyboard, its word
// strip or a tip goes under them on the screen, and keeps the focus.
TEST_F(RealPrograms, KeyboardStaysAboveWindowsBroughtOverIt) {
  const HWND strip = FindTopLevelWindow(keyboard.process.pid, L"OrvKey Words");
  ASSERT_TRUE(strip) << "no word strip";
  // A touched field brings a tip to rest on the screen.
  ASSERT_TRUE(Capture(kEdit1, L"x"));
  const HWND tip = FindTopLevelWindow(keyboard.process.pid, L"OrvTask Information Window", false);
  std::array<LONG, 4> rest{};
  ASSERT_TRUE(WaitSteady([&] { return std::bit_cast<std::array<LONG, 4>>(WindowRect(tip)); }, rest,
                         "the tip at rest"));
  const RECT s = WindowRect(strip), line = WindowRect(keyboard.EditLine()), t = WindowRect(tip);
  ASSERT_LT(t.right, GetSystemMetrics(SM_CXSCREEN)) << DescribeWindow(tip);
  // Each point is covered from where the cover reaches out beside it.
  struct Probe {
    POINT at;
    HWND own;  // none for the tip, which lets presses through
    POINT cover;
    COLORREF colour = 0;
  } probes[] = {
      {{t.left + 100, t.top + 60}, nullptr, {t.left + 50, t.top - 60}},
      {{s.left + 8, s.top + 8}, strip, {s.left - 100, s.top}},
      {{line.left + 8, (line.top + line.bottom) / 2}, keyboard.window, {s.left - 100, s.top}}};
  for (Probe& p : probes)
    ASSERT_TRUE(WaitSteady([&] { return ScreenShot().At(p.at.x, p.at.y); }, p.colour,
                           "the keyboard to be painted"));
  HWND cover = nullptr;
  POINT covered{};
  for (Probe& p : probes) {
    const POINT beside{p.cover.x + 50, p.cover.y + 8};
    if (std::exchange(covered, p.cover).x != p.cover.x) {
      // Shown anew each time, as a window brought over the keyboard is.
      PostMessageW(target.window, kMsgCover, 0, 0);
      PostMessageW(target.window, kMsgCover, p.cover.x, p.cover.y);
    }
    ASSERT_TRUE(WaitFor(
        [&] {
          cover = FindTopLevelWindow(target.process.pid, L"Cover");
          return cover && GetForegroundWindow() == cover &&
                 ScreenShot().At(beside.x, beside.y) == kCoverColour;
        },
        3000ms, "the covering window in front"));
    COLORREF now = 0;
    EXPECT_TRUE(WaitSteady([&] { return ScreenShot().At(p.at.x, p.at.y); }, now,
                           "the screen to settle"));
    EXPECT_EQ(now, p.colour) << "covered at " << p.at.x << "," << p.at.y;
    if (p.own) {
      EXPECT_EQ(GetAncestor(WindowFromPoint(p.at), GA_ROOT), p.own);
    }
  }
  EXPECT_EQ(GetForegroundWindow(), cover) << "the keyboard took the focus";
  PostMessageW(target.window, kMsgCover, 0, 0);
}

// A console reads keys, not characters: what the console's keyboard layout
// types goes as its keys, capitals with Shift.
TEST_F(RealPrograms, KeysReachAConsoleAsVirtualKeys) {
  const std::wstring exe = BuiltPath(u8"" ORV_E2E_CONSOLE_EXE);
  const Process reader =
      StartProcess(exe, L"", exe.substr(0, exe.find_last_of(L'\\')), CREATE_NEW_CONSOLE);
  ASSERT_TRUE(reader.Running());
  HWND console = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        for (HWND w : TopLevelWindows(0))
          if (WindowText(w).starts_with(L"keys:")) console = w;
        return console != nullptr;
      },
      15000ms, "the console window", DescribeTopLevelWindows));
  Touch(Centre(WindowRect(console)));
  ASSERT_TRUE(LineShows(L""));
  keyboard.TouchFunctionKey(kKeyLang);
  keyboard.Type(L"q1", kDefaultLayouts[2]);
  keyboard.TouchFunctionKey(kKeyShift);
  keyboard.Type(L"Q", kDefaultLayouts[3]);
  EXPECT_TRUE(WaitForText(console, L"keys:q+1+Q+"));
  // A word from the strip goes as the keys of what it adds to the letters typed.
  keyboard.TouchFunctionKey(kKeySpace);
  keyboard.Type(L"th", kDefaultLayouts[2]);
  std::vector<HWND> shown;
  ASSERT_TRUE(WaitFor(
      [&] {
        shown = StripWords(keyboard.process.pid);
        return !shown.empty() && WindowText(shown[0]).starts_with(L"th");
      },
      3000ms, "words for \"th\""));
  const std::wstring word = WindowText(shown[0]);
  Touch(Centre(WindowRect(shown[0])));
  std::wstring keys = L"keys:q+1+Q+ +t+h+";
  for (wchar_t c : word.substr(2) + L" ") keys += std::wstring{c, L'+'};
  EXPECT_TRUE(WaitForText(console, keys));
}

// Wine's own programs, each started fresh and put where the keyboard leaves
// it room.
class WineProgram {
 public:
  Process process;
  HWND window = nullptr;
  // `exe` from the Windows folder, or a full path.
  Result Start(std::wstring exe) {
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    if (exe.find(L'\\') == exe.npos) exe = std::wstring(windows) + L"\\" + exe;
    process = StartProcess(exe, L"", windows);
    auto up = WaitFor([&] { return (window = Main()) != nullptr; }, 20000ms,
                      "the window of " + Narrow(exe), DescribeTopLevelWindows);
    if (up) SetWindowPos(window, nullptr, 10, 10, 600, 400, SWP_NOZORDER);
    return up;
  }
  HWND Child(const wchar_t* cls) const { return FindWindowExW(window, nullptr, cls, nullptr); }

 private:
  HWND Main() const {
    for (HWND w : TopLevelWindows(process.pid))
      if (GetWindow(w, GW_OWNER) == nullptr) return w;
    return nullptr;
  }
};

// Notepad's page breaks at the insertion point, and the keyboard goes on
// after the break; Wordpad's document takes keys, backspace and Enter in
// place, its caret where the typing is; Regedit's Find field is captured.
TEST_F(RealPrograms, NotepadWordpadAndRegedit) {
  WineProgram notepad;
  ASSERT_TRUE(notepad.Start(L"notepad.exe"));
  const HWND page = notepad.Child(L"Edit");
  ASSERT_TRUE(page) << DescribeWindow(notepad.window);
  SendMessageTimeoutW(page, WM_SETTEXT, 0, LPARAM(L"abcd"), SMTO_ABORTIFHUNG, 1000, nullptr);
  Touch(Centre(WindowRect(page)));
  ASSERT_TRUE(LineShows(L"abcd"));
  ASSERT_TRUE(TapLineAt(2));
  keyboard.TouchFunctionKey(kKeyEnter);
  EXPECT_TRUE(WaitForText(page, L"ab\r\ncd"));
  keyboard.Type(L"ж");
  EXPECT_TRUE(WaitForText(page, L"ab\r\nжcd"));
  EXPECT_TRUE(Stays(page, L"ab\r\nжcd"));
  notepad.process = {};

  WineProgram wordpad;
  ASSERT_TRUE(wordpad.Start(L"C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe"));
  HWND doc = nullptr;
  for (const wchar_t* cls : {L"RICHEDIT50W", L"RichEdit20W"})
    if (!doc) doc = wordpad.Child(cls);
  ASSERT_TRUE(doc) << DescribeWindow(wordpad.window);
  SendMessageTimeoutW(doc, WM_SETTEXT, 0, LPARAM(L"one two\r\nthree"), SMTO_ABORTIFHUNG, 1000,
                      nullptr);
  Touch(Centre(WindowRect(doc)));
  ASSERT_TRUE(LineShows(L"one two\r\nthree"));
  keyboard.Type(L"жд");
  keyboard.TouchFunctionKey(kKeyBack);
  EXPECT_TRUE(WaitForText(doc, L"one two\r\nthreeж"));
  // A key straight after Enter comes after the new line.
  keyboard.TouchFunctionKey(kKeyEnter);
  keyboard.Type(L"д");
  EXPECT_TRUE(WaitForText(doc, L"one two\r\nthreeж\r\nд"));
  // Its caret where the typing is, not thrown to the start: after the new
  // line, before or after the key typed straight after Enter.
  DWORD_PTR sel = 0;
  SendMessageTimeoutW(doc, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 1000, &sel);
  EXPECT_GE(HIWORD(sel), 15);
  wordpad.process = {};

  // Regedit's Find dialog: its label reaches over most of its field, which
  // a touch on the field's middle captures all the same.
  WineProgram regedit;
  ASSERT_TRUE(regedit.Start(L"regedit.exe"));
  SetForegroundWindow(regedit.window);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == regedit.window; }, 3000ms,
                      "regedit in front"));
  INPUT keys[4]{};
  for (auto& k : keys) k.type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[3].ki.wVk = VK_CONTROL;
  keys[1].ki.wVk = keys[2].ki.wVk = 'F';
  keys[2].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(4, keys, sizeof keys[0]);
  HWND find = nullptr, field = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        for (HWND w : TopLevelWindows(regedit.process.pid))
          if (GetWindow(w, GW_OWNER) == regedit.window) find = w;
        return find && (field = FindWindowExW(find, nullptr, L"Edit", nullptr));
      },
      5000ms, "the Find dialog", DescribeTopLevelWindows));
  SendMessageTimeoutW(field, WM_SETTEXT, 0, LPARAM(L"key"), SMTO_ABORTIFHUNG, 1000, nullptr);
  Touch(Centre(WindowRect(field)));
  ASSERT_TRUE(LineShows(L"key"));
  keyboard.Type(L"ж");
  EXPECT_TRUE(WaitForText(field, L"keyж"));
}

}  // namespace
}  // namespace orv::e2e
