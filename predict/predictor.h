// Word suggestions: the words that complete the word at the insertion point,
// or the likely next words after a space, from a base lexicon per language
// and from what the user sends. The keyboard and the simulator
// (scripts/predict.sh) use this one class, so what the simulator measures is
// what the user gets.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

enum class Language : int { Russian = 0, English = 1 };

// One language's base words, pairs and triples: immutable once built, so a
// lexicon unpacked on a thread of its own is handed to the UI thread whole.
class Lexicon;

// Builds a lexicon from its packed form (resources/lexicon_*.bin); empty for
// data that is not a packed lexicon. Pure: callable from any thread.
std::shared_ptr<const Lexicon> UnpackLexicon(std::span<const std::uint8_t> packed);

// How the predictor weighs its sources; the defaults are what the keyboard
// uses. A word's chance is a blend: of the words before it (the book
// triples, then the pairs of the books and of what the user sent) and of the
// word alone (its share of the subtitles and of the books, of what the user
// sent, and a small share of the words earlier in the text being typed).
// The books' share of the word alone is weighed by how its ending goes with
// the ending of the word before, where that word has four letters or more,
// or with the preposition or pronoun before it.
// Slips multiply it by the chance of the slip.
struct PredictorWeights {
  float subtitles = 0.4f;  // share of the subtitles in a base word's chance
  float triple = 0.25f;    // weight of the two words before
  float pair = 0.35f;      // weight of the word before (the rest: the word alone)
  float learned = 0.35f;   // share of what the user sent, for words and pairs alike
  float slip = 0.01f;      // chance that a letter lands on a neighbouring key
};

// What Shift makes the keys type next: a word not yet begun is offered
// Capitalised under a Shift latched for one letter (or held), and any word
// in ALL CAPS under a Shift that works as Caps Lock.
enum class ShiftCase : int { kOff, kOnce, kLocked };

class Predictor {
 public:
  Predictor();
  ~Predictor();
  Predictor(const Predictor&) = delete;
  Predictor& operator=(const Predictor&) = delete;

  // The base lexicon of a language (null forgets it).
  void SetLexicon(Language lang, std::shared_ptr<const Lexicon> lexicon);
  // The four layouts on the keys (Lang1 Normal, Lang1 Shift, Lang2 Normal,
  // Lang2 Shift): where each letter stands, for weighing slips onto
  // neighbouring keys.
  void SetLayouts(const std::array<std::wstring, 4>& layouts);
  // Replaces the weights of the sources (for measuring other blends).
  void SetWeights(const PredictorWeights& weights);

  // Up to `count` words, best first, for the text before the insertion
  // point: completions of the word it ends in, or the likely next words
  // after a space or at the start. Words come in the case the word was begun
  // in and in the language of its letters; `at_start` is the language of a
  // word not yet begun (the current Lang), `shift` what Shift types next. A
  // word offered earlier for the same word being typed and passed over is
  // not offered again.
  std::vector<std::wstring> Suggest(std::wstring_view before_caret, Language at_start,
                                    std::size_t count = 4, ShiftCase shift = ShiftCase::kOff);

  // A text sent with Enter: its words and word pairs are learned at once.
  void Learn(std::wstring_view sent_text);
  // Clr History: everything learned is forgotten; the base lexicons stay.
  void Forget();

 private:
  struct State;
  std::unique_ptr<State> s_;
};

}  // namespace orv
