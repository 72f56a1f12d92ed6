// End-to-end typing: the keyboard and the target application in separate
// processes, every touch a synthetic finger on the screen. Fields of every
// kind, held keys and bounces, and the changed span a key writes.
#include <random>

#include "harness.h"

namespace orv::e2e {
namespace {

const std::wstring_view kSecond = kDefaultLayouts[2];

using Typing = Scene;

// Clr and Space are typed by the Enter case and the incremental test.
TEST_F(Typing, TouchedFieldTakesEveryKeyTabShiftAndCaps) {
  ASSERT_TRUE(Capture(kEdit1, L"abc"));
  keyboard.Type(L"ж1");
  EXPECT_TRUE(FieldShows(kEdit1, L"abcж1"));
  EXPECT_TRUE(LineShows(L"abcж1"));

  // The second language.
  keyboard.TouchFunctionKey(kKeyLang);
  keyboard.Type(L"q", kSecond);
  EXPECT_TRUE(FieldShows(kEdit1, L"abcж1q"));

  // A VB6 text box is a target, its characters beyond the ANSI code page
  // intact; a button is not.
  ASSERT_TRUE(Capture(kThunder, L"€ ✓"));
  Touch(target.FieldCentre(kButton));
  keyboard.Type(L"1", kSecond);
  EXPECT_TRUE(FieldShows(kThunder, L"€ ✓1"));
  keyboard.TouchFunctionKey(kKeyLang);

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

// A field that could not be read is never written over: one that answers
// its length at once but its text only late keeps its text while the keys
// edit the line alone, and once it answers the keys edit its own text; a
// hung one keeps its text through the hang.
TEST_F(Typing, DestroyedBusyOrHungTargetNeverFreezesTheKeyboardNorLosesItsText) {
  ASSERT_TRUE(Capture(kEdit3, L"gone"));
  PostMessageW(target.window, kMsgDestroyField, kEdit3, 0);
  ASSERT_TRUE(WaitFor([&] { return !target.Field(kEdit3); }, 3000ms, "the field to go"));
  keyboard.Type(L"12");
  EXPECT_TRUE(LineShows(L"gone12"));

  const std::wstring kept = L"двадцать символов...";
  target.SetFieldText(kThunder, kept);
  target.SlowText(kThunder, true);
  target.TouchField(kThunder);
  // The busy program comes round to the finger's lift only after its late
  // answer, and holds the mouse until then; its moves come later still. The
  // keys are touched after all of them.
  ASSERT_TRUE(WaitFor(
      [&] {
        GUITHREADINFO gui{sizeof gui};
        return target.SlowTextsGiven() > 0 &&
               GetGUIThreadInfo(GetWindowThreadProcessId(target.window, nullptr), &gui) &&
               !gui.hwndCapture;
      },
      5000ms, "the late answer and the mouse let go"));
  ASSERT_TRUE(target.CaughtUp());
  keyboard.Type(L"3");
  ASSERT_TRUE(LineShows(L"gone123", 5000ms));
  target.SlowText(kThunder, false);
  EXPECT_TRUE(FieldShows(kThunder, kept));
  keyboard.Type(L"4");
  EXPECT_TRUE(LineShows(kept + L"4"));
  EXPECT_TRUE(FieldShows(kThunder, kept + L"4"));

  ASSERT_TRUE(Capture(kEdit1, L"abc"));
  target.SetFieldText(kEdit2, L"other");
  PostMessageW(target.window, kMsgHang, 6000, 0);
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
  EXPECT_TRUE(FieldShows(kEdit2, L"other", 8000ms));
  ASSERT_TRUE(target.CaughtUp());
  keyboard.Type(L"4");
  EXPECT_TRUE(FieldShows(kEdit2, L"other4"));
}

// Enter presses the target's default button and remembers the text, which the
// drop-down then offers; a password is never shown nor remembered, not even
// the one still in the line when X ends the program.
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
  EXPECT_TRUE(EnterDone());
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

  // A password field's line shows the field's own mask character for each
  // of its characters, from the touch through Enter, and never the text.
  std::vector<std::wstring> seen{WindowText(keyboard.EditLine())};  // before the touch
  const auto masked = [&](size_t n) {
    return WaitFor(
        [&] {
          const std::wstring line = WindowText(keyboard.EditLine());
          if (seen.empty() || seen.back() != line) seen.push_back(line);
          return line == std::wstring(n, kPasswordMask);
        },
        3000ms, std::to_string(n) + " mask characters in the line");
  };
  target.SetFieldText(kPassword, L"пароль");
  target.TouchField(kPassword);
  ASSERT_TRUE(masked(6));
  keyboard.Type(L"7");
  keyboard.TouchFunctionKey(kKeyEnter);
  std::this_thread::sleep_for(400ms);
  ASSERT_TRUE(masked(7));
  keyboard.Type(L"8");
  ASSERT_TRUE(FieldShows(kPassword, L"пароль78"));
  ASSERT_TRUE(masked(8));
  for (size_t i = 1; i < seen.size(); ++i)
    EXPECT_EQ(seen[i].find_first_of(L"пароль78"), std::wstring::npos) << Narrow(seen[i]);
  keyboard.TouchFunctionKey(kKeyClose);
  ASSERT_TRUE(keyboard.process.WaitForExit());
  EXPECT_TRUE(file().ends_with(saved)) << file();
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

// ---- Held keys, a bouncing finger and the focus

const std::wstring_view kFirst = kDefaultLayouts[0];

class TypingFeel : public Scene {
 protected:
  // An empty line proves no capture: the field is taken with a text, then
  // cleared from the keyboard, and the test goes on once it is empty.
  Result CaptureEmpty(int id) {
    if (Result taken = Capture(id, L"-"); !taken) return taken;
    keyboard.TouchFunctionKey(kKeyClr);
    return FieldShows(id, L"");
  }
  static GUITHREADINFO ThreadOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info;
  }
  // Typing goes where it went before the keyboard was touched: the target's
  // window stays in front and the field keeps the focus.
  bool TargetKeepsFocus(int id) const {
    return GetForegroundWindow() == target.window &&
           ThreadOf(target.window).hwndFocus == target.Field(id);
  }
  // The field's text at the release of a hold, and once it has settled.
  struct Held {
    std::wstring at_release, settled;
  };
  Held Hold(POINT at, Millis ms, int id, const std::function<void()>& pressed_then = {}) {
    Press(at);
    if (pressed_then) pressed_then();
    std::this_thread::sleep_for(ms);  // the finger stays down this long
    Release(at);
    Held r{target.FieldText(id), {}};
    EXPECT_TRUE(WaitSteady([&] { return target.FieldText(id); }, r.settled, "the field to settle"));
    EXPECT_TRUE(TargetKeepsFocus(id));
    // One write may be on its way at the release; nothing waits behind it.
    const auto after = int(r.settled.size()) - int(r.at_release.size());
    EXPECT_LE(std::abs(after), 1) << "characters that came after the release";
    return r;
  }
};

// A held Backspace clears a long field; a held letter repeats the letter it
// first typed, with the one-shot Shift spent on that first one. A finger
// bouncing 20 ms after lifting types once; the same key 100 ms after a
// release, or another key 20 ms after one, counts. Wine taking the capture
// from a pressed key: a tap still types once, and a hold goes on to the
// lift and stops there.
TEST_F(TypingFeel, HeldKeysRepeatAndStopAtTheReleaseAndBouncesTypeOnce) {
  ASSERT_TRUE(Capture(kEdit1, std::wstring(36, L'x')));
  EXPECT_GE(36 - Hold(keyboard.FunctionKeyAt(kKeyBack), 2000ms, kEdit1).settled.size(), 25u);
  ASSERT_TRUE(CaptureEmpty(kEdit2));
  keyboard.TouchFunctionKey(kKeyShift);
  const Held held = Hold(keyboard.KeyCentre(12), 1000ms, kEdit2);
  EXPECT_GE(held.settled.size(), 5u);
  EXPECT_EQ(Narrow(held.settled),
            Narrow(std::wstring(held.settled.size(), kDefaultLayouts[1][12])));

  ASSERT_TRUE(CaptureEmpty(kEdit3));
  const POINT a = keyboard.KeyCentre(12), b = keyboard.KeyCentre(13);
  // Down and up in turn, three times on a, then on b, sent at once but each
  // stamped on the tick count's clock: the keyboard sees the finger's timing,
  // however late this process sends them.
  const DWORD first = GetTickCount() - 400, ms[] = {0, 60, 80, 140, 240, 300, 320, 380};
  for (int i = 0; i < 8; ++i)
    SendMouse(i < 6 ? a : b, i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN, first + ms[i]);
  EXPECT_TRUE(FieldShows(kEdit3, std::wstring{kFirst[12], kFirst[12], kFirst[13]}));

  ASSERT_TRUE(CaptureEmpty(kEdit1));
  const auto capture_is = [&](bool ours) -> Result {
    return WaitFor(
        [&] { return (ThreadOf(keyboard.window).hwndCapture == keyboard.window) == ours; }, 3000ms,
        "the keyboard's capture");
  };
  Press(keyboard.KeyCentre(12));
  ASSERT_TRUE(capture_is(true));
  // The edit line's drop-down list takes the capture, and the release with it.
  SendMessageW(keyboard.EditLine(), CB_SHOWDROPDOWN, TRUE, 0);
  ASSERT_TRUE(capture_is(false));
  Release(keyboard.KeyCentre(12));
  EXPECT_TRUE(FieldShows(kEdit1, std::wstring(1, kFirst[12])));
  SendMessageW(keyboard.EditLine(), CB_SHOWDROPDOWN, FALSE, 0);
  const Held lost = Hold(keyboard.KeyCentre(13), 1000ms, kEdit1, [&] {
    ASSERT_TRUE(capture_is(true));
    SendMessageW(keyboard.window, WM_CANCELMODE, 0, 0);
  });
  EXPECT_GE(lost.settled.size(), 5u);
}

// ---- Writing only the changed span must leave every field exactly as
// writing the whole line would: random edits from a fixed seed, the field
// checked against the line after every step, while the application changes
// the field too, in every way that leaves its length as it was: as a whole
// text or in place, the caret put back or not, the modified flag cleared,
// far from the caret and right at it, near the start of a long text and
// beyond.

// The fields of class Edit in the order Tab walks them.
constexpr int kTabOrder[] = {kEdit1, kEdit2, kEdit3, kMultiLine, kPassword, kGrouped, kLabelled};

using Incremental = Scene;

TEST_F(Incremental, FieldEndsWithTheWholeLineAfterEveryEditAndEveryQuietChangeIsSeen) {
  // The third field's text is long: the keyboard writes its changes in
  // place there, far beyond the start.
  std::wstring held[std::size(kTabOrder)] = {L"", L"второе", L"три " + std::wstring(196, L'ж'),
                                            L"мульти", L"пароль", L"рамка", L"метка"};
  for (size_t i = 1; i < std::size(kTabOrder); ++i) target.SetFieldText(kTabOrder[i], held[i]);

  ASSERT_TRUE(Capture(kEdit1, L"дом 5"));
  const std::wstring_view layout = kDefaultLayouts[0];
  const HWND own = FindWindowExW(keyboard.EditLine(), nullptr, L"Edit", nullptr);
  std::wstring line = L"дом 5";
  size_t caret = line.size(), field = 0;
  int changes = 0;
  std::mt19937 random(14);
  auto pick = [&](size_t n) { return size_t(random() % n); };
  // The application changes one character of the field itself, each way in
  // turn, at the caret, at the start, at the end and in the middle in turn;
  // a change that clears the modified flag too stays near the start.
  auto application_changes = [&](int step) {
    const int id = kTabOrder[field];
    if (line.empty() || changes % 5 == 4) {
      target.SetFieldText(id, L"чужое " + std::to_wstring(step));
    } else {
      const auto how = FieldChange(changes % 5);
      const size_t places[] = {caret > 0 ? caret - 1 : 0, 0, line.size() - 1, line.size() / 2};
      size_t at = places[(changes / 5) % 4];
      if (how == FieldChange::kInPlaceQuietly && at >= 32) at = 0;
      SendMessageTimeoutW(target.window, kMsgChangeField, MAKEWPARAM(id, WORD(how)), LPARAM(at),
                          SMTO_ABORTIFHUNG, 3000, nullptr);
    }
    ++changes;
  };
  for (int step = 0; step < 80; ++step) {
    switch (pick(8)) {
      case 0:
      case 1:  // the application changes the field; the next key puts the line back
        application_changes(step);
        [[fallthrough]];
      case 2: {
        const size_t key = pick(22);
        keyboard.TouchKey(int(key));
        line.insert(caret++, 1, layout[key]);
        break;
      }
      case 3:
        keyboard.TouchFunctionKey(kKeyBack);
        if (caret > 0) line.erase(--caret, 1);
        break;
      case 4:
        keyboard.TouchFunctionKey(kKeyClr);
        line.clear(), caret = 0;
        break;
      case 5: {  // a tap inside the keyboard's own line moves the insertion point
        if (line.empty()) continue;
        const LRESULT pos = SendMessageW(own, EM_POSFROMCHAR, pick(line.size()), 0);
        POINT tap{short(LOWORD(pos)) + 1, short(HIWORD(pos)) + 5};
        RECT box{};
        GetClientRect(own, &box);
        if (pos == -1 || !PtInRect(&box, tap)) continue;  // scrolled out of sight
        ClientToScreen(own, &tap);
        Touch(tap);
        // Where the tap really put it, once the line has taken the tap.
        LRESULT sel = -1;
        ASSERT_TRUE(WaitSteady([&] { return SendMessageW(own, EM_GETSEL, 0, 0); }, sel, "the tap"));
        caret = HIWORD(sel);
        break;
      }
      default:
        held[field] = line;
        field = (field + 1) % std::size(kTabOrder);
        keyboard.TouchFunctionKey(kKeyTab);
        line = held[field], caret = line.size();
        break;
    }
    const HWND at = target.Field(kTabOrder[field]);
    // The password field's text shows as its mask characters.
    const std::wstring shown =
        kTabOrder[field] == kPassword ? std::wstring(line.size(), kPasswordMask) : line;
    ASSERT_TRUE(
        WaitFor([&] { return WindowText(keyboard.EditLine()) == shown && WindowText(at) == line; },
                3000ms, "step " + std::to_string(step) + ": field and line " + Narrow(line),
                [&] { return Narrow(WindowText(keyboard.EditLine()) + L" / " + WindowText(at)); }));
  }
  EXPECT_GE(changes, 20);

  // Every quiet change in turn, on a long field the keyboard has just
  // written in place: right at the caret, at the start and in the middle,
  // far beyond the first characters; the quietest of all only where the
  // keyboard can see it, near the start.
  line = L"три " + std::wstring(196, L'ж');
  ASSERT_TRUE(Capture(kEdit3, line));
  const HWND edit3 = target.Field(kEdit3);
  int step = 0;
  auto type = [&](int key) {
    keyboard.TouchKey(key);
    line += layout[size_t(key)];
    return WaitFor([&] { return WindowText(edit3) == line && WindowText(keyboard.EditLine()) == line; },
                   3000ms, "step " + std::to_string(step) + ": field and line",
                   [&] { return Narrow(WindowText(edit3)); });
  };
  for (auto how : {FieldChange::kWholeText, FieldChange::kWholeTextKeepCaret,
                   FieldChange::kInPlaceKeepCaret, FieldChange::kInPlaceQuietly}) {
    const bool quiet = how == FieldChange::kInPlaceQuietly;
    constexpr size_t kAtCaret = ~size_t{0};  // the character just before it
    for (size_t place : quiet ? std::vector<size_t>{0, 10} : std::vector<size_t>{kAtCaret, 0, 100}) {
      ASSERT_TRUE(type(12)) << "the key before the change";
      const size_t at = place == kAtCaret ? line.size() - 1 : place;
      SendMessageTimeoutW(target.window, kMsgChangeField, MAKEWPARAM(kEdit3, WORD(how)), LPARAM(at),
                          SMTO_ABORTIFHUNG, 3000, nullptr);
      ++step;
      EXPECT_TRUE(type(13)) << "how " << int(how) << " at " << at;
    }
  }
}

}  // namespace
}  // namespace orv::e2e
