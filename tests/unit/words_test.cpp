// Word suggestions over the fake desktop: where the strip's words stand and
// where the strip goes, what a touch of a word does to the line and the
// target, the punctuation that takes the word's space, and when the strip
// is not there. The strip's real window, and a field of another process,
// are driven end to end.
#include "app/suggestions.h"
#include "fakes/kbd_fixture.h"
#include "keys/word_completion.h"
#include "keys/word_strip.h"

namespace orv::fake {
namespace {

TEST(WordStripLayout, WordsStandBestFirstAKeyHighAndTheStripDocksAboveOrBelow) {
  for (int dpi : {96, 144}) {
    const std::int32_t width = TwipsToPixels(9480, dpi);
    const std::int32_t key_height = TwipsToPixels(375, dpi);
    // The third word is too wide for what is left: it and the fourth go.
    const auto cells = LayOutWords({20, 30, width / 2, 10}, width, dpi);
    ASSERT_EQ(cells.size(), 2u) << dpi;
    EXPECT_GT(cells[0].left, 0);
    EXPECT_LT(cells[0].right, cells[1].left);
    EXPECT_LE(cells[1].right, width);
    for (const Rect& c : cells) {
      EXPECT_GE(c.height(), key_height);
      EXPECT_GE(c.width(), width / 4 - 10) << "a short word takes a quarter";
    }
    // A word wider than the strip still stands, cut to it.
    const auto wide = LayOutWords({3 * width, 10}, width, dpi);
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_LE(wide[0].right, width);
    // A long word is as wide as its caption needs.
    EXPECT_GE(LayOutWords({width / 2}, width, dpi)[0].width(), width / 2);
  }

  const Rect work{0, 0, 1024, 768};
  const Rect low{196, 543, 828, 760}, high{196, 20, 828, 237};

  WordStrip strip;
  strip.width_of = [](const std::wstring& w) { return 10 * static_cast<std::int32_t>(w.size()); };
  strip.Dock(low, work, 96, true);
  strip.Offer({L"one", L"two", L"three", L"four", L"five"});
  EXPECT_EQ(strip.Words(), (std::vector<std::wstring>{L"one", L"two", L"three", L"four"}));
  strip.Offer({L"a long word to grow with its font"});
  const std::int32_t narrow = (strip.Settle(), strip.lblWord[0].Width());
  strip.width_of = [&](const std::wstring& w) {
    return static_cast<std::int32_t>(w.size() * strip.lblWord[0].Font().size);
  };
  for (auto& word : strip.lblWord) word.SetFont(Font{L"Tahoma", 15, true, false, false, 204});
  strip.Dock(low, work, 96, true);
  EXPECT_GT(strip.lblWord[0].Width(), narrow) << "a new font lays the words out again";
  strip.Dock(high, work, 96, false);
  EXPECT_EQ(strip.Top(), 237);
}

TEST(WordCompletion, TheWordAroundTheCaretBecomesTheWordAndOneSpace) {
  auto done = [](std::wstring line, std::size_t caret, std::wstring_view word) {
    const LineSplice s = CompleteWord(line, caret, word);
    line.replace(s.start, s.end - s.start, s.text);
    return line.substr(0, s.caret) + L"|" + line.substr(s.caret);
  };
  EXPECT_EQ(done(L"", 0, L"Москва"), L"Москва |");
  EXPECT_EQ(done(L"ну ", 3, L"и"), L"ну и |");
  // In the middle of a word, the whole word goes; a space after it is taken.
  EXPECT_EQ(done(L"ab прxт мир", 5, L"привет"), L"ab привет |мир");
  EXPECT_EQ(done(L"(кто-т", 6, L"кто-то"), L"(кто-то |");
  EXPECT_EQ(done(L"-wor", 4, L"world"), L"-world |");
  EXPECT_EQ(done(L"abc", 99, L"abcd"), L"abcd |");
  // A mark between two letters was a slip, and goes with the word.
  EXPECT_EQ(done(L"so o.d", 6, L"old"), L"so old |");
  EXPECT_EQ(done(L"1.o", 3, L"of"), L"1.of |");
  EXPECT_TRUE(ClosesUp(L'?') && !ClosesUp(L'-') && !ClosesUp(L'('));

  // The language where no word is begun comes from the layout's letters.
  EXPECT_EQ(LanguageOfLayout(kDefaultLayouts[0]), Language::Russian);
  EXPECT_EQ(LanguageOfLayout(kDefaultLayouts[3]), Language::English);
  EXPECT_EQ(LanguageOfLayout(L"1234567890"), Language::English);
}

class WordsTest : public KbdTest {
 protected:
  Hwnd app = 0, field = 0;
  void SetUp() override {
    Load();
    kbd->GetSuggestions().WaitLoaded();
    app = desk.AddWindow(L"#32770", L"Target", 0, Rect{0, 0, 400, 280});
    field = desk.AddWindow(L"Edit", L"", app, Rect{10, 10, 200, 30});
    FKey(kKeyLang);  // English letters on the keys
  }
  std::vector<std::wstring> Words() { return kbd->frmWords.Words(); }
  // Types a text whose spaces are the Space key.
  void Write(const std::wstring& text) {
    for (wchar_t c : text) c == L' ' ? FKey(kKeySpace) : Type(std::wstring(1, c));
  }
  void Send(Hwnd wnd, const std::wstring& text) {
    Touch(wnd);
    FKey(kKeyClr);
    Write(text);
    FKey(kKeyEnter);
    RunEnter();
  }
  // A press on a word's centre, or beside the strip's words.
  void PressWord(PressEvent::Kind kind, Pointer p, int index) {
    kbd->frmWords.Settle();
    Point at{1, 1};
    if (index >= 0) {
      const Rect& r = kbd->frmWords.lblWord[static_cast<std::size_t>(index)].Bounds();
      at = {(r.left + r.right) / 2, r.top + 2};
    }
    kbd->BeginEvent();
    EXPECT_TRUE(kbd->frmWords_Press(PressEvent{kind, p, at, desk.now}));
  }
  void TouchWord(int index, Pointer p = kMousePointer) {
    PressWord(PressEvent::Kind::kDown, p, index), desk.now += 30;
    PressWord(PressEvent::Kind::kUp, p, index), desk.now += 100;
  }
  // "hello world" sent; on a new line "so " brings both words up as the next
  // word (passed over there, they would not come again for the same word).
  void OfferSentWords() {
    Send(field, L"hello world");
    Touch(field);
    FKey(kKeyClr);
    Write(L"so ");
    EXPECT_TRUE(kbd->frmWords.Visible());
    ASSERT_EQ(Words(), (std::vector<std::wstring>{L"hello", L"world"}));
  }
};

// A word sent once comes back as the next word; only the space its touch
// wrote gives way to punctuation. Clr History forgets. (Two letters that
// bring a word, its touch typing it and a space, the comma taking that
// space, and a keystroke target, are tested end to end.)
TEST_F(WordsTest, SentWordsComeBackAndATouchTypesThem) {
  ASSERT_NO_FATAL_FAILURE(OfferSentWords());
  TouchWord(0);
  Type(L",,");
  EXPECT_EQ(desk.W(field).text, L"so hello,,") << "only the word's own space";
  // After Space the next punctuation does not close up.
  Type(L"w");
  TouchWord(0);
  FKey(kKeySpace);
  Type(L".");
  EXPECT_EQ(desk.W(field).text, L"so hello,,world  .");

  kbd->cmdHistory_Click(0);
  Touch(field);
  FKey(kKeyClr);
  Type(L"he");
  EXPECT_TRUE(Words().empty());
}

// Under Shift as Caps Lock the words come in capitals, before and after a
// touched word. (A one-letter Shift, end to end.)
TEST_F(WordsTest, WordsFollowCapsLock) {
  Send(field, L"hello world");
  kbd->chkFont[kChkShiftAsCaps].SetValue(CheckBox::kChecked);
  Touch(field);
  FKey(kKeyClr);
  Write(L"so ");
  FKey(kKeyShift);
  EXPECT_EQ(Words(), (std::vector<std::wstring>{L"HELLO", L"WORLD"}));
  TouchWord(0);
  EXPECT_EQ(desk.W(field).text, L"so HELLO ");
  ASSERT_FALSE(Words().empty());
  EXPECT_EQ(Words()[0], L"WORLD");
}

// The option off is kept in the user's own key where the machine's is not to
// be written, and the next start reads it from there; typing goes on as
// before. (Password fields, the strip going with the option, and the option
// across starts, end to end.)
TEST_F(WordsTest, OptionOffIsKeptInTheUsersKeyAndTypingGoesOn) {
  Send(field, L"secret");
  desk.read_only_roots.insert(L"HKLM");
  kbd->chkFont[kChkSuggestions].SetValue(CheckBox::kUnchecked);
  Write(L" sec");
  EXPECT_EQ(desk.W(field).text, L"secret sec");
  EXPECT_TRUE(Words().empty());

  Unload();
  Load();
  EXPECT_EQ(kbd->chkFont[kChkSuggestions].Value(), CheckBox::kUnchecked);
  Touch(field);
  desk.read_only_roots.clear();
  kbd->chkFont[kChkSuggestions].SetValue(CheckBox::kChecked);
  EXPECT_TRUE(kbd->frmWords.Visible());
}

// A word is pressed as a key is: two fingers on two words are two presses,
// each in the press colour and each typing its word; a cancelled finger
// types nothing. (Slid off, a finger types no key, and the mouse no word, in
// press_test.cpp and end to end.)
TEST_F(WordsTest, FingersPressWordsAsKeys) {
  using K = PressEvent::Kind;
  const Pointer one{Pointer::Kind::kTouch, 1}, two{Pointer::Kind::kTouch, 2};
  ASSERT_NO_FATAL_FAILURE(OfferSentWords());
  PressWord(K::kDown, one, 0), PressWord(K::kDown, two, 1);
  EXPECT_EQ(kbd->frmWords.lblWord[0].ForeColor(), kbd->DownColor());
  EXPECT_EQ(kbd->frmWords.lblWord[1].ForeColor(), kbd->DownColor());
  desk.now += 30;
  PressWord(K::kUp, two, 1);
  EXPECT_EQ(desk.W(field).text, L"so world ");
  EXPECT_TRUE(kbd->WordPresses().Holds(one)) << "the first finger's press goes on";
  EXPECT_EQ(kbd->frmWords.lblWord[0].ForeColor(), kbd->DownColor());
  PressWord(K::kCancel, one, 0), desk.now += 100;
  EXPECT_EQ(desk.W(field).text, L"so world ");
  FKey(kKeyClr);
  TouchWord(0, one);
  EXPECT_EQ(desk.W(field).text, L"Hello ");
}

}  // namespace
}  // namespace orv::fake
