// The predictor's load and its use while the load may still run.
#include "app/suggestions.h"

#include <chrono>
#include <system_error>
#include <utility>

#include "predict/words.h"

namespace orv {

Language LanguageOfLayout(std::wstring_view layout) {
  int cyrillic = 0, latin = 0;
  for (wchar_t c : layout) {
    cyrillic += words::IsCyrillic(c) ? 1 : 0;
    latin += words::IsLatin(c) ? 1 : 0;
  }
  return cyrillic > latin ? Language::Russian : Language::English;
}

ShiftCase ShiftCaseOf(std::wstring_view shown_layout, bool shifted, bool locked) {
  if (!shifted) return ShiftCase::kOff;
  int capitals = 0, small = 0;
  for (wchar_t c : shown_layout) {
    if (!words::IsLetter(c)) continue;
    (words::IsUpper(c) ? capitals : small) += 1;
  }
  if (capitals <= small) return ShiftCase::kOff;
  return locked ? ShiftCase::kLocked : ShiftCase::kOnce;
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
  auto job = [&toolkit = toolkit_, &done = load_done_, ru, en,
              remembered = std::move(remembered_)]() mutable {
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
    // Freed here, so that the window's thread, once woken, waits for no more than the hand-over.
    std::vector<std::wstring>().swap(texts);
    done.store(true);
    toolkit.WorkerFinished();
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

std::vector<std::wstring> Suggestions::Suggest(std::wstring_view before_caret, Language at_start,
                                               ShiftCase shift) {
  Predictor* p = Ready();
  if (!p) {
    asked_unready_ = loading_.valid();
    return {};
  }
  return p->Suggest(before_caret, at_start, 4, shift);
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
