// The simulated user of typing_simulator.h.
#include "predict/typing_simulator.h"

#include <algorithm>
#include <random>

#include "keys/layouts.h"
#include "keys/word_completion.h"
#include "predict/words.h"

namespace orv {

namespace {

// Where a slip of `intended` lands: a key beside it in the layout it is on.
wchar_t SlipOf(wchar_t intended, const std::array<std::wstring, 4>& layouts, std::mt19937& rng) {
  for (const auto& layout : layouts) {
    const auto at = layout.find(intended);
    if (at == std::wstring::npos || at >= static_cast<std::size_t>(kCharKeys)) continue;
    std::vector<wchar_t> beside;
    for (int j = 0; j < kCharKeys && j < static_cast<int>(layout.size()); ++j)
      if (words::KeysTouch(static_cast<int>(at), j) && layout[j] != intended)
        beside.push_back(layout[j]);
    if (!beside.empty()) return beside[rng() % beside.size()];
  }
  return intended;
}

}  // namespace

SimulationResult SimulateTyping(Predictor& predictor, const std::vector<std::wstring>& texts,
                                const SimulationOptions& options) {
  SimulationResult r;
  std::mt19937 rng(options.seed);
  const bool custom = std::any_of(options.layouts.begin(), options.layouts.end(),
                                  [](const std::wstring& l) { return !l.empty(); });
  const auto& layouts = custom ? options.layouts : kDefaultLayouts;
  if (custom) predictor.SetLayouts(layouts);
  Language lang = Language::English;
  for (const std::wstring& text : texts) {
    r.kn += text.size() + 1;
    std::wstring typed;
    bool auto_space = false;  // a space put in after a touched word
    for (std::size_t i = 0; i < text.size();) {
      const wchar_t ch = text[i];
      if (!words::IsLetter(ch)) {
        if (auto_space && ch == L' ') {
          auto_space = false;
          ++i;
          continue;
        }
        if (auto_space && ClosesUp(ch)) typed.pop_back();
        auto_space = false;
        typed += ch;
        ++r.ki;
        ++i;
        continue;
      }
      const std::size_t end = words::WordEnd(text, i);
      const std::wstring word = text.substr(i, end - i);
      words::LanguageOf(word, lang);
      ++r.words;
      const std::size_t start = typed.size();
      auto_space = false;
      bool taken = false;
      for (std::size_t j = 0; j <= word.size(); ++j) {
        const auto offered = predictor.Suggest(typed, lang, options.candidates);
        if (std::find(offered.begin(), offered.end(), word) != offered.end()) {
          // What the keyboard does with the touch, slips before it included.
          ++r.ks;
          const LineSplice splice = CompleteWord(typed, typed.size(), word);
          typed.replace(splice.start, splice.end - splice.start, splice.text);
          auto_space = taken = true;
          break;
        }
        if (j == word.size()) break;
        wchar_t key = word[j];
        if (options.slip > 0 && words::IsLetter(key) && rng() / 4294967296.0 < options.slip)
          key = SlipOf(key, layouts, rng);
        typed += key;
        ++r.ki;
      }
      const std::wstring meant = taken ? word + L" " : word;
      if (typed.compare(start, std::wstring::npos, meant) == 0) ++r.words_right;
      i = end;
    }
    ++r.ki;  // Enter
    predictor.Learn(typed);
    r.sent.push_back(std::move(typed));
  }
  return r;
}

}  // namespace orv
