// End-to-end word suggestions: the strip above the keys offers words learned
// from what was sent, a touch of a word types it into a field of another
// process, and the strip keeps out of password fields and goes with its
// option. The words are read from the strip's child windows, as a screen
// reader would.
#include "harness.h"

namespace orv::e2e {
namespace {

constexpr const wchar_t* kStripTitle = L"OrvKey Words";

class Words : public Scene {
 protected:
  // A run of the tests shares one registry: every test starts and ends with
  // the option as a first run has it.
  static void ForgetOption() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
      RegDeleteKeyValueW(root, kPlacementKey, L"Suggestions");
  }
  void SetUp() override {
    ForgetOption();
    Scene::SetUp();
  }
  void TearDown() override { ForgetOption(); }

  HWND Strip() const { return FindTopLevelWindow(keyboard.process.pid, kStripTitle, false); }
  std::vector<HWND> WordWindows() const { return StripWords(keyboard.process.pid); }
  std::vector<std::wstring> Offered() const {
    std::vector<std::wstring> texts;
    for (HWND w : WordWindows()) texts.push_back(WindowText(w));
    return texts;
  }
  std::string Seen() const {
    std::string s = IsWindowVisible(Strip()) ? "shown:" : "hidden:";
    for (const auto& w : Offered()) s += " " + Narrow(w);
    return s;
  }
  // Waits until the strip is shown with words that `ok` accepts.
  template <class Ok>
  Result WordsAre(Ok ok, const std::string& what) {
    return WaitFor(
        [&] {
          const auto words = Offered();
          return IsWindowVisible(Strip()) && !words.empty() && ok(words);
        },
        3000ms, what, [&] { return Seen(); });
  }
  Result FirstWordIs(std::wstring_view word) {
    return WordsAre([&](const auto& words) { return words[0] == word; },
                    "\"" + Narrow(word) + "\" first in the strip");
  }
  static bool Has(const std::vector<std::wstring>& words, std::wstring_view word) {
    return std::find(words.begin(), words.end(), word) != words.end();
  }
  Result StripShown(bool shown) {
    return WaitFor([&] { return (IsWindowVisible(Strip()) != 0) == shown; }, 3000ms,
                   shown ? "the strip" : "no strip", [&] { return Seen(); });
  }
  // Sends a text with Enter from a field, so that the keyboard learns it.
  // The field is known to be taken when the line shows its text, or, for a
  // password field, which the line may show masked, when the strip goes.
  void Send(int id, std::wstring_view text) {
    if (id == kPassword) {
      target.SetFieldText(id, L"");
      target.TouchField(id);
      ASSERT_TRUE(StripShown(false));
    } else {
      ASSERT_TRUE(Capture(id, L"-"));
      keyboard.TouchFunctionKey(kKeyClr);
      ASSERT_TRUE(FieldShows(id, L""));
    }
    const int before = target.EnterCount();
    keyboard.Type(text);
    // A password field may not tell its text.
    if (id != kPassword) {
      ASSERT_TRUE(FieldShows(id, text));
    }
    keyboard.TouchFunctionKey(kKeyEnter);
    ASSERT_TRUE(WaitFor([&] { return target.EnterCount() == before + 1; }, 3000ms, "Enter"));
    // A touch before Enter is done comes while the keyboard still waits on
    // the target.
    ASSERT_TRUE(EnterDone());
    // A field touched straight after Enter is not always taken (so with
    // suggestions off too); a key touch the keyboard answers comes first.
    keyboard.TouchFunctionKey(kKeyClr);
    ASSERT_TRUE(LineShows(L""));
  }
};

// Two letters of a word sent once bring it up first; its touch types it and
// a space, and a comma then takes the space's place. The keyboard keeps its
// size and place; the strip stands on its top edge, as wide as it is, and
// takes no focus. A field that takes keystrokes gets the same word.
TEST_F(Words, TwoLettersBringTheWordATouchTypesItAndTheStripKeepsOutOfPasswords) {
  const RECT before = keyboard.rect();
  Send(kEdit1, L"привет мир");
  ASSERT_TRUE(Capture(kEdit2, L"ну "));
  // The words offered for "п" and passed over are not offered again for "пр".
  keyboard.Type(L"п");
  std::vector<std::wstring> passed;
  ASSERT_TRUE(WordsAre(
      [&](const auto& words) {
        passed = words;
        return std::all_of(words.begin(), words.end(),
                           [](const auto& w) { return w.starts_with(L"п"); });
      },
      "words for \"п\""));
  keyboard.Type(L"р");
  ASSERT_TRUE(FirstWordIs(L"привет"));
  for (const auto& w : Offered()) {
    EXPECT_TRUE(w.starts_with(L"пр")) << Narrow(w);
    EXPECT_FALSE(Has(passed, w)) << Narrow(w);
  }
  ScreenShot().SaveBmp(ArtifactsDir() + L"\\words_96dpi.bmp");

  const RECT k = keyboard.rect(), s = WindowRect(Strip());
  EXPECT_TRUE(EqualRect(&k, &before) && k.bottom - k.top == 217) << DescribeWindow(keyboard.window);
  EXPECT_EQ(std::tuple(s.left, s.bottom, s.right), std::tuple(k.left, k.top, k.right));
  EXPECT_GE(WindowRect(WordWindows()[0]).bottom - WindowRect(WordWindows()[0]).top, 25)
      << "a word is at least a key high";

  // A word pressed as a key is: in the press colour while it is down, and
  // slid off onto the strip's edge, it types nothing.
  const RECT first = WindowRect(WordWindows()[0]);
  const POINT word = Centre(first);
  Press(word);
  EXPECT_TRUE(WaitFor([&] { return ScreenShot().Count(first, RGB(0, 255, 0)) > 0; }, 3000ms,
                      "the pressed word in the press colour"));
  SendMouse({s.left + 1, word.y}, 0);
  Release({s.left + 1, word.y});
  std::this_thread::sleep_for(80ms);  // a touch sooner would be the lift's bounce
  Touch(word);
  EXPECT_TRUE(FieldShows(kEdit2, L"ну привет "));
  EXPECT_TRUE(LineShows(L"ну привет "));
  EXPECT_EQ(GetForegroundWindow(), target.window) << "the strip took the focus";
  keyboard.Type(L",");
  EXPECT_TRUE(FieldShows(kEdit2, L"ну привет,"));
  // Words come in the case the word was begun in: Capitalised, or ALL CAPS.
  const auto capitals = [](std::wstring_view w) {
    return std::count_if(w.begin(), w.end(), [](wchar_t c) { return c >= L'А' && c <= L'Я'; });
  };
  for (const auto& [field, word] :
       {std::pair(kEdit2, std::wstring(L"Привет")), std::pair(kEdit3, std::wstring(L"ПРИВЕТ"))}) {
    ASSERT_TRUE(Capture(field, L"ну " + word.substr(0, 2)));
    EXPECT_TRUE(WordsAre(
        [&](const auto& words) {
          return Has(words, word) && std::all_of(words.begin(), words.end(), [&](const auto& w) {
                   return w.starts_with(word.substr(0, 2)) &&
                          capitals(w) == (capitals(word) == 1 ? 1 : std::ssize(w));
                 });
        },
        Narrow(word) + " among words begun alike"));
  }

  // A slip onto a key beside the meant one ("м" for "и") still finds the
  // word. The field brings the slip in whole: typed key by key, "привет"
  // would be passed over at "пр" and rightly not offered again.
  ASSERT_TRUE(Capture(kEdit1, L"ну прм"));
  EXPECT_TRUE(
      WordsAre([](const auto& words) { return Has(words, L"привет"); }, "\"привет\" for \"прм\""));
  // A contraction comes with its apostrophe only, never misspelt without it;
  // a word typed without it comes with it.
  ASSERT_TRUE(Capture(kEdit3, L"so that"));
  EXPECT_TRUE(WordsAre([](const auto& w) { return Has(w, L"that's") && !Has(w, L"thats"); },
                       "\"that's\" and no \"thats\""));
  // A multi-line field sends all its lines at every Enter, and a line counts
  // once: a word sent twice would come first from two letters. After Enter
  // the strip offers what opens a sentence, as after a full stop.
  ASSERT_TRUE(Capture(kMultiLine, L"-"));
  keyboard.TouchFunctionKey(kKeyClr);
  ASSERT_TRUE(FieldShows(kMultiLine, L""));
  for (const wchar_t* line : {L"зорбан", L"да"}) {
    keyboard.Type(line);
    keyboard.TouchFunctionKey(kKeyEnter);
    ASSERT_TRUE(WaitFor([&] { return WindowText(target.Field(kMultiLine)).ends_with(L"\r\n"); },
                        3000ms, "Enter in the multi-line field"));
    ASSERT_TRUE(EnterDone());
  }
  ASSERT_TRUE(FieldShows(kMultiLine, L"зорбан\r\nда\r\n"));
  EXPECT_TRUE(WordsAre(
      [](const auto& w) {
        return std::all_of(w.begin(), w.end(), [](const auto& x) { return IsCharUpperW(x[0]); });
      },
      "words that open a sentence"));
  ASSERT_TRUE(Capture(kEdit1, L"ну зо"));
  EXPECT_TRUE(WordsAre([](const auto& w) { return w[0].starts_with(L"зо") && w[0] != L"зорбан"; },
                       "the lexicon's word first for \"зо\""));
  ASSERT_TRUE(Capture(kEdit3, L"вот зор"));
  EXPECT_TRUE(FirstWordIs(L"зорбан"));
  // Shift latched for one letter brings the next word Capitalised, and the
  // word's touch takes the latch: the letter after it is small again.
  ASSERT_TRUE(Capture(kThunder, L"ну "));
  keyboard.TouchFunctionKey(kKeyShift);
  std::wstring capitalised;
  ASSERT_TRUE(WordsAre(
      [&](const auto& words) {
        capitalised = words[0];
        return std::all_of(words.begin(), words.end(), [](const auto& w) {
          return IsCharUpperW(w[0]) &&
                 std::none_of(w.begin() + 1, w.end(), [](wchar_t c) { return IsCharUpperW(c); });
        });
      },
      "Capitalised words"));
  Touch(Centre(WindowRect(WordWindows()[0])));
  EXPECT_TRUE(FieldShows(kThunder, L"ну " + capitalised + L" "));
  keyboard.Type(L"и");
  EXPECT_TRUE(FieldShows(kThunder, L"ну " + capitalised + L" и"));
  ASSERT_TRUE(Capture(kEdit2, L"I dont"));
  ASSERT_TRUE(FirstWordIs(L"don't"));
  Touch(Centre(WindowRect(WordWindows()[0])));
  EXPECT_TRUE(FieldShows(kEdit2, L"I don't "));

  // A keystroke field: the two letters go back and the word comes as keys.
  const HWND chars = target.Field(kCharField);
  Touch(Centre(WindowRect(chars)));
  ASSERT_TRUE(LineShows(L""));
  keyboard.Type(L"ми");
  ASSERT_TRUE(FirstWordIs(L"мир"));
  // Taken back to nothing and begun again, the word is offered again.
  keyboard.TouchFunctionKey(kKeyBack);
  keyboard.TouchFunctionKey(kKeyBack);
  ASSERT_TRUE(LineShows(L""));
  keyboard.Type(L"ми");
  ASSERT_TRUE(FirstWordIs(L"мир"));
  Touch(Centre(WindowRect(WordWindows()[0])));
  EXPECT_TRUE(WaitForText(chars, L"мир "));
  EXPECT_TRUE(LineShows(L"мир "));

  // Dragged by its background, the keyboard takes the strip along. The tip
  // of a field touched before leaves while the finger still drags: the lift
  // during its slide is the drag's, which ends there (else the next press
  // would go to the drag still under way, and nothing would end it).
  ASSERT_TRUE(Capture(kEdit1, L"-"));
  const HWND tip = FindTopLevelWindow(keyboard.process.pid, L"OrvTask Information Window");
  LONG tip_shown = 0;
  ASSERT_TRUE(WaitSteady([&] { return WindowRect(tip).left; }, tip_shown, "the tip at rest"));
  POINT grip = keyboard.ToScreen({300, 4});
  Press(grip);
  for (int step = 1; step <= 5; ++step) {
    SendMouse({grip.x - 20 * step, grip.y - 20 * step}, 0);
    ASSERT_TRUE(WaitFor([&] { return keyboard.rect().top == k.top - 20 * step; }, 3000ms,
                        "the keyboard dragged up",
                        [&] { return DescribeWindow(keyboard.window); }));
  }
  EXPECT_TRUE(WaitFor(
      [&] {
        const RECT moved = WindowRect(Strip());
        return moved.bottom == keyboard.rect().top && moved.left == keyboard.rect().left;
      },
      3000ms, "the strip on the dragged keyboard", [&] { return DescribeWindow(Strip()); }));
  ASSERT_TRUE(WaitFor([&] { return WindowRect(tip).left > tip_shown; }, 8000ms, "the tip leaving"));
  Release({grip.x - 100, grip.y - 100});
  // Closed while the finger drags it again, it ends all the same.
  Press(grip = keyboard.ToScreen({300, 4}));
  PostMessageW(keyboard.window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(keyboard.process.WaitForExit());
  Release(grip);

  // Started again, the keyboard learns what its history remembers. The
  // strip, asked for words while a long history is still being learned,
  // gets them once that is done, untouched; so does a field touched as soon
  // as the keyboard takes input. "Clr History" forgets them.
  std::string texts = ReadFile(keyboard.folder.File(L"OrvKey.ini")).value_or("");
  texts += "we drove to London\r\n";
  for (int i = 0; i < 100000; ++i) texts += "Zebrovsky street " + std::to_string(i) + "\r\n";
  ASSERT_TRUE(WriteFile(keyboard.folder.File(L"OrvKey.ini"), texts));
  ASSERT_TRUE(keyboard.Start(false));
  ASSERT_TRUE(keyboard.CaughtUp());
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(Strip()) && !Offered().empty(); }, 10000ms,
                      "words at start-up with no touch", [&] { return Seen(); }));
  ASSERT_TRUE(Capture(kEdit3, L"ну zebr"));
  EXPECT_TRUE(FirstWordIs(L"zebrovsky"));
  // A name the lexicon has only in lower case, as speech lists it, comes as sent.
  ASSERT_TRUE(Capture(kEdit2, L"so lon"));
  EXPECT_TRUE(FirstWordIs(L"London"));
  ASSERT_TRUE(keyboard.WaitSettled());
  ASSERT_TRUE(keyboard.ToggleOptions(true));
  Touch(Centre(WindowRect(FindWindowExW(keyboard.window, nullptr, L"Button", L"Clr History"))));
  ASSERT_TRUE(keyboard.ToggleOptions(false));
  ASSERT_TRUE(Capture(kEdit1, L"ну zebr"));
  EXPECT_TRUE(WordsAre([](const auto& words) { return !Has(words, L"zebrovsky"); },
                       "the learned word forgotten"));

  // A password field shows no strip and teaches nothing; the option turned off
  // in the panel hides the strip, is kept in the registry beside the
  // placement, and a new start keeps it off.
  Send(kPassword, L"тайна");
  ASSERT_TRUE(Capture(kEdit1, L"-"));
  EXPECT_TRUE(StripShown(true));
  // Where no word is begun, the words are in the language on the keys.
  const auto latin = [](const std::vector<std::wstring>& words) {
    return std::all_of(words.begin(), words.end(), [](const std::wstring& w) {
      return std::all_of(w.begin(), w.end(), [](wchar_t c) { return c < 0x80; });
    });
  };
  keyboard.TouchFunctionKey(kKeyLang);
  EXPECT_TRUE(WordsAre(latin, "English words after Lang"));
  keyboard.TouchFunctionKey(kKeyLang);
  EXPECT_TRUE(WordsAre([&](const auto& words) { return !latin(words); }, "Russian words again"));
  keyboard.TouchFunctionKey(kKeyBack);
  keyboard.Type(L"та");
  std::this_thread::sleep_for(300ms);
  for (const auto& w : Offered()) EXPECT_NE(w, L"тайна") << "a password was learned";

  ASSERT_TRUE(keyboard.ToggleOptions(true));
  keyboard.TouchAt({40, 387});  // "Suggestions"
  ASSERT_TRUE(keyboard.ActivationAtRest());
  ScreenShot().SaveBmp(ArtifactsDir() + L"\\words_options.bmp");
  ASSERT_TRUE(keyboard.ToggleOptions(false));
  EXPECT_TRUE(StripShown(false));
  const auto stored = [](HKEY root) { return RegText(root, kPlacementKey, L"Suggestions"); };
  EXPECT_TRUE(stored(HKEY_LOCAL_MACHINE) == L"0" || stored(HKEY_CURRENT_USER) == L"0");
  // The settings file keeps its lines.
  const auto ini = ReadFile(keyboard.folder.File(L"OrvKey.ini")).value_or("");
  EXPECT_EQ(ini.find("Suggest"), std::string::npos);

  PostMessageW(keyboard.window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(keyboard.process.WaitForExit());
  ASSERT_TRUE(keyboard.Start());
  ASSERT_TRUE(Capture(kEdit1, L"-"));
  std::this_thread::sleep_for(300ms);
  EXPECT_FALSE(IsWindowVisible(Strip())) << Seen();
}

}  // namespace
}  // namespace orv::e2e
