// The word suggestions over small lexicons packed here, in the format the
// program embeds, and the simulated typist's counting rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "predict/predictor.h"
#include "predict/typing_simulator.h"
#include "settings/conversions.h"

namespace orv {
namespace {

struct Entry {
  std::wstring form;
  double subtitles, books;  // share of each source, 0 = absent
};

void Put(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
std::uint8_t Score(double p) {
  return p <= 0 ? 0
                : static_cast<std::uint8_t>(std::clamp(std::lround(-std::log(p) * 8), 1L, 255L));
}
std::wstring Fold(std::wstring s) {
  for (auto& c : s) {
    if (c >= L'A' && c <= L'Z') c += 32;
    if (c >= 0x410 && c <= 0x42F) c += 32;
    if (c == 0x451) c = 0x435;
  }
  return s;
}

using Pairs = std::map<std::pair<std::wstring, std::wstring>, double>;
using Triples = std::map<std::array<std::wstring, 3>, double>;
// An ending, the ending it may be exchanged for, and the chance of that.
using Exchanges = std::vector<std::tuple<std::wstring, std::wstring, double>>;

// Its length in bytes and its UTF-8 (letters below U+0800).
void PutText(std::vector<std::uint8_t>& out, const std::wstring& text) {
  const std::string utf8 = ToUtf8(text);
  out.push_back(static_cast<std::uint8_t>(utf8.size()));
  out.insert(out.end(), utf8.begin(), utf8.end());
}

// Packs words, pairs ("a b": the chance of b after a), triples and ending
// exchanges as the packer does.
std::vector<std::uint8_t> Pack(std::vector<Entry> entries, const Pairs& pairs = {},
                               const Triples& triples = {}, const Exchanges& exchanges = {},
                               double pair_floor = 0) {
  std::sort(entries.begin(), entries.end(), [](const Entry& x, const Entry& y) {
    return std::make_pair(Fold(x.form), x.form) < std::make_pair(Fold(y.form), y.form);
  });
  std::vector<std::uint8_t> out{'O', 'V', 'L', 'X', 3, 0, Score(pair_floor), 0};
  for (std::size_t n : {entries.size(), pairs.size(), triples.size(), exchanges.size()})
    Put(out, static_cast<std::uint32_t>(n));
  for (const Entry& e : entries) {
    out.push_back(0);
    PutText(out, e.form);
    out.push_back(Score(e.subtitles));
    out.push_back(Score(e.books));
  }
  auto index = [&](const std::wstring& form) {
    for (std::size_t i = 0; i < entries.size(); ++i)
      if (Fold(entries[i].form) == Fold(form)) return static_cast<std::uint8_t>(i);
    ADD_FAILURE() << "no word for a pair or triple";
    return std::uint8_t{0};
  };
  std::vector<std::array<std::uint8_t, 3>> packed_pairs;
  for (const auto& [key, p] : pairs)
    packed_pairs.push_back({index(key.first), index(key.second), Score(p)});
  std::sort(packed_pairs.begin(), packed_pairs.end());
  std::uint8_t last = 0;
  for (const auto& p : packed_pairs) {
    out.insert(out.end(), {static_cast<std::uint8_t>(p[0] - last), p[1], p[2]});
    last = p[0];
  }
  for (const auto& [key, p] : triples)
    out.insert(out.end(), {index(key[0]), index(key[1]), index(key[2]), Score(p)});
  for (const auto& [from, to, p] : exchanges) {
    PutText(out, from);
    PutText(out, to);
    out.push_back(Score(p));
  }
  return out;
}

std::shared_ptr<const Lexicon> English() {
  return UnpackLexicon(Pack({{L"the", 0.05, 0.06},
                             {L"they", 0.01, 0.01},
                             {L"then", 0.004, 0.003},
                             {L"them", 0.003, 0.003},
                             {L"there", 0.002, 0.002},
                             {L"these", 0.001, 0.001},
                             {L"thus", 0.0005, 0.0005},
                             {L"cat", 0.001, 0.0005},
                             {L"car", 0.002, 0.001},
                             {L"I", 0.03, 0.02},
                             {L"is", 0.01, 0.01},
                             {L"in", 0.01, 0.015},
                             {L"ink", 0.0001, 0},
                             {L"and", 0.02, 0.02},
                             {L"anna", 0.0002, 0},
                             {L"don't", 0.003, 0.002}},
                            {{{L"the", L"cat"}, 0.2}}));
}

std::shared_ptr<const Lexicon> Russian() {
  return UnpackLexicon(Pack({{L"привет", 0.001, 0.001},
                             {L"пока", 0.002, 0.0005},
                             {L"при", 0.003, 0.003},
                             {L"всё", 0.004, 0},
                             {L"все", 0.005, 0.006},
                             {L"что-то", 0.002, 0.002}}));
}

Predictor& WithBoth(Predictor& p) {
  p.SetLexicon(Language::English, English());
  p.SetLexicon(Language::Russian, Russian());
  return p;
}

using Words = std::vector<std::wstring>;

// A predictor with both lexicons.
class Suggestions : public ::testing::Test {
 protected:
  Predictor p;
  void SetUp() override { WithBoth(p); }
};

TEST(Predictor, UnpacksOnlyPackedLexicons) {
  const auto good = Pack({{L"one", 0.1, 0.1}, {L"two", 0.1, 0}});
  EXPECT_EQ(UnpackLexicon({}), nullptr);
  EXPECT_EQ(UnpackLexicon(std::vector<std::uint8_t>(good.begin(), good.end() - 1)),
            nullptr);  // cut short
  auto trailing = good;
  trailing.push_back(0);
  EXPECT_EQ(UnpackLexicon(trailing), nullptr);
  auto magic = good;
  magic[0] = 'X';
  EXPECT_EQ(UnpackLexicon(magic), nullptr);
  auto huge = good;
  huge[8] = 0xFF, huge[9] = 0xFF, huge[10] = 0xFF;  // more words than bytes
  EXPECT_EQ(UnpackLexicon(huge), nullptr);
  EXPECT_EQ(UnpackLexicon(Pack({{L"one", 0.1, 0.1}}, {}, {}, {{L"tooth", L"eeth", 0.5}})),
            nullptr);  // no ending is that long
  // Words out of order break every lookup.
  std::vector<std::uint8_t> unsorted{'O', 'V', 'L', 'X', 1, 1, 0, 0,   2, 0, 0, 0, 0,   0, 0,
                                     0,   0,   0,   0,   0, 0, 1, 'b', 9, 9, 0, 1, 'a', 9, 9};
  EXPECT_EQ(UnpackLexicon(unsorted), nullptr);
}

TEST(Predictor, SurvivesDamagedLexiconsAndOddTexts) {
  // Whatever a damaged lexicon unpacks to must still answer safely.
  const auto good =
      Pack({{L"the", 0.05, 0.06}, {L"then", 0.004, 0}, {L"cat", 0.001, 0.0005}, {L"всё", 0.004, 0}},
           {{{L"the", L"cat"}, 0.2}});
  std::mt19937 rng(5);
  for (int round = 0; round < 200; ++round) {
    auto data = good;
    for (int flips = 1 + static_cast<int>(rng() % 3); flips > 0; --flips)
      data[rng() % data.size()] = static_cast<std::uint8_t>(rng());
    if (round % 7 == 0) data.resize(rng() % data.size());
    Predictor p;
    p.SetLexicon(Language::English, UnpackLexicon(data));
    for (const wchar_t* text : {L"", L"the ", L"th", L"the c"}) p.Suggest(text, Language::English);
  }
  Predictor p;
  WithBoth(p);
  for (const std::wstring& text :
       {std::wstring(40000, L'a'), std::wstring(3000, L' '), std::wstring(L"\xD83D\xDE00 th"),
        std::wstring(L"... ,,, -- th"), std::wstring(L"the\ncat\tt")}) {
    const auto words = p.Suggest(text, Language::English);
    EXPECT_LE(words.size(), 4u);
    p.Learn(text);
  }
  EXPECT_EQ(p.Suggest(L"a\ttge", Language::English, 1), Words{L"the"});
}

TEST_F(Suggestions, OffersTheLikeliestCompletionsOnceEach) {
  EXPECT_EQ(p.Suggest(L"so th", Language::English), (Words{L"the", L"they", L"then", L"them"}));
  EXPECT_EQ(p.Suggest(L"so the", Language::English, 2).size(), 2u);  // "the" itself is not offered
  EXPECT_EQ(p.Suggest(L"so p", Language::English), Words{});
  // A number is not the start of a word; an opening quote is.
  EXPECT_EQ(p.Suggest(L"so 12", Language::English), Words{});
  EXPECT_FALSE(p.Suggest(L"so \"", Language::English).empty());
}

TEST_F(Suggestions, FollowsTheCaseTheWordWasBegunIn) {
  EXPECT_EQ(p.Suggest(L"so Th", Language::English, 2), (Words{L"The", L"They"}));
  EXPECT_EQ(p.Suggest(L"as THE", Language::English, 2), (Words{L"THEY", L"THEN"}));
  // A sentence begins with a capital, before its first letter too.
  EXPECT_EQ(p.Suggest(L"", Language::English, 1), Words{L"The"});
  EXPECT_EQ(p.Suggest(L"it is. ", Language::English, 1), Words{L"The"});
  EXPECT_EQ(p.Suggest(L"it is, ", Language::English, 1), Words{L"the"});
  // The lexicon's own capital stays.
  EXPECT_EQ(p.Suggest(L"so i", Language::English, 4)[0], L"I");
  // Or as Shift types next: latched for one letter, a word not begun comes
  // Capitalised; locked as Caps Lock, every word in capitals.
  EXPECT_EQ(p.Suggest(L"so ", Language::English, 1, ShiftCase::kOnce), Words{L"The"});
  EXPECT_EQ(p.Suggest(L"as th", Language::English, 1, ShiftCase::kOnce), Words{L"the"});
  EXPECT_EQ(p.Suggest(L"it ", Language::English, 1, ShiftCase::kLocked), Words{L"THE"});
  EXPECT_EQ(p.Suggest(L"if T", Language::English, 1, ShiftCase::kLocked), Words{L"THE"});
  EXPECT_EQ(p.Suggest(L"or Th", Language::English, 1, ShiftCase::kLocked), Words{L"The"});
}

TEST_F(Suggestions, ChoosesTheLanguageByTheScriptOfTheLetters) {
  EXPECT_EQ(p.Suggest(L"so пр", Language::English, 2), (Words{L"при", L"привет"}));
  EXPECT_EQ(p.Suggest(L"и П", Language::English, 1), Words{L"При"});
  // Yo and ye are one letter on the keys, two words in the lexicon.
  EXPECT_EQ(p.Suggest(L"это вс", Language::English), (Words{L"все", L"всё"}));
  EXPECT_EQ(p.Suggest(L"вот все", Language::English), Words{L"всё"});
  // A word not begun takes the current language.
  EXPECT_EQ(p.Suggest(L"ok ", Language::Russian, 1), Words{L"все"});
  EXPECT_EQ(p.Suggest(L"ok ", Language::English, 1), Words{L"the"});
}

TEST_F(Suggestions, LearnsFromSentTextsAndForgets) {
  EXPECT_EQ(p.Suggest(L"go to Tv", Language::English), Words{});
  p.Learn(L"Meet me at Tverskaya street, 12");
  // The user's own word comes first after one use, as the user wrote it.
  EXPECT_EQ(p.Suggest(L"go to Tv", Language::English, 1), Words{L"Tverskaya"});
  p.Learn(L"I called Thelma");
  EXPECT_EQ(p.Suggest(L"call Th", Language::English, 1), Words{L"Thelma"});
  EXPECT_EQ(p.Suggest(L"at ", Language::English, 1), Words{L"Tverskaya"});
  // So does a name the lexicon knows as a word, once begun with a capital.
  p.Learn(L"I met Anna");
  EXPECT_EQ(p.Suggest(L"ask An", Language::English, 1), Words{L"Anna"});
  EXPECT_EQ(p.Suggest(L"ask an", Language::English, 1), Words{L"and"});
  // Its word pairs.
  for (int i = 0; i < 4; ++i) p.Learn(L"the car is red");
  EXPECT_EQ(p.Suggest(L"I like the ", Language::English, 1), Words{L"car"});
  // A word used once that is no name waits for its third letter.
  p.Learn(L"we ate carrots");
  EXPECT_EQ(p.Suggest(L"so ca", Language::English, 1), Words{L"car"});
  EXPECT_EQ(p.Suggest(L"so car", Language::English, 1), Words{L"carrots"});
  // A notepad sends all its lines at every Enter: each line counts once.
  p.Learn(L"an anvil");
  p.Learn(L"an anvil\r\nthen\r\n");
  p.Learn(L"an anvil\r\nthen\r\nthey");
  EXPECT_EQ(p.Suggest(L"so an", Language::English, 1), Words{L"and"});
  p.Learn(L"an anvil");  // sent twice
  EXPECT_EQ(p.Suggest(L"so an", Language::English, 1), Words{L"anvil"});
  // Nothing learned from any language leaks into the other.
  EXPECT_EQ(p.Suggest(L"это ", Language::Russian, 5).size(), 5u);
  for (const auto& w : p.Suggest(L"это ", Language::Russian, 5)) EXPECT_NE(w, L"car");

  p.Forget();
  EXPECT_EQ(p.Suggest(L"go to Tv", Language::English), Words{});
  EXPECT_EQ(p.Suggest(L"I like the ", Language::English, 1), Words{L"cat"});
  // The base lexicons stay.
  EXPECT_EQ(p.Suggest(L"so th", Language::English, 1), Words{L"the"});
}

TEST_F(Suggestions, DoesNotOfferAgainWhatWasPassedOverForTheSameWord) {
  EXPECT_EQ(p.Suggest(L"so t", Language::English, 2), (Words{L"the", L"they"}));
  EXPECT_EQ(p.Suggest(L"so th", Language::English, 2), (Words{L"then", L"them"}));
  EXPECT_EQ(p.Suggest(L"so th", Language::English, 2),
            (Words{L"then", L"them"}));  // asked again, not passed
  EXPECT_EQ(p.Suggest(L"so the", Language::English, 2), (Words{L"there", L"these"}));
  // The next word starts afresh, and so does a word typed over with other
  // letters or taken back to nothing and begun again.
  EXPECT_EQ(p.Suggest(L"so then t", Language::English, 2), (Words{L"the", L"they"}));
  EXPECT_EQ(p.Suggest(L"so then th", Language::English, 2), (Words{L"then", L"them"}));
  p.Suggest(L"so then c", Language::English, 2);
  EXPECT_EQ(p.Suggest(L"so then th", Language::English, 2), (Words{L"the", L"they"}));
  EXPECT_EQ(p.Suggest(L"so then ", Language::English, 0), Words{});
  EXPECT_EQ(p.Suggest(L"so then th", Language::English, 2), (Words{L"the", L"they"}));
}

TEST_F(Suggestions, CompletesTheLastPartOfAHyphenatedWord) {
  const auto first = p.Suggest(L"a cat-th", Language::English);
  EXPECT_NE(std::find(first.begin(), first.end(), L"cat-the"), first.end());
  // What was passed over stays passed, whole words and parts alike.
  const auto second = p.Suggest(L"a cat-the", Language::English);
  for (const auto& w : first) EXPECT_EQ(std::find(second.begin(), second.end(), w), second.end());
  EXPECT_EQ(p.Suggest(L"a cat-", Language::English).size(), 0u);
}

TEST_F(Suggestions, FindsWordsTypedWithALetterOnANeighbouringKey) {
  // g and h, r and e touch on the QWERTY rows; p is far from h.
  EXPECT_EQ(p.Suggest(L"a tge", Language::English, 1), Words{L"the"});
  EXPECT_EQ(p.Suggest(L"b tgrn", Language::English, 1), Words{L"then"});
  EXPECT_EQ(p.Suggest(L"c tpe", Language::English), Words{});
  // A mark inside a word may be left out, once.
  EXPECT_EQ(p.Suggest(L"I dont", Language::English), Words{L"don't"});
  EXPECT_EQ(p.Suggest(L"ну чтот", Language::Russian), Words{L"что-то"});
  EXPECT_EQ(p.Suggest(L"I dn't", Language::English), Words{});
  // An exact match outweighs a slip.
  EXPECT_EQ(p.Suggest(L"d ca", Language::English, 1), Words{L"car"});
  EXPECT_EQ(p.Suggest(L"e cst", Language::English, 1), Words{L"cat"});
  // A layout of one's own moves the neighbours.
  std::array<std::wstring, 4> layouts = {L"", L"",
                                         L"1234567890-=qwertyuiop[]asdfghjkl;'\"zxcvbnm,./?", L""};
  std::swap(layouts[2][21], layouts[2][28]);  // g and p change places
  p.SetLayouts(layouts);
  EXPECT_EQ(p.Suggest(L"f tge", Language::English), Words{});
  EXPECT_EQ(p.Suggest(L"g tpe", Language::English, 1), Words{L"the"});
}

TEST_F(Suggestions, ComesBackToTheWordsOfTheTextBeingTyped) {
  EXPECT_EQ(p.Suggest(L"ca", Language::English, 1), Words{L"car"});
  EXPECT_EQ(p.Suggest(L"my cat, my ca", Language::English, 1), Words{L"cat"});
  EXPECT_EQ(p.Suggest(L"Zorbas and zo", Language::English, 1), Words{L"zorbas"});
}

TEST(Predictor, MakesFormsTheListsLackFromTheEndingsOfOtherWords) {
  const auto words = Pack({{L"paint", 0.001, 0}, {L"paints", 0.0001, 0}}, {}, {},
                          {{L"", L"ed", 0.5}, {L"s", L"ed", 0.5}, {L"", L"er", 0.01}});
  Predictor p;
  p.SetLexicon(Language::English, UnpackLexicon(words));
  // A whole listed word is not made into others: its forms are listed.
  EXPECT_EQ(p.Suggest(L"paint", Language::English), (Words{L"paints"}));
  // Below every listed word, and found through a slip too (a and s touch).
  EXPECT_EQ(p.Suggest(L"painte", Language::English, 2), (Words{L"painted", L"painter"}));
  EXPECT_EQ(p.Suggest(L"a psinte", Language::English, 1), Words{L"painted"});
  EXPECT_EQ(p.Suggest(L"pain", Language::English), (Words{L"paint", L"paints"}));
}

TEST(Predictor, WeighsTheOneOrTwoWordsBefore) {
  Predictor p;
  p.SetLexicon(Language::English,
               UnpackLexicon(Pack({{L"one", 0.01, 0.01},
                                   {L"of", 0.02, 0.02},
                                   {L"most", 0.001, 0.001},
                                   {L"us", 0.002, 0.002},
                                   {L"them", 0.002, 0.002},
                                   {L"a", 0.05, 0.05}},
                                  {{{L"of", L"us"}, 0.3}, {{L"of", L"them"}, 0.1}},
                                  {{{L"one", L"of", L"them"}, 0.9}})));
  EXPECT_EQ(p.Suggest(L"most of ", Language::English, 1), Words{L"us"});
  EXPECT_EQ(p.Suggest(L"one of ", Language::English, 1), Words{L"them"});
  // A comma or a dash does not part the words; the end of a sentence does.
  EXPECT_EQ(p.Suggest(L"one, of ", Language::English, 1), Words{L"them"});
  EXPECT_EQ(p.Suggest(L"most of - ", Language::English, 1), Words{L"us"});
  EXPECT_EQ(p.Suggest(L"one. Of ", Language::English, 1), Words{L"us"});
  EXPECT_EQ(p.Suggest(L"one of. ", Language::English, 1), Words{L"A"});
  // A line break in a multi-line field does too, in what is learned as well.
  EXPECT_EQ(p.Suggest(L"one of\r\n", Language::English, 1), Words{L"A"});
  EXPECT_EQ(p.Suggest(L"one\r\nof ", Language::English, 1), Words{L"us"});
  for (int i = 0; i < 3; ++i) p.Learn(L"a\r\nmost");
  EXPECT_EQ(p.Suggest(L"a ", Language::English, 1), Words{L"a"});
  // The words before weigh on completions too.
  EXPECT_EQ(p.Suggest(L"one of t", Language::English, 1), Words{L"them"});
}

TEST_F(Suggestions, KeepsTheFormsTheUserWrites) {
  // A capital that only opens a text is not kept; one inside a sentence is.
  p.Learn(L"Zorro rides");
  EXPECT_EQ(p.Suggest(L"see zo", Language::English, 1), Words{L"zorro"});
  p.Learn(L"I saw Zorro");
  EXPECT_EQ(p.Suggest(L"see zo", Language::English, 1), Words{L"Zorro"});
  p.Learn(L"the NASA probe");
  EXPECT_EQ(p.Suggest(L"see na", Language::English, 1), Words{L"NASA"});
  // A word the lexicon knows only from speech, which has no case, comes as
  // the user writes it; a word of the books keeps the books' case.
  p.Learn(L"I met Anna at the Cat Show");
  EXPECT_EQ(p.Suggest(L"see ann", Language::English, 1), Words{L"Anna"});
  EXPECT_EQ(p.Suggest(L"the ca", Language::English, 1), Words{L"cat"});
  // Apostrophes and hyphens inside a word belong to it.
  p.Learn(L"don't stop, кто-то пришёл");
  EXPECT_EQ(p.Suggest(L"we don'", Language::English, 1), Words{L"don't"});
  EXPECT_EQ(p.Suggest(L"а кто-", Language::English, 1), Words{L"кто-то"});
  EXPECT_EQ(p.Suggest(L"он пришел", Language::English, 1), Words{L"пришёл"});
  // Nothing of a text is taken for a word but its letters.
  p.Learn(L"42 -- ... 'quoted'");
  EXPECT_EQ(p.Suggest(L"see q", Language::English, 1), Words{L"quoted"});
}

TEST_F(Suggestions, FindsEveryWordOfALongHistory) {
  auto word = [](int n) {
    std::wstring w = L"qz";
    for (int k = 0; k < 3; ++k, n /= 26) w += static_cast<wchar_t>(L'a' + n % 26);
    return w + L"y";
  };
  auto finds = [&](int n) {
    const std::wstring w = word(n);
    const auto offered =
        p.Suggest(L"go" + std::to_wstring(n) + L" " + w.substr(0, 5), Language::English);
    return std::find(offered.begin(), offered.end(), w) != offered.end();
  };
  // Texts of one word and of many, asked about in between as the keyboard
  // does after each Enter: learned words are sorted in batches.
  int next = 0;
  for (int size : {1, 3, 300, 1, 700, 2, 2000}) {
    std::wstring text;
    for (int k = 0; k < size; ++k) text += word(next++) + L" ";
    p.Learn(text);
    EXPECT_TRUE(finds(next - 1)) << next;
  }
  for (int n = 0; n < next; n += 37) EXPECT_TRUE(finds(n)) << n;

  // A word followed by many others offers its most frequent followers.
  Predictor bare;
  for (int n = 0; n < 200; ++n) bare.Learn(L"go " + word(n));
  for (int n = 0; n < 5; ++n) bare.Learn(L"go " + word(150));
  const auto after = bare.Suggest(L"we go ", Language::English);
  const auto follower = std::find_if(after.begin(), after.end(),
                                     [](const std::wstring& w) { return w.starts_with(L"qz"); });
  ASSERT_NE(follower, after.end());
  EXPECT_EQ(*follower, word(150));
}

TEST(TypingSimulator, CountsTouchesByItsRules) {
  Predictor p;
  p.SetLexicon(Language::English, English());
  // "the": 't', then "the" offered and touched; the space is free; "cat"
  // follows "the" in the pairs and is touched before its first letter; Enter.
  using Counts = std::tuple<std::uint64_t, std::uint64_t, std::uint64_t>;  // kn, ki, ks
  SimulationResult r = SimulateTyping(p, {L"the cat"}, {});
  EXPECT_EQ(Counts(r.kn, r.ki, r.ks), Counts(8, 2, 2));
  EXPECT_DOUBLE_EQ(r.Ksr(), 50.0);
  EXPECT_EQ(r.sent, Words{L"the cat "});

  // Case counts: "Zz" offered at a sentence's start is not "zz"; punctuation
  // takes the free space's place; an unknown word is typed whole.
  Predictor q;
  q.SetLexicon(Language::English, English());
  r = SimulateTyping(q, {L"The cat, zz.", L"zz"}, {});
  EXPECT_EQ(r.sent, (Words{L"The cat, zz.", L"zz "}));
  // Line 1: "The" and "cat" touched; ", zz." typed, and Enter. Line 2: "zz"
  // was learned from line 1, offered as "Zz" first and as "zz" after a "z".
  EXPECT_EQ(Counts(r.kn, r.ki, r.ks), Counts(13 + 3, 6 + 2, 3));
  EXPECT_EQ(std::tuple(r.words, r.words_right), std::tuple(4u, 4u));

  // Without candidates every character and Enter is typed.
  Predictor none;
  none.SetLexicon(Language::English, English());
  SimulationOptions no_candidates;
  no_candidates.candidates = 0;
  r = SimulateTyping(none, {L"the cat", L"then, they."}, no_candidates);
  EXPECT_EQ(r.ki, r.kn);
  EXPECT_EQ(r.ks, 0u);
  EXPECT_DOUBLE_EQ(r.Ksr(), 0.0);
}

TEST(TypingSimulator, SlipsLandOnNeighboursAndOfferedWordsRepairThem) {
  std::vector<std::wstring> texts(40, L"the car then these");
  Predictor p;
  p.SetLexicon(Language::English, English());
  SimulationOptions slips;
  slips.slip = 1.0;  // every letter typed lands beside its key
  const SimulationResult r = SimulateTyping(p, texts, slips);
  EXPECT_EQ(r.words, 160u);
  EXPECT_LT(r.words_right, r.words);
  EXPECT_GE(r.words_right, r.words / 2);
  for (const auto& sent : r.sent)
    for (wchar_t c : sent)
      EXPECT_TRUE(c == L' ' || (c >= L'a' && c <= L'z') ||
                  std::wstring(L"[];',./1234567890-=").find(c) != std::wstring::npos)
          << int(c);
  // The same seed slips the same way.
  Predictor again;
  again.SetLexicon(Language::English, English());
  EXPECT_EQ(SimulateTyping(again, texts, slips).sent, r.sent);
}

TEST(Predictor, LeavesWhatTheListedPairsLackBelowTheirFloor) {
  const std::vector<Entry> words{
      {L"of", 0.02, 0.02}, {L"us", 0.002, 0.002}, {L"a", 0.05, 0.05}, {L"old", 0.001, 0.001}};
  const Pairs pairs{{{L"of", L"us"}, 0.01}};
  Predictor p;
  p.SetLexicon(Language::English, UnpackLexicon(Pack(words, pairs)));
  EXPECT_EQ(p.Suggest(L"of ", Language::English, 1), Words{L"a"});
  // "of a" is rarer than the rarest listed pair, however common "a" is.
  p.SetLexicon(Language::English, UnpackLexicon(Pack(words, pairs, {}, {}, 1e-5)));
  EXPECT_EQ(p.Suggest(L"of ", Language::English, 1), Words{L"us"});
  // A mark typed between two letters is a slip onto the key beside one.
  EXPECT_EQ(p.Suggest(L"so o.d", Language::English, 1), Words{L"old"});
}

TEST(Predictor, PrefersTheEndingThatAgreesWithTheWordBefore) {
  // The listed pairs show which ending follows which, for pairs they lack.
  Predictor p;
  p.SetLexicon(Language::Russian,
               UnpackLexicon(Pack({{L"новой", 0.001, 0.001}, {L"новая", 0.001, 0.001},
                                   {L"старой", 0.001, 0.001}, {L"старая", 0.001, 0.001},
                                   {L"машины", 0.001, 0.001}, {L"машина", 0.001, 0.001},
                                   {L"машиной", 0.001, 0.001}, {L"дорогой", 0.001, 0.001},
                                   {L"с", 0.001, 0.001}},
                                  {{{L"новой", L"машины"}, 0.1},
                                   {{L"новая", L"машина"}, 0.1},
                                   {{L"с", L"дорогой"}, 0.1}})));
  EXPECT_EQ(p.Suggest(L"старой маш", Language::Russian, 1), Words{L"машины"});
  EXPECT_EQ(p.Suggest(L"старая маш", Language::Russian, 1), Words{L"машина"});
  // A preposition chooses the case of the word after it.
  EXPECT_EQ(p.Suggest(L"с маш", Language::Russian, 1), Words{L"машиной"});
}

}  // namespace
}  // namespace orv
