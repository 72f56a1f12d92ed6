// Word suggestions from the base lexicons and from what the user sends.
//
// A candidate's score is the log of a blended chance (see PredictorWeights)
// plus the log of the chance of the slips it needs: a typed letter that is
// not the word's letter must stand on a key beside it. Candidates come from
// five places, each cut to a few best before the blend: the base words that
// match the typed prefix, the learned words that match it, the words that
// followed the one or two words before in the books, those that followed
// the word before in sent texts, and, for longer prefixes, forms the lists
// lack, made by exchanging a base word's ending as its kin do.
#include "predict/predictor.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "keys/layouts.h"
#include "keys/word_completion.h"
#include "predict/words.h"

namespace orv {

using words::Fold;
using words::FoldText;
using words::LowerText;

namespace {

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
// How many of the best words each source hands to the blend.
constexpr std::size_t kPerSource = 16;
// What the user sent counts fully only once there is enough of it: a word
// used once in the first text is not yet the likeliest word of all (it
// comes first once two of its letters are typed, below).
constexpr double kLearnedPrior = 5000;
constexpr double kLearnedPairPrior = 4;
constexpr double kOwnWordLift = 100;
// How many of the most frequent base words stand ready for an empty prefix.
constexpr std::size_t kTopWords = 48;
// Forms the lists lack are made from the forms they hold: the lexicon
// says which ending (of up to kEndMax letters) a stem of at least kStemMin
// letters may exchange for which (the packer learns it from the lists).
// Made forms are offered from kMadeFrom typed letters on, from stems under
// which at most kMadeRange base words stand.
constexpr std::size_t kStemMin = 4;
constexpr std::size_t kEndMax = 4;
constexpr std::size_t kMadeFrom = 5;
constexpr std::size_t kMadeRange = 200;
// The words earlier in the text being typed make up this share of a word's
// chance, by how often each stands there; only the last kLineTail characters
// are read, since a long text is rarely typed on the keys.
constexpr double kLineShare = 0.02;
constexpr std::size_t kLineTail = 400;
// The log of the chance that a mark inside a word (an apostrophe, a
// hyphen) is left out as the word is typed.
const float kMarkLeftOut = std::log(0.1f);
// A made form is rarer than any listed word: it is offered only where the
// lists have too few, and below the listed words' own forms.
constexpr double kMadeShare = 0.01;
// Words go together by their endings too: a Russian adjective agrees with
// its noun ("новой машины"), a verb's ending goes with its subject's. The
// book pairs show how often the ending (two letters) of a word of at least
// kAgreeMin letters follows the ending of a word as long; a word whose
// ending follows the word before more often than it follows anything gains
// by that ratio to the power kAgreeWeight, and one that seldom does loses
// by it. The ratio is smoothed by kAgreePrior pairs of the usual share.
// A Russian preposition chooses the case of what follows ("в машине", "к
// машине", "с машиной"), and a pronoun the form of its verb ("она была"):
// each stands in for an ending there. Other short words ("ну", "и") say
// little of the next word's form.
constexpr std::size_t kAgreeMin = 4;
constexpr double kAgreePrior = 20;
constexpr double kAgreeWeight = 0.7;

// The last two letters of a folded word of at least kAgreeMin letters.
std::uint32_t EndingOf(std::wstring_view key) {
  const std::size_t n = key.size();
  return (static_cast<std::uint32_t>(key[n - 2] & 0x7FFF) << 15) | (key[n - 1] & 0x7FFF);
}

// What a word before says of the next one's ending: its own ending, or
// which preposition or pronoun it is (a value no ending takes); 0 when it
// says nothing.
std::uint32_t AgreementKey(std::wstring_view key) {
  if (key.size() >= kAgreeMin) return EndingOf(key);
  static constexpr std::wstring_view kShort[] = {
      L"в",   L"во",  L"на", L"с",  L"со", L"к",   L"ко",  L"у",   L"о",   L"об",
      L"обо", L"от",  L"до", L"из", L"за", L"по",  L"под", L"над", L"при", L"про",
      L"без", L"для", L"я",  L"ты", L"он", L"она", L"оно", L"мы",  L"вы",  L"они"};
  for (std::uint32_t i = 0; i < std::size(kShort); ++i)
    if (key == kShort[i]) return (1u << 31) | (i + 1);
  return 0;
}

// A packed score back to a chance: score = -ln p * 8, 0 = not in the source.
struct ScoreTable {
  std::array<float, 256> p{};
  ScoreTable() {
    for (int q = 1; q < 256; ++q) p[q] = std::exp(-q / 8.0f);
  }
};
const ScoreTable kScores;

}  // namespace

class Lexicon {
 public:
  struct Pair {
    std::uint32_t a, b;
    std::uint8_t score;
  };
  struct Triple {
    std::uint32_t a, b, c;
    std::uint8_t score;
  };

  std::size_t Size() const { return subtitles_.size(); }
  std::wstring_view Key(std::size_t i) const {
    return std::wstring_view(keys_).substr(starts_[i], starts_[i + 1] - starts_[i]);
  }
  std::wstring Form(std::size_t i) const {
    auto it = std::lower_bound(forms_.begin(), forms_.end(), i,
                               [](const auto& f, std::size_t id) { return f.first < id; });
    if (it != forms_.end() && it->first == i) return it->second;
    return std::wstring(Key(i));
  }
  float Subtitles(std::size_t i) const { return kScores.p[subtitles_[i]]; }
  float Books(std::size_t i) const { return kScores.p[books_[i]]; }

  // The word of this lower-case form, or kNone.
  std::uint32_t Find(std::wstring_view lower) const {
    const std::wstring key = FoldText(lower);
    auto [lo, hi] = KeyRange(key);
    for (std::size_t i = lo; i < hi; ++i) {
      if (LowerText(Form(i)) == lower) return static_cast<std::uint32_t>(i);
    }
    return lo < hi ? static_cast<std::uint32_t>(lo) : kNone;
  }

  std::pair<std::size_t, std::size_t> KeyRange(std::wstring_view key) const {
    std::size_t lo = 0, hi = Size();
    auto less = [&](std::size_t i) { return Key(i) < key; };
    auto not_greater = [&](std::size_t i) { return Key(i) <= key; };
    lo = Partition(lo, hi, less);
    hi = Partition(lo, hi, not_greater);
    return {lo, hi};
  }

  float PairChance(std::uint32_t a, std::uint32_t b) const {
    auto it = std::lower_bound(pairs_.begin(), pairs_.end(), std::make_pair(a, b),
                               [](const Pair& p, const std::pair<std::uint32_t, std::uint32_t>& k) {
                                 return std::make_pair(p.a, p.b) < k;
                               });
    return it != pairs_.end() && it->a == a && it->b == b ? kScores.p[it->score] : 0.0f;
  }
  std::span<const Pair> PairsOf(std::uint32_t a) const {
    auto lo = std::lower_bound(pairs_.begin(), pairs_.end(), a,
                               [](const Pair& p, std::uint32_t k) { return p.a < k; });
    auto hi = std::upper_bound(lo, pairs_.end(), a,
                               [](std::uint32_t k, const Pair& p) { return k < p.a; });
    return {lo, hi};
  }
  std::span<const Triple> TriplesOf(std::uint32_t a, std::uint32_t b) const {
    auto key = std::make_pair(a, b);
    auto lo = std::lower_bound(
        triples_.begin(), triples_.end(), key,
        [](const Triple& t, const auto& k) { return std::make_pair(t.a, t.b) < k; });
    auto hi = lo;
    while (hi != triples_.end() && hi->a == a && hi->b == b) ++hi;
    return {lo, hi};
  }
  const std::vector<std::uint32_t>& Top() const { return top_; }
  // The words whose folded form begins with `stem`.
  std::pair<std::size_t, std::size_t> PrefixRange(std::wstring_view stem) const {
    auto below = [&](std::size_t i) { return Key(i).substr(0, stem.size()) < stem; };
    auto within = [&](std::size_t i) { return Key(i).substr(0, stem.size()) <= stem; };
    const std::size_t lo = Partition(0, Size(), below);
    return {lo, Partition(lo, Size(), within)};
  }
  struct EndingRule {
    std::uint64_t from, to;
    float chance;
  };
  static std::uint64_t PackEnding(std::wstring_view ending);
  static std::wstring UnpackEnding(std::uint64_t packed);
  static wchar_t EndingLetter(std::uint64_t packed, std::size_t i);
  std::span<const EndingRule> EndingsAfter(std::wstring_view from) const {
    const std::uint64_t key = PackEnding(from);
    auto lo = std::lower_bound(endings_.begin(), endings_.end(), key,
                               [](const EndingRule& r, std::uint64_t k) { return r.from < k; });
    auto hi = lo;
    while (hi != endings_.end() && hi->from == key) ++hi;
    return {lo, hi};
  }
  bool HasEndings() const { return !endings_.empty(); }
  float Floor() const { return floor_; }
  // The share of the books' words below which a pair is not listed (0: unknown).
  float PairFloor() const { return pair_floor_; }
  // How much likelier a word of this ending is after a word of the ending
  // `before` than after any (see kAgreeMin); 1 where the pairs do not tell.
  double Agreement(std::uint32_t before, std::uint32_t ending) const {
    auto count = [](const auto& map, std::uint64_t key) {
      auto it = map.find(key);
      return it == map.end() ? 0.0 : static_cast<double>(it->second);
    };
    const double after_before = count(endings_before_, before);
    const double share = count(endings_after_, ending) / std::max<double>(ending_pair_total_, 1);
    if (after_before == 0 || share == 0) return 1.0;
    const double together =
        count(ending_pairs_, (static_cast<std::uint64_t>(before) << 32) | ending);
    return (together + kAgreePrior * share) / (after_before + kAgreePrior) / share;
  }

  // Of the keys lo..hi, sorted, with the same first `at` letters: those
  // whose next letter is `letter`.
  template <class KeyAt>
  static std::pair<std::size_t, std::size_t> LetterRange(std::size_t lo, std::size_t hi,
                                                         std::size_t at, wchar_t letter,
                                                         KeyAt key_at) {
    const std::size_t a = Partition(lo, hi, [&](std::size_t i) {
      const auto k = key_at(i);
      return k.size() <= at || k[at] < letter;
    });
    return {a, Partition(a, hi, [&](std::size_t i) {
              const auto k = key_at(i);
              return k.size() <= at || k[at] <= letter;
            })};
  }

  template <class Pred>
  static std::size_t Partition(std::size_t lo, std::size_t hi, Pred pred) {
    while (lo < hi) {
      const std::size_t mid = lo + (hi - lo) / 2;
      if (pred(mid)) {
        lo = mid + 1;
      } else {
        hi = mid;
      }
    }
    return lo;
  }

 private:
  friend std::shared_ptr<const Lexicon> UnpackLexicon(std::span<const std::uint8_t> packed);

  std::wstring keys_;                  // folded forms, one after another
  std::vector<std::uint32_t> starts_;  // where each begins, and the end
  std::vector<std::uint8_t> subtitles_, books_;
  std::vector<std::pair<std::uint32_t, std::wstring>> forms_;  // forms that differ from the key
  std::vector<Pair> pairs_;
  std::vector<Triple> triples_;
  std::vector<std::uint32_t> top_;
  std::vector<EndingRule> endings_;
  float floor_ = 0;
  float pair_floor_ = 0;
  // Book pairs counted by what comes first (an ending, or a short word) and
  // the ending that follows, together and each alone.
  std::unordered_map<std::uint64_t, std::uint32_t> ending_pairs_;
  std::unordered_map<std::uint32_t, std::uint32_t> endings_before_, endings_after_;
  std::uint32_t ending_pair_total_ = 0;
};

namespace {

// Reads the packed form; every read is checked, since the data may be anything.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> data) : data_(data) {}
  bool Byte(std::uint8_t& out) {
    if (pos_ >= data_.size()) return false;
    out = data_[pos_++];
    return true;
  }
  bool U32(std::uint32_t& out) {
    if (data_.size() - pos_ < 4) return false;
    out = 0;
    for (int i = 3; i >= 0; --i) out = (out << 8) | data_[pos_ + i];
    pos_ += 4;
    return true;
  }
  bool Varint(std::uint32_t& out) {
    out = 0;
    for (int shift = 0; shift < 35; shift += 7) {
      std::uint8_t b = 0;
      if (!Byte(b)) return false;
      out |= static_cast<std::uint32_t>(b & 0x7F) << shift;
      if (!(b & 0x80)) return true;
    }
    return false;
  }
  // UTF-8 of the Basic Multilingual Plane.
  bool Utf8(std::size_t bytes, std::wstring& out) {
    if (data_.size() - pos_ < bytes) return false;
    const std::size_t end = pos_ + bytes;
    while (pos_ < end) {
      const std::uint8_t b = data_[pos_++];
      std::uint32_t c = 0;
      int more = 0;
      if (b < 0x80) {
        c = b;
      } else if ((b & 0xE0) == 0xC0) {
        c = b & 0x1F, more = 1;
      } else if ((b & 0xF0) == 0xE0) {
        c = b & 0x0F, more = 2;
      } else {
        return false;
      }
      for (; more > 0; --more) {
        if (pos_ >= end || (data_[pos_] & 0xC0) != 0x80) return false;
        c = (c << 6) | (data_[pos_++] & 0x3F);
      }
      out.push_back(static_cast<wchar_t>(c));
    }
    return true;
  }
  bool AtEnd() const { return pos_ == data_.size(); }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
};

}  // namespace

std::shared_ptr<const Lexicon> UnpackLexicon(std::span<const std::uint8_t> packed) {
  Reader r(packed);
  std::uint8_t magic[4], version = 0, lang = 0, pad0 = 0, pad1 = 0;
  for (auto& m : magic)
    if (!r.Byte(m)) return nullptr;
  if (std::string_view(reinterpret_cast<const char*>(magic), 4) != "OVLX") return nullptr;
  std::uint32_t n = 0, npairs = 0, ntriples = 0, nendings = 0;
  if (!r.Byte(version) || version < 1 || version > 3 || !r.Byte(lang) || !r.Byte(pad0) ||
      !r.Byte(pad1) || !r.U32(n) || !r.U32(npairs) || !r.U32(ntriples) ||
      (version >= 2 && !r.U32(nendings))) {
    return nullptr;
  }
  // Each entry takes at least three bytes, so the counts cannot outrun the data.
  if (n > packed.size() / 4 || npairs > packed.size() / 3 || ntriples > packed.size() / 4 ||
      nendings > packed.size() / 3) {
    return nullptr;
  }
  auto lex = std::make_shared<Lexicon>();
  if (version >= 3) lex->pair_floor_ = kScores.p[pad0];
  lex->starts_.reserve(n + 1);
  lex->subtitles_.reserve(n);
  lex->books_.reserve(n);
  lex->keys_.reserve(packed.size());
  std::wstring prev, form;
  std::wstring_view prev_key;
  for (std::uint32_t i = 0; i < n; ++i) {
    std::uint8_t shared = 0, bytes = 0, subs = 0, books = 0;
    if (!r.Byte(shared) || !r.Byte(bytes) || shared > prev.size()) return nullptr;
    form.assign(prev, 0, shared);
    if (!r.Utf8(bytes, form) || form.empty() || !r.Byte(subs) || !r.Byte(books)) return nullptr;
    const std::size_t start = lex->keys_.size();
    lex->starts_.push_back(static_cast<std::uint32_t>(start));
    for (wchar_t ch : form) lex->keys_.push_back(Fold(ch));
    const std::wstring_view key = std::wstring_view(lex->keys_).substr(start);
    if (i > 0 &&
        key <
            std::wstring_view(lex->keys_).substr(lex->starts_[i - 1], start - lex->starts_[i - 1]))
      return nullptr;
    if (key != form) lex->forms_.emplace_back(i, form);
    lex->subtitles_.push_back(subs);
    lex->books_.push_back(books);
    prev.swap(form);
  }
  lex->starts_.push_back(static_cast<std::uint32_t>(lex->keys_.size()));
  lex->keys_.shrink_to_fit();
  lex->pairs_.reserve(npairs);
  std::uint32_t a = 0;
  for (std::uint32_t i = 0; i < npairs; ++i) {
    std::uint32_t da = 0, b = 0;
    std::uint8_t s = 0;
    if (!r.Varint(da) || !r.Varint(b) || !r.Byte(s)) return nullptr;
    a += da;
    if (a >= n || b >= n) return nullptr;
    lex->pairs_.push_back({a, b, s});
  }
  lex->triples_.reserve(ntriples);
  for (std::uint32_t i = 0; i < ntriples; ++i) {
    Lexicon::Triple t{};
    if (!r.Varint(t.a) || !r.Varint(t.b) || !r.Varint(t.c) || !r.Byte(t.score)) return nullptr;
    if (t.a >= n || t.b >= n || t.c >= n) return nullptr;
    lex->triples_.push_back(t);
  }
  lex->endings_.reserve(nendings);
  for (std::uint32_t i = 0; i < nendings; ++i) {
    std::wstring from, to;
    std::uint8_t bytes = 0, score = 0;
    if (!r.Byte(bytes) || !r.Utf8(bytes, from) || !r.Byte(bytes) || !r.Utf8(bytes, to) ||
        !r.Byte(score) || from.size() > kEndMax || to.size() > kEndMax ||
        std::any_of(from.begin(), from.end(), [](wchar_t c) { return c > 0x7FFF; }) ||
        std::any_of(to.begin(), to.end(), [](wchar_t c) { return c > 0x7FFF; }))
      return nullptr;
    lex->endings_.push_back({Lexicon::PackEnding(from), Lexicon::PackEnding(to), kScores.p[score]});
  }
  if (!r.AtEnd()) return nullptr;
  // Lookups rely on the order; the packer writes it sorted, foreign data may not be.
  auto pair_less = [](const Lexicon::Pair& x, const Lexicon::Pair& y) {
    return std::make_pair(x.a, x.b) < std::make_pair(y.a, y.b);
  };
  auto triple_less = [](const Lexicon::Triple& x, const Lexicon::Triple& y) {
    return std::make_tuple(x.a, x.b, x.c) < std::make_tuple(y.a, y.b, y.c);
  };
  std::sort(lex->pairs_.begin(), lex->pairs_.end(), pair_less);
  std::sort(lex->triples_.begin(), lex->triples_.end(), triple_less);

  std::vector<std::uint32_t> order(n);
  for (std::uint32_t i = 0; i < n; ++i) order[i] = i;
  auto best = [&](std::uint32_t i) {
    const auto s = lex->subtitles_[i] ? lex->subtitles_[i] : 255;
    const auto b = lex->books_[i] ? lex->books_[i] : 255;
    return std::min(s, b);
  };
  const std::size_t top = std::min<std::size_t>(kTopWords, n);
  std::partial_sort(order.begin(), order.begin() + top, order.end(),
                    [&](std::uint32_t x, std::uint32_t y) {
                      return best(x) < best(y) || (best(x) == best(y) && x < y);
                    });
  lex->top_.assign(order.begin(), order.begin() + top);
  std::stable_sort(lex->endings_.begin(), lex->endings_.end(),
                   [](const Lexicon::EndingRule& x, const Lexicon::EndingRule& y) {
                     return x.from < y.from || (x.from == y.from && x.chance > y.chance);
                   });
  std::uint8_t rarest = 0;
  for (std::uint8_t score : lex->subtitles_) rarest = std::max(rarest, score);
  lex->floor_ = kScores.p[rarest];
  for (const Lexicon::Pair& p : lex->pairs_) {
    const std::wstring_view a = lex->Key(p.a), b = lex->Key(p.b);
    const std::uint32_t before = AgreementKey(a);
    if (!before || b.size() < kAgreeMin) continue;
    ++lex->ending_pairs_[(static_cast<std::uint64_t>(before) << 32) | EndingOf(b)];
    ++lex->endings_before_[before];
    ++lex->endings_after_[EndingOf(b)];
    ++lex->ending_pair_total_;
  }
  return lex;
}

// Up to 4 letters in 15 bits each (the folded letters of both languages
// stand below U+0500), and their count.
std::uint64_t Lexicon::PackEnding(std::wstring_view ending) {
  std::uint64_t packed = 0;
  for (wchar_t c : ending) packed = (packed << 15) | (static_cast<std::uint64_t>(c) & 0x7FFF);
  return (packed << 3) | ending.size();
}

wchar_t Lexicon::EndingLetter(std::uint64_t packed, std::size_t i) {
  const std::size_t n = packed & 7;
  return static_cast<wchar_t>((packed >> (3 + 15 * (n - 1 - i))) & 0x7FFF);
}

std::wstring Lexicon::UnpackEnding(std::uint64_t packed) {
  std::wstring out(packed & 7, L'\0');
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = EndingLetter(packed, i);
  return out;
}

namespace {

// A typed character and what it may stand for: itself, or a letter on a
// neighbouring key at the cost of a slip.
struct Option {
  wchar_t letter;
  float cost;  // log of the chance
  bool slip;
};

struct Follower {
  std::uint32_t id;
  std::uint32_t count;
};

// A word learned from sent texts. Id 0 stands for the start of a sentence.
struct LearnedWord {
  std::wstring lower, key, form;
  std::uint32_t count = 0;
  std::vector<Follower> next;
};

struct Best {
  double score;
  std::uint32_t id;
};
// The best words of a range of a sorted word list, by the range's ends: a
// short prefix covers thousands of words, and the same few prefixes come
// back at every word's first letters.
using RangeCache = std::unordered_map<std::uint64_t, std::vector<Best>>;

struct Candidate {
  std::wstring lower, form;
  std::uint32_t base = kNone, user = kNone;
  double made = 0;            // the chance of a form made from a base word's ending
  std::uint32_t in_line = 0;  // times the word stands earlier in the text
  double score = 0;           // log of the chance
};

}  // namespace

struct Predictor::State {
  std::array<std::shared_ptr<const Lexicon>, 2> lexicons;
  PredictorWeights weights;
  std::array<std::wstring, 4> layouts;
  // For each folded character, the letters of the keys around its key.
  std::unordered_map<wchar_t, std::vector<Option>> neighbours;

  std::vector<LearnedWord> learned{1};
  std::unordered_map<std::wstring, std::uint32_t> learned_ids;
  std::unordered_map<std::uint64_t, std::uint32_t> pair_slot;  // (a, b) -> index in learned[a].next
  std::uint64_t learned_tokens = 0;
  std::vector<std::uint32_t> by_key;    // learned words sorted by key
  std::vector<std::uint32_t> unsorted;  // learned since by_key was last sorted
  std::vector<std::uint32_t> top;       // the most used learned words
  std::array<RangeCache, 2> base_ranges;
  RangeCache learned_ranges;  // stale after every text learned
  // The most frequent followers of words followed by many (the start of a
  // sentence, "the"): a rare follower of such a word is left to the words alone.
  std::unordered_map<std::uint32_t, std::vector<Follower>> top_followers;  // stale likewise
  const std::vector<Follower>& FollowersOf(std::uint32_t id);

  // The word being typed: what stands before it, its prefix at the last
  // call, what was offered then, and what was passed over since it began.
  std::wstring offer_context, offer_prefix;
  std::vector<std::wstring> offered, passed;  // as shown
  // The words that stand before the word being typed, lower case, and the text they are read from.
  std::wstring line_context;
  std::vector<std::wstring> line_words;
  // The last text learned: a multi-line field sends its whole text at
  // every Enter.
  std::wstring last_sent;

  void BuildNeighbours();
  void FlushSorted();
  std::uint32_t LearnWord(std::wstring_view word, bool sentence_start);
  void NoteTop(std::uint32_t id);
};

void Predictor::State::FlushSorted() {
  if (unsorted.empty()) return;
  auto less = [&](std::uint32_t x, std::uint32_t y) { return learned[x].key < learned[y].key; };
  std::sort(unsorted.begin(), unsorted.end(), less);
  const auto middle = by_key.insert(by_key.end(), unsorted.begin(), unsorted.end());
  std::inplace_merge(by_key.begin(), middle, by_key.end(), less);
  unsorted.clear();
}

std::uint32_t Predictor::State::LearnWord(std::wstring_view word, bool sentence_start) {
  std::wstring lower = LowerText(word);
  auto [it, fresh] = learned_ids.try_emplace(lower, static_cast<std::uint32_t>(learned.size()));
  const bool capital_rest = std::any_of(word.begin() + 1, word.end(), words::IsUpper);
  if (fresh) {
    LearnedWord w;
    w.key = FoldText(word);
    // A capital that only opens a sentence is not part of the word.
    w.form = sentence_start && !capital_rest ? lower : std::wstring(word);
    w.lower = std::move(lower);
    learned.push_back(std::move(w));
    unsorted.push_back(it->second);
    // Sorted in batches that grow with the list, so that a history learned
    // at start-up leaves little sorting for the first key touch.
    if (unsorted.size() > std::max<std::size_t>(256, by_key.size() / 8)) FlushSorted();
  } else if (!sentence_start || capital_rest) {
    learned[it->second].form = word;
  }
  ++learned[it->second].count;
  ++learned_tokens;
  NoteTop(it->second);
  return it->second;
}

void Predictor::State::NoteTop(std::uint32_t id) {
  constexpr std::size_t kTop = 32;
  auto at = std::find(top.begin(), top.end(), id);
  if (at == top.end()) {
    if (top.size() >= kTop && learned[top.back()].count >= learned[id].count) return;
    if (top.size() >= kTop) top.pop_back();
    at = top.insert(top.end(), id);
  }
  // Counts only grow: the word moves up past those it now outnumbers.
  for (; at != top.begin() && learned[*(at - 1)].count < learned[*at].count; --at)
    std::iter_swap(at - 1, at);
}

const std::vector<Follower>& Predictor::State::FollowersOf(std::uint32_t id) {
  constexpr std::size_t kMost = 64;
  const auto& all = learned[id].next;
  if (all.size() <= kMost) return all;
  auto [it, fresh] = top_followers.try_emplace(id);
  if (fresh) {
    it->second.resize(kMost);
    std::partial_sort_copy(all.begin(), all.end(), it->second.begin(), it->second.end(),
                           [](const Follower& x, const Follower& y) { return x.count > y.count; });
  }
  return it->second;
}

Predictor::Predictor() : s_(std::make_unique<State>()) { SetLayouts(kDefaultLayouts); }
Predictor::~Predictor() = default;

void Predictor::SetLexicon(Language lang, std::shared_ptr<const Lexicon> lexicon) {
  s_->lexicons[static_cast<int>(lang)] = std::move(lexicon);
  s_->base_ranges[static_cast<int>(lang)].clear();
}

void Predictor::SetWeights(const PredictorWeights& weights) {
  s_->weights = weights;
  for (auto& cache : s_->base_ranges) cache.clear();
  s_->BuildNeighbours();
}

void Predictor::SetLayouts(const std::array<std::wstring, 4>& layouts) {
  s_->layouts = layouts;
  s_->BuildNeighbours();
}

// A slip onto a nearer key is the likelier: each neighbour is weighed by the
// inverse square of the distance between the keys' centres.
void Predictor::State::BuildNeighbours() {
  std::unordered_map<wchar_t, std::unordered_map<wchar_t, float>>
      near;  // intended -> typed -> weight
  // The keys that touch, and how near their centres are, the same for every layout.
  struct Touch {
    int a, b;
    float weight;
  };
  static const std::vector<Touch> touches = [] {
    std::vector<Touch> out;
    for (int k = 0; k < kCharKeys; ++k) {
      for (int j = 0; j < kCharKeys; ++j) {
        if (!words::KeysTouch(k, j)) continue;
        const Rect a = CharKeyTwips(k), b = CharKeyTwips(j);
        const double dx = (a.left + a.right - b.left - b.right) / 2.0;
        const double dy = (a.top + a.bottom - b.top - b.bottom) / 2.0;
        out.push_back({k, j, static_cast<float>(1.0 / (dx * dx + dy * dy))});
      }
    }
    return out;
  }();
  for (const auto& layout : layouts) {
    for (const Touch& t : touches) {
      if (static_cast<std::size_t>(std::max(t.a, t.b)) >= layout.size()) continue;
      const wchar_t intended = Fold(layout[t.a]), typed = Fold(layout[t.b]);
      if (typed == intended) continue;
      float& weight = near[intended][typed];
      weight = std::max(weight, t.weight);
    }
  }
  neighbours.clear();
  for (const auto& [intended, typed_map] : near) {
    float sum = 0;
    for (const auto& [typed, weight] : typed_map) sum += weight;
    for (const auto& [typed, weight] : typed_map)
      neighbours[typed].push_back({intended, std::log(weights.slip * weight / sum), true});
  }
  for (auto& [typed, list] : neighbours)
    std::sort(list.begin(), list.end(),
              [](const Option& x, const Option& y) { return x.letter < y.letter; });
}

namespace {

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == 0xA0; }

// The text before the insertion point, read backwards: the word being typed
// and the two words before it.
struct Context {
  std::size_t prefix_start = 0;
  std::wstring_view prefix;
  bool letterless_token = false;  // the insertion point follows a token without letters
  bool sentence_start = true;
  std::wstring w1, w2;  // lower case; empty: the start of a sentence or nothing
};

// The last word of the token that ends at `end`, and whether a sentence ends
// after it. Returns false for a token without letters.
bool LastWord(std::wstring_view text, std::size_t start, std::size_t end, std::wstring& word,
              bool& ends) {
  std::size_t last = end;
  while (last > start && !words::IsLetter(text[last - 1])) --last;
  if (last == start) return false;
  ends = false;
  for (std::size_t i = last; i < end; ++i) ends = ends || words::EndsSentence(text[i]);
  std::size_t first = last;
  while (first > start && (words::IsLetter(text[first - 1]) ||
                           (words::IsJoiner(text[first - 1]) && first - 1 > start &&
                            words::IsLetter(text[first - 2]))))
    --first;
  word = LowerText(text.substr(first, last - first));
  return true;
}

Context ReadContext(std::wstring_view text) {
  Context c;
  // The word being typed is what a touched candidate replaces: letters,
  // digits and marks between letters (slips onto the keys beside), and
  // apostrophes and hyphens inside.
  std::size_t p = WordStart(text, text.size());
  const std::wstring_view opening = L"\"'([{-\x2014\x2013\xAB\x201C\x201E";
  if (p == text.size()) {
    // After other punctuation ("word," with no space) the next word cannot begin yet.
    c.letterless_token =
        p > 0 && !IsSpace(text[p - 1]) && opening.find(text[p - 1]) == std::wstring_view::npos;
  } else {
    c.letterless_token = std::none_of(text.begin() + p, text.end(), words::IsLetter);
  }
  c.prefix_start = p;
  c.prefix = text.substr(p);
  std::size_t start = p;
  while (start > 0 && !IsSpace(text[start - 1])) --start;
  // Up to two words back, across punctuation that does not end a sentence
  // and tokens without letters (a dash between words).
  std::size_t pos = start;
  std::wstring* slots[2] = {&c.w1, &c.w2};
  for (int found = 0, skipped = 0; found < 2 && skipped < 3;) {
    bool line_break = false;
    for (; pos > 0 && IsSpace(text[pos - 1]); --pos)
      line_break = line_break || words::EndsSentence(text[pos - 1]);
    if (pos == 0 || line_break) break;
    std::size_t tok = pos;
    while (tok > 0 && !IsSpace(text[tok - 1])) --tok;
    std::wstring word;
    bool ends = false;
    if (!LastWord(text, tok, pos, word, ends)) {
      pos = tok;
      ++skipped;
      continue;
    }
    if (ends) break;
    *slots[found++] = std::move(word);
    pos = tok;
  }
  c.sentence_start = c.w1.empty();
  return c;
}

// The case the user began the word in: ALL CAPS after two capitals,
// Capitalised after one, and Capitalised at a sentence's start; or the case
// Shift types next.
std::wstring InCase(const std::wstring& form, std::wstring_view prefix, bool sentence_start,
                    ShiftCase shift) {
  std::wstring out = form;
  std::size_t letters = 0, capitals = 0;
  for (wchar_t ch : prefix) {
    if (!words::IsLetter(ch)) continue;
    ++letters;
    capitals += words::IsUpper(ch);
  }
  const bool first_capital = !prefix.empty() && words::IsUpper(prefix[0]);
  if ((letters >= 2 || shift == ShiftCase::kLocked) && capitals == letters) {
    for (auto& ch : out) ch = words::Upper(ch);
  } else if (first_capital || (prefix.empty() && (sentence_start || shift == ShiftCase::kOnce))) {
    if (!out.empty()) out[0] = words::Upper(out[0]);
  }
  return out;
}

}  // namespace

std::vector<std::wstring> Predictor::Suggest(std::wstring_view before_caret, Language at_start,
                                             std::size_t count, ShiftCase shift) {
  State& s = *s_;
  const PredictorWeights& w = s.weights;
  const Context ctx = ReadContext(before_caret);

  // Words offered for the word being typed and passed over by a further key.
  // A word deleted back to nothing (Clr, or the last letter taken back) and
  // one typed over with other letters begin afresh: a new field's text, or
  // a word begun again, gets the words it was offered before.
  const std::wstring_view context_text = before_caret.substr(0, ctx.prefix_start);
  const std::wstring_view prefix = ctx.prefix, before = s.offer_prefix;
  if (context_text != s.offer_context || prefix.empty() ||
      !(prefix.starts_with(before) || before.starts_with(prefix))) {
    s.offer_context.assign(context_text);
    s.passed.clear();
  } else if (prefix != before) {
    s.passed.insert(s.passed.end(), s.offered.begin(), s.offered.end());
  }
  s.offer_prefix.assign(ctx.prefix);
  s.offered.clear();
  // No word is that long: a pasted address or a row of one letter is not completed.
  constexpr std::size_t kLongestWord = 48;
  if (count == 0 || ctx.letterless_token || ctx.prefix.size() > kLongestWord) return {};

  Language lang = at_start;
  words::LanguageOf(ctx.prefix, lang);
  const Lexicon* lex = s.lexicons[static_cast<int>(lang)].get();
  auto in_language = [&](std::wstring_view word) {
    Language l = at_start;
    return words::LanguageOf(word, l) && l == lang;
  };

  // What each typed character may stand for.
  const std::size_t len = ctx.prefix.size();
  const int max_slips = len <= 3 ? 1 : 2;
  std::vector<std::vector<Option>> options(len);
  for (std::size_t i = 0; i < len; ++i) {
    const wchar_t typed = Fold(ctx.prefix[i]);
    options[i].push_back({typed == L'\x2019' ? L'\'' : typed, 0.0f, false});
    if (auto it = s.neighbours.find(typed); it != s.neighbours.end())
      options[i].insert(options[i].end(), it->second.begin(), it->second.end());
  }
  // A mark inside a word may be left out where the typed character is not
  // that mark: "dont" finds "don't", "чтото" finds "что-то". One a word.
  auto skips = [&](std::size_t typed_at, std::size_t key_at, wchar_t key_letter) {
    return key_at > 0 && (key_letter == L'\'' || key_letter == L'-') &&
           options[typed_at][0].letter != key_letter;
  };
  // How typed character i may be read as `letter`, or null.
  auto read = [&](std::size_t i, wchar_t letter) -> const Option* {
    for (const Option& o : options[i])
      if (o.letter == letter) return &o;
    return nullptr;
  };
  // The cost of reading the typed prefix as the start of `key`, or false.
  auto match = [&](std::wstring_view key, float& cost) {
    cost = 0;
    int slips = 0;
    bool skipped = false;
    for (std::size_t i = 0, j = 0; i < len; ++i, ++j) {
      if (j >= key.size()) return false;
      const Option* hit = read(i, key[j]);
      if (!hit && !skipped && skips(i, j, key[j]) && j + 1 < key.size()) {
        skipped = true;
        cost += kMarkLeftOut;
        hit = read(i, key[++j]);
      }
      if (!hit || (hit->slip && ++slips > max_slips)) return false;
      cost += hit->cost;
    }
    return true;
  };

  std::vector<Candidate> pool;
  std::unordered_map<std::wstring, std::size_t> pool_index;
  auto add = [&](std::wstring lower, const std::wstring& form, std::uint32_t base,
                 std::uint32_t user) {
    auto [it, fresh] = pool_index.try_emplace(lower, pool.size());
    if (fresh) pool.push_back({std::move(lower), form});
    Candidate& c = pool[it->second];
    if (base != kNone) c.base = base;
    if (user != kNone) {
      c.user = user;
      c.form = s.learned[user].form;
    }
  };
  auto add_base = [&](std::uint32_t id) {
    const std::wstring form = lex->Form(id);
    add(LowerText(form), form, id, kNone);
  };
  auto add_user = [&](std::uint32_t id) {
    add(s.learned[id].lower, s.learned[id].form, kNone, id);
  };
  auto base_chance = [&](std::size_t i) {
    return w.subtitles * lex->Subtitles(i) + (1 - w.subtitles) * lex->Books(i);
  };

  // The few best of a sorted word list under the typed prefix, slips included:
  // walk down the prefix one typed character at a time, each time keeping the
  // words whose next letter is one the character may stand for.
  auto keep_best = [](std::vector<Best>& best, Best b) {
    if (best.size() == kPerSource && best.back().score >= b.score) return;
    if (best.size() == kPerSource) best.pop_back();
    best.insert(std::upper_bound(best.begin(), best.end(), b,
                                 [](const Best& x, const Best& y) { return x.score > y.score; }),
                b);
  };
  auto walk = [&](std::size_t size, auto key_at, auto chance, auto id_at, RangeCache& cache) {
    std::vector<Best> best;
    // `depth` typed characters are read, as the first `at` letters of the keys.
    auto step = [&](auto& self, std::size_t lo, std::size_t hi, std::size_t depth, std::size_t at,
                    float cost, int slips, bool skipped) -> void {
      if (depth == len) {
        const double factor = std::exp(cost);
        if (hi - lo <= 4 * kPerSource) {
          for (std::size_t i = lo; i < hi; ++i) keep_best(best, {chance(i) * factor, id_at(i)});
          return;
        }
        auto [it, fresh] = cache.try_emplace((static_cast<std::uint64_t>(lo) << 32) | hi);
        if (fresh)
          for (std::size_t i = lo; i < hi; ++i) keep_best(it->second, {chance(i), id_at(i)});
        for (const Best& b : it->second) keep_best(best, {b.score * factor, b.id});
        return;
      }
      auto under = [&](wchar_t letter) { return Lexicon::LetterRange(lo, hi, at, letter, key_at); };
      for (const Option& o : options[depth]) {
        if (o.slip && slips >= max_slips) continue;
        const auto [a, b] = under(o.letter);
        if (a < b)
          self(self, a, b, depth + 1, at + 1, cost + o.cost, slips + (o.slip ? 1 : 0), skipped);
      }
      for (const wchar_t mark : {L'\'', L'-'}) {
        if (skipped || !skips(depth, at, mark)) continue;
        const auto [a, b] = under(mark);
        if (a < b) self(self, a, b, depth, at + 1, cost + kMarkLeftOut, slips, true);
      }
    };
    step(step, 0, size, 0, 0, 0.0f, 0, false);
    return best;
  };

  if (lex) {
    if (len == 0) {
      for (std::uint32_t id : lex->Top()) add_base(id);
    } else {
      for (const Best& b : walk(
               lex->Size(), [&](std::size_t i) { return lex->Key(i); }, base_chance,
               [](std::size_t i) { return static_cast<std::uint32_t>(i); },
               s.base_ranges[static_cast<int>(lang)]))
        add_base(b.id);
    }
  }
  s.FlushSorted();
  if (len == 0) {
    for (std::uint32_t id : s.top)
      if (in_language(s.learned[id].lower)) add_user(id);
  } else {
    for (const Best& b : walk(
             s.by_key.size(),
             [&](std::size_t i) { return std::wstring_view(s.learned[s.by_key[i]].key); },
             [&](std::size_t i) { return static_cast<double>(s.learned[s.by_key[i]].count); },
             [&](std::size_t i) { return s.by_key[i]; }, s.learned_ranges))
      add_user(b.id);
  }

  // The words before: in the books, and in what the user sent.
  const std::uint32_t base_w1 = lex && !ctx.w1.empty() ? lex->Find(ctx.w1) : kNone;
  const std::uint32_t base_w2 =
      lex && !ctx.w2.empty() && base_w1 != kNone ? lex->Find(ctx.w2) : kNone;
  std::uint32_t user_w1 = ctx.sentence_start ? 0 : kNone;
  if (!ctx.w1.empty()) {
    if (auto it = s.learned_ids.find(ctx.w1); it != s.learned_ids.end()) user_w1 = it->second;
  }
  float cost = 0;
  if (base_w1 != kNone) {
    std::vector<Best> best;
    for (const auto& p : lex->PairsOf(base_w1))
      if (match(lex->Key(p.b), cost)) keep_best(best, {kScores.p[p.score] * std::exp(cost), p.b});
    if (base_w2 != kNone)
      for (const auto& t : lex->TriplesOf(base_w2, base_w1))
        if (match(lex->Key(t.c), cost)) keep_best(best, {kScores.p[t.score] * std::exp(cost), t.c});
    for (const Best& b : best) add_base(b.id);
  }
  if (user_w1 != kNone) {
    std::vector<Best> best;
    for (const Follower& f : s.FollowersOf(user_w1))
      if (in_language(s.learned[f.id].lower) && match(s.learned[f.id].key, cost))
        keep_best(best, {f.count * std::exp(cost), f.id});
    for (const Best& b : best) add_user(b.id);
  }

  // The words of the text so far: a text often comes back to its own words.
  if (context_text != s.line_context) {
    s.line_context.assign(context_text);
    s.line_words.clear();
    const std::wstring_view line =
        context_text.substr(context_text.size() > kLineTail ? context_text.size() - kLineTail : 0);
    for (std::size_t i = 0; i < line.size();) {
      if (!words::IsLetter(line[i]) || (i > 0 && words::IsLetter(line[i - 1]))) {
        ++i;
        continue;
      }
      const std::size_t end = words::WordEnd(line, i);
      s.line_words.push_back(LowerText(line.substr(i, end - i)));
      i = end;
    }
  }
  // A word seldom follows itself: the one just before is left out.
  for (std::size_t i = 0; i + 1 < s.line_words.size(); ++i) {
    const std::wstring& word = s.line_words[i];
    if (word.size() <= len || word == s.line_words.back() || !in_language(word) ||
        !match(FoldText(word), cost))
      continue;
    add(word, word, kNone, kNone);
    ++pool[pool_index[word]].in_line;
  }

  // The blend.
  const std::wstring w1_key = FoldText(ctx.w1);
  const std::uint32_t w1_ending = lex ? AgreementKey(w1_key) : 0;
  const double user_total = static_cast<double>(std::max<std::uint64_t>(s.learned_tokens, 1));
  // A word begun with a capital inside a sentence is a name.
  const bool name_begun = len > 0 && !ctx.sentence_start && words::IsUpper(ctx.prefix[0]);
  auto blend = [&](Candidate& c) {
    if (c.base == kNone && lex) c.base = lex->Find(c.lower);
    if (c.base != kNone && (!lex || LowerText(lex->Form(c.base)) != c.lower)) c.base = kNone;
    if (c.user == kNone) {
      if (auto it = s.learned_ids.find(c.lower); it != s.learned_ids.end()) c.user = it->second;
    }
    // A base word keeps the spelling the books or the packer gave it: a
    // capital the user gave a common word in a title ("the Phone Company")
    // does not make it a name. The subtitles know no case, so a word known
    // from them alone comes as the user writes it ("London", "NASA").
    if (c.base != kNone) {
      const std::wstring form = lex->Form(c.base);
      const bool cased = lex->Books(c.base) > 0 || form != c.lower;
      c.form = cased || c.user == kNone ? form : s.learned[c.user].form;
    }
    const std::wstring key = FoldText(c.lower);
    if (!match(key, cost)) {
      c.score = -std::numeric_limits<double>::infinity();
      return;
    }
    double base_word = c.base != kNone ? base_chance(c.base) : c.made;
    // The books list every pair above a count: a word the list lacks after
    // the word before followed it less often than that, however frequent
    // it is alone ("the" after "a").
    if (base_w1 != kNone && lex->PairFloor() > 0 && lex->Books(base_w1) > 0 &&
        (c.base == kNone || lex->PairChance(base_w1, c.base) == 0))
      base_word = std::min(base_word, static_cast<double>(lex->PairFloor() / lex->Books(base_w1)));
    const double user_word =
        c.user != kNone ? s.learned[c.user].count / (user_total + kLearnedPrior) : 0.0;
    // The books' endings weigh the books' words only: a word the user sent
    // comes first after one use, whatever its ending.
    if (w1_ending && key.size() >= kAgreeMin)
      base_word *= std::pow(lex->Agreement(w1_ending, EndingOf(key)), kAgreeWeight);
    double word = (1 - w.learned) * base_word + w.learned * user_word;
    if (!s.line_words.empty())
      word = (1 - kLineShare) * word +
             kLineShare * static_cast<double>(c.in_line) / static_cast<double>(s.line_words.size());
    double base_pair = 0, user_pair = 0, triple = 0;
    if (c.base != kNone && base_w1 != kNone) {
      base_pair = lex->PairChance(base_w1, c.base);
      if (base_w2 != kNone)
        for (const auto& t : lex->TriplesOf(base_w2, base_w1))
          if (t.c == c.base) triple = kScores.p[t.score];
    }
    if (c.user != kNone && user_w1 != kNone && s.learned[user_w1].count > 0) {
      const auto key_pair = (static_cast<std::uint64_t>(user_w1) << 32) | c.user;
      if (auto it = s.pair_slot.find(key_pair); it != s.pair_slot.end())
        user_pair = static_cast<double>(s.learned[user_w1].next[it->second].count) /
                    (s.learned[user_w1].count + kLearnedPairPrior);
    }
    const double pair = (1 - w.learned) * base_pair + w.learned * user_pair;
    const double chance = w.triple * triple + w.pair * pair + (1 - w.triple - w.pair) * word;
    c.score = chance > 0 ? std::log(chance) + cost : -std::numeric_limits<double>::infinity();
    // The words the user has sent come first after one use, among themselves
    // in their order: any word once three of its letters are typed; from
    // two, a word the lexicon lacks that is a name (a street, a contact:
    // written with a capital) or was sent twice, and a name the lexicon
    // knows as a word ("Anna") begun with a capital inside a sentence. At
    // two letters the blend otherwise knows better than one use which of
    // its many completions is meant.
    const LearnedWord* own = c.user != kNone ? &s.learned[c.user] : nullptr;
    if (own && cost == 0 && len >= 2) {
      const bool name = std::any_of(own->form.begin(), own->form.end(), words::IsUpper);
      if (len >= 3 || (c.base == kNone && (name || own->count >= 2)) ||
          (name_begun && words::IsUpper(own->form[0])))
        c.score += kOwnWordLift;
    }
  };
  for (Candidate& c : pool) blend(c);
  std::stable_sort(pool.begin(), pool.end(),
                   [](const Candidate& x, const Candidate& y) { return x.score > y.score; });

  // Forms the lists lack: a base word's ending exchanged for one that words
  // of the same stem take ("замысло" gives "замыслов").
  // They are rarer than any listed word, so they are looked for only where
  // the listed words leave a place.
  auto places_left = [&] {
    if (!lex) return false;
    const double made_best = std::log((1 - w.triple - w.pair) * (1 - w.learned) * lex->Floor());
    std::vector<std::wstring> shown;
    for (const Candidate& c : pool) {
      if (shown.size() >= count) return false;
      if (!(c.score > made_best)) return true;
      std::wstring word = InCase(c.form, ctx.prefix, ctx.sentence_start, shift);
      if (word == ctx.prefix ||
          std::find(s.passed.begin(), s.passed.end(), word) != s.passed.end() ||
          std::find(shown.begin(), shown.end(), word) != shown.end())
        continue;
      shown.push_back(std::move(word));
    }
    return shown.size() < count;
  };
  // A word typed whole that the lists hold or the user sent has its forms
  // listed, if it has any: the exchanges would only make words of the
  // wrong kind ("hello" giving "helloed", "книга" giving "книгаа").
  auto typed_known = [&] {
    const std::wstring lower = LowerText(ctx.prefix);
    return lex->Find(lower) != kNone || s.learned_ids.count(lower) > 0;
  };
  if (lex && lex->HasEndings() && len >= kMadeFrom && !typed_known() && places_left()) {
    pool_index.clear();
    for (std::size_t i = 0; i < pool.size(); ++i) pool_index[pool[i].lower] = i;
    // A made form: the first m letters of base word `word` and another ending.
    struct Made {
      double with_slips, chance;  // of reading the typed letters as the form, and of the form
      std::uint32_t word;
      std::uint32_t m;
      std::uint64_t ending;
    };
    std::vector<Made> made;
    const std::size_t shortest_stem = std::max(kStemMin, len > kEndMax ? len - kEndMax : 0);
    // Each stem: the base words under the first m typed characters (slips
    // included), those of them with a short ending, and each ending's
    // exchanges that still match the typed rest.
    auto exchange = [&](std::size_t m, std::size_t lo, std::size_t hi, float cost, int slips) {
      if (hi - lo > kMadeRange) return;
      for (std::size_t i = lo; i < hi; ++i) {
        const std::wstring_view k = lex->Key(i);
        if (k.size() > m + kEndMax) continue;
        for (const auto& e : lex->EndingsAfter(k.substr(m))) {
          const std::size_t n = static_cast<std::size_t>(e.to & 7);
          if (n + m < len) continue;
          float c = cost;
          int sl = slips;
          bool ok = true;
          for (std::size_t pos = m; pos < len && ok; ++pos) {
            const Option* hit = read(pos, Lexicon::EndingLetter(e.to, pos - m));
            if (!hit || (hit->slip && ++sl > max_slips))
              ok = false;
            else
              c += hit->cost;
          }
          if (!ok) continue;
          const double chance = base_chance(i) * e.chance;
          made.push_back({chance * std::exp(c), chance, static_cast<std::uint32_t>(i),
                          static_cast<std::uint32_t>(m), e.to});
        }
      }
    };
    auto stems = [&](auto& self, std::size_t lo, std::size_t hi, std::size_t depth, float cost,
                     int slips) -> void {
      if (depth >= shortest_stem) exchange(depth, lo, hi, cost, slips);
      if (depth == len) return;
      for (const Option& o : options[depth]) {
        if (o.slip && slips >= max_slips) continue;
        const auto [a, b] = Lexicon::LetterRange(lo, hi, depth, o.letter,
                                                 [&](std::size_t i) { return lex->Key(i); });
        if (a < b) self(self, a, b, depth + 1, cost + o.cost, slips + (o.slip ? 1 : 0));
      }
    };
    stems(stems, 0, lex->Size(), 0, 0.0f, 0);
    // The best first; the same form made twice counts once, at its best.
    std::sort(made.begin(), made.end(), [](const Made& x, const Made& y) {
      if (x.with_slips != y.with_slips) return x.with_slips > y.with_slips;
      return std::tie(x.word, x.m, x.ending) < std::tie(y.word, y.m, y.ending);
    });
    std::vector<std::wstring> forms;
    std::size_t added = 0;
    for (const Made& m : made) {
      if (added >= kPerSource) break;
      std::wstring form(lex->Key(m.word).substr(0, m.m));
      form += Lexicon::UnpackEnding(m.ending);
      if (std::find(forms.begin(), forms.end(), form) != forms.end()) continue;
      forms.push_back(form);
      const auto [lo, hi] = lex->KeyRange(form);
      if (lo != hi) continue;  // a listed word, scored as one
      add(form, form, kNone, kNone);
      ++added;
      Candidate& c = pool[pool_index[form]];
      c.made = std::min(m.chance * kMadeShare, static_cast<double>(lex->Floor()));
      blend(c);
    }
    std::stable_sort(pool.begin(), pool.end(),
                     [](const Candidate& x, const Candidate& y) { return x.score > y.score; });
  }

  std::vector<std::pair<double, std::wstring>> chosen;
  for (const Candidate& c : pool) {
    if (chosen.size() >= count || !std::isfinite(c.score)) break;
    std::wstring word = InCase(c.form, ctx.prefix, ctx.sentence_start, shift);
    // As shown: "The" passed over at a sentence's start still leaves "the".
    if (std::find(s.passed.begin(), s.passed.end(), word) != s.passed.end()) continue;
    if (word == ctx.prefix ||
        std::any_of(chosen.begin(), chosen.end(), [&](const auto& x) { return x.second == word; }))
      continue;
    s.offered.push_back(word);
    chosen.emplace_back(c.score, std::move(word));
  }
  std::vector<std::wstring> out;
  for (auto& c : chosen) out.push_back(std::move(c.second));

  // A word joined with a hyphen ("top-down") is seldom in the lexicon whole:
  // its last part is completed as a word of its own after the part before.
  const std::size_t joint = ctx.prefix.find_last_of(L'-');
  if (out.size() < count && joint != std::wstring_view::npos && joint > 0 &&
      joint + 1 < ctx.prefix.size()) {
    std::wstring split(context_text);
    split.append(ctx.prefix.substr(0, joint)).append(L" ").append(ctx.prefix.substr(joint + 1));
    std::wstring saved_context = std::move(s.offer_context),
                 saved_prefix = std::move(s.offer_prefix);
    std::vector<std::wstring> saved_offered = std::move(s.offered),
                              saved_passed = std::move(s.passed);
    const std::vector<std::wstring> parts = Suggest(split, at_start, count, shift);
    s.offer_context = std::move(saved_context);
    s.offer_prefix = std::move(saved_prefix);
    s.offered = std::move(saved_offered);
    s.passed = std::move(saved_passed);
    for (const std::wstring& part : parts) {
      if (out.size() >= count) break;
      std::wstring word(ctx.prefix.substr(0, joint + 1));
      word += part;
      if (word == ctx.prefix || std::find(out.begin(), out.end(), word) != out.end() ||
          std::find(s.passed.begin(), s.passed.end(), word) != s.passed.end())
        continue;
      s.offered.push_back(word);
      out.push_back(std::move(word));
    }
  }
  return out;
}

namespace {

// The lines of a text, parted by line breaks of any kind.
std::vector<std::wstring_view> Lines(std::wstring_view text) {
  std::vector<std::wstring_view> lines;
  for (std::size_t at = 0; at <= text.size();) {
    const std::size_t end = std::min(text.find_first_of(L"\r\n", at), text.size());
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

}  // namespace

void Predictor::Learn(std::wstring_view text) {
  State& s = *s_;
  // A notepad sends all its lines at every Enter, the one line written
  // before its first Enter included: of a text of several lines only the
  // lines the last text did not hold are new, so that a word written once
  // is learned once (a word sent twice comes first sooner). A text of one
  // line is learned whole: a chat line sent again was sent twice.
  std::wstring new_lines;
  const bool several = text.find_first_of(L"\r\n") != std::wstring_view::npos;
  if (several) {
    std::vector<std::wstring_view> old = Lines(s.last_sent);
    std::sort(old.begin(), old.end());
    for (const std::wstring_view line : Lines(text))
      if (!std::binary_search(old.begin(), old.end(), line))
        new_lines.append(line).push_back(L'\n');
  }
  s.last_sent.assign(text);
  if (several) text = new_lines;
  s.learned_ranges.clear();
  s.top_followers.clear();
  std::uint32_t prev = 0;
  bool sentence_start = true;
  for (std::size_t i = 0; i < text.size();) {
    if (!words::IsLetter(text[i])) {
      if (words::EndsSentence(text[i])) sentence_start = true;
      ++i;
      continue;
    }
    const std::size_t end = words::WordEnd(text, i);
    const std::uint32_t id = s.LearnWord(text.substr(i, end - i), sentence_start);
    const std::uint32_t from = sentence_start ? 0 : prev;
    if (from == 0) ++s.learned[0].count;
    const auto key = (static_cast<std::uint64_t>(from) << 32) | id;
    auto [slot, fresh] =
        s.pair_slot.try_emplace(key, static_cast<std::uint32_t>(s.learned[from].next.size()));
    if (fresh) s.learned[from].next.push_back({id, 0});
    ++s.learned[from].next[slot->second].count;
    prev = id;
    sentence_start = false;
    i = end;
  }
  s.offer_context.clear();
  s.passed.clear();
  s.offered.clear();
}

void Predictor::Forget() {
  State& s = *s_;
  s.learned.assign(1, LearnedWord{});
  s.learned_ids.clear();
  s.pair_slot.clear();
  s.learned_tokens = 0;
  s.by_key.clear();
  s.unsorted.clear();
  s.top.clear();
  s.learned_ranges.clear();
  s.top_followers.clear();
  s.offer_context.clear();
  s.passed.clear();
  s.offered.clear();
  s.last_sent.clear();
}

}  // namespace orv
