// A simulated user who types texts through the predictor, the measure of
// how many touches the suggestions save (scripts/predict.sh).
//
// Rules: every text costs its characters plus one Enter without
// suggestions (kn). Before each letter of a word the suggestions for what has
// been typed are shown; when the intended word is among them, spelled
// exactly as in the text (case included), the user touches it: one touch
// (ks), the word and a space go in, and a space that follows in the text is
// then free (punctuation takes the space's place). Every other character is
// typed (ki), and so is Enter. A text is learned only once it has been sent.
// With slips, each letter typed lands on a neighbouring key of its layout
// with the given chance; the user never goes back, and takes the intended
// word whenever it is offered.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "predict/predictor.h"

namespace orv {

struct SimulationOptions {
  std::size_t candidates = 4;
  double slip = 0;                      // chance of a letter on a neighbouring key
  std::uint32_t seed = 1;               // of the slips
  std::array<std::wstring, 4> layouts;  // empty: the default layouts
};

struct SimulationResult {
  std::uint64_t ki = 0, ks = 0, kn = 0;
  std::uint64_t words = 0, words_right = 0;  // words of the texts, and those that arrived as meant
  std::vector<std::wstring> sent;            // the texts as they arrived
  double Ksr() const { return kn ? 100.0 * (1.0 - static_cast<double>(ki + ks) / kn) : 0.0; }
  double WordsRight() const { return words ? 100.0 * words_right / words : 100.0; }
};

SimulationResult SimulateTyping(Predictor& predictor, const std::vector<std::wstring>& texts,
                                const SimulationOptions& options);

}  // namespace orv
