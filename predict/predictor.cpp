// A stand-in until the real predictor lands: no lexicon, nothing offered
// beyond words learned from sent texts that begin with the typed prefix.
#include "predict/predictor.h"

#include <algorithm>
#include <cwctype>

namespace orv {

class Lexicon {};

std::shared_ptr<const Lexicon> UnpackLexicon(std::span<const std::uint8_t>) { return nullptr; }

struct Predictor::State {
  std::vector<std::wstring> learned;
};

Predictor::Predictor() : s_(std::make_unique<State>()) {}
Predictor::~Predictor() = default;
void Predictor::SetLexicon(Language, std::shared_ptr<const Lexicon>) {}
void Predictor::SetLayouts(const std::array<std::wstring, 4>&) {}

std::vector<std::wstring> Predictor::Suggest(std::wstring_view before_caret, Language,
                                             std::size_t count) {
  std::size_t start = before_caret.size();
  while (start > 0 && std::iswalpha(before_caret[start - 1])) --start;
  const std::wstring_view prefix = before_caret.substr(start);
  std::vector<std::wstring> out;
  for (const auto& w : s_->learned) {
    if (out.size() >= count) break;
    if (w.size() > prefix.size() && w.starts_with(prefix)) out.push_back(w);
  }
  return out;
}

void Predictor::Learn(std::wstring_view sent_text) {
  std::wstring word;
  for (wchar_t c : std::wstring(sent_text) + L" ") {
    if (std::iswalpha(c)) {
      word += c;
    } else if (!word.empty()) {
      if (std::find(s_->learned.begin(), s_->learned.end(), word) == s_->learned.end())
        s_->learned.push_back(word);
      word.clear();
    }
  }
}

void Predictor::Forget() { s_->learned.clear(); }

}  // namespace orv
