// The predictor's load and its use while the load may still run.
#include "app/suggestions.h"

#include <chrono>
#include <system_error>
#include <utility>

namespace orv {

namespace {
bool IsCyrillic(wchar_t c) { return c >= 0x0400 && c <= 0x04FF; }
bool IsLatin(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= 0x00C0 && c <= 0x024F);
}
}  // namespace

Language LanguageOfLayout(std::wstring_view layout) {
  int cyrillic = 0, latin = 0;
  for (wchar_t c : layout) {
    cyrillic += IsCyrillic(c) ? 1 : 0;
    latin += IsLatin(c) ? 1 : 0;
  }
  return cyrillic > latin ? Language::Russian : Language::English;
}

Suggestions::~Suggestions() {
  if (loading_.valid()) loading_.wait();
}

void Suggestions::LearnLater(std::future<std::vector<std::wstring>> remembered) {
  remembered_ = std::move(remembered);
}

// The lexicons stay in the program's image; only what is unpacked from
// them is the predictor's own. A missing resource unpacks to nothing and
// the predictor offers what it learns.
void Suggestions::StartLoading() {
  if (std::exchange(started_, true)) return;
  const std::span<const std::uint8_t> ru = toolkit_.ResourceData(L"LEXICON_RU");
  const std::span<const std::uint8_t> en = toolkit_.ResourceData(L"LEXICON_EN");
  auto job = [&toolkit = toolkit_, ru, en, remembered = std::move(remembered_)]() mutable {
    toolkit.WorkerStarted();
    auto predictor = std::make_unique<Predictor>();
    predictor->SetLexicon(Language::Russian, UnpackLexicon(ru));
    predictor->SetLexicon(Language::English, UnpackLexicon(en));
    std::vector<std::wstring> texts;
    try {
      if (remembered.valid()) texts = remembered.get();
    } catch (const std::future_error&) {
      // The history's load never ran: nothing was remembered.
    }
    // Oldest first, so that the newest texts are the freshest learned.
    for (auto it = texts.rbegin(); it != texts.rend(); ++it) {
      if (!it->empty()) predictor->Learn(*it);
    }
    return predictor;
  };
  try {
    loading_ = std::async(std::launch::async, std::move(job));
  } catch (const std::system_error&) {
    predictor_ = job();
  }
}

void Suggestions::WaitLoaded() {
  if (loading_.valid()) loading_.wait();
  Ready();
}

Predictor* Suggestions::Ready() {
  if (!predictor_ && loading_.valid() &&
      loading_.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
    predictor_ = loading_.get();
    if (std::exchange(forget_when_ready_, false)) predictor_->Forget();
    for (const auto& text : learned_meanwhile_) predictor_->Learn(text);
    learned_meanwhile_.clear();
    if (layouts_) predictor_->SetLayouts(*layouts_);
  }
  return predictor_.get();
}

std::vector<std::wstring> Suggestions::Suggest(std::wstring_view before_caret, Language at_start) {
  Predictor* p = Ready();
  if (!p) {
    asked_unready_ = loading_.valid();
    return {};
  }
  return p->Suggest(before_caret, at_start, 4);
}

bool Suggestions::CameSinceAsked() {
  if (!asked_unready_ || !Ready()) return false;
  asked_unready_ = false;
  return true;
}

void Suggestions::Learn(const std::wstring& sent_text) {
  if (Predictor* p = Ready())
    p->Learn(sent_text);
  else
    learned_meanwhile_.push_back(sent_text);
}

void Suggestions::Forget() {
  learned_meanwhile_.clear();
  if (Predictor* p = Ready())
    p->Forget();
  else
    forget_when_ready_ = true;
}

void Suggestions::SetLayouts(const std::array<std::wstring, 4>& layouts) {
  if (layouts_ == layouts) return;
  layouts_ = layouts;
  if (Predictor* p = Ready()) p->SetLayouts(layouts);
}

}  // namespace orv
