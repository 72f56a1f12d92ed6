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

  // Up to `count` words, best first, for the text before the insertion
  // point: completions of the word it ends in, or the likely next words
  // after a space or at the start. Words come in the case the word was begun
  // in and in the language of its letters; `at_start` is the language of a
  // word not yet begun (the current Lang). A word offered earlier for the
  // same word being typed and passed over is not offered again.
  std::vector<std::wstring> Suggest(std::wstring_view before_caret, Language at_start,
                                    std::size_t count = 4);

  // A text sent with Enter: its words and word pairs are learned at once.
  void Learn(std::wstring_view sent_text);
  // Clr History: everything learned is forgotten; the base lexicons stay.
  void Forget();

 private:
  struct State;
  std::unique_ptr<State> s_;
};

}  // namespace orv
