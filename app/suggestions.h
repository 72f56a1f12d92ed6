// The word suggestions' predictor, from start-up on: its lexicons are
// unpacked and the texts remembered before this run are learned on a thread
// of their own, after the keyboard is on screen. Until that is done nothing
// is offered, and what is learned or forgotten meanwhile waits its turn, so
// that a key touch never waits for it.
#pragma once
#include <array>
#include <atomic>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/toolkit.h"
#include "predict/predictor.h"

namespace orv {

// The language a layout types: Russian when it holds more Cyrillic letters
// than Latin ones, else English. The layouts are the user's to edit, so
// their letters say more than their places.
Language LanguageOfLayout(std::wstring_view layout);

// What Shift makes the keys type next, for the words offered: nothing
// unless the layout on the keys is shifted and mostly capitals (as the
// shifted layouts come; the user may have made them otherwise), then a
// capital for one letter, or for every letter where Shift is locked as
// Caps Lock.
ShiftCase ShiftCaseOf(std::wstring_view shown_layout, bool shifted, bool locked);

class Suggestions {
 public:
  explicit Suggestions(Toolkit& toolkit) : toolkit_(toolkit) {}
  ~Suggestions();
  Suggestions(const Suggestions&) = delete;
  Suggestions& operator=(const Suggestions&) = delete;

  // The texts remembered before this run, as the history's own load makes
  // them (newest first); learned once they come.
  void LearnLater(std::future<std::vector<std::wstring>> remembered);
  // Starts the load, once; the built-in lexicons are taken where they are.
  void StartLoading();
  bool Started() const { return started_; }
  // Waits until the predictor is ready (for tests and benchmarks).
  void WaitLoaded();
  // True once the load is past its work and only hands the predictor over
  // (it then calls Toolkit::WorkerFinished): WaitLoaded takes no time.
  bool LoadDone() const { return load_done_.load(); }

  // Up to four words for the text before the insertion point; none until
  // the predictor is ready.
  std::vector<std::wstring> Suggest(std::wstring_view before_caret, Language at_start,
                                    ShiftCase shift = ShiftCase::kOff);
  // True once when the predictor has become ready since words were asked
  // for without it: the words on show are then asked for again.
  bool CameSinceAsked();
  void Learn(const std::wstring& sent_text);
  void Forget();
  void SetLayouts(const std::array<std::wstring, 4>& layouts);

 private:
  // The predictor, once its load is done; null before.
  Predictor* Ready();

  Toolkit& toolkit_;
  bool started_ = false;
  bool asked_unready_ = false;
  std::atomic<bool> load_done_{false};
  std::unique_ptr<Predictor> predictor_;
  std::future<std::unique_ptr<Predictor>> loading_;
  std::future<std::vector<std::wstring>> remembered_;
  // What came while the predictor was loading, applied in order when it is
  // taken: a Forget drops what was learned before it, the remembered texts
  // included.
  bool forget_when_ready_ = false;
  std::vector<std::wstring> learned_meanwhile_;
  std::optional<std::array<std::wstring, 4>> layouts_;
};

}  // namespace orv
