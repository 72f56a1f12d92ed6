// The remembered texts (HistoryItems), newest first, and the drop-down list
// filtered by what is typed.
#pragma once
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "controls/controls.h"
#include "platform/ports.h"

namespace orv {

// Longer texts (a pasted document) are not remembered: picking one costs
// about what a key costs only while it is short, and the drop-down and the
// upper-case copy hold each remembered text again.
inline constexpr std::size_t kMaxHistoryTextLength = 1024;
// All remembered texts together, in characters; beyond it the oldest are
// forgotten, so that the history's memory and the settings file stay
// bounded (a file over its own cap would not be read at all).
inline constexpr std::size_t kMaxHistoryChars = std::size_t{4} << 20;

class History {
 public:
  explicit History(Ports& ports) : p_(ports) { Clear(); }

  // HistoryItems: an entry whose text was remembered again is left as an
  // empty hole where it stood, so that the list keeps its order.
  const std::vector<std::wstring>& Items() const {
    Settle();
    return items_;
  }

  // Adds a text as the newest entry; false for a blank text, a number, a
  // text of several lines or one over kMaxHistoryTextLength, which are not
  // kept. The oldest entries go once all together pass kMaxHistoryChars.
  bool Add(const std::wstring& text);
  // Forgets everything: one hole.
  void Clear();
  // Takes the settings file's history lines, oldest last, as far as
  // kMaxHistoryChars allows; a line that Add would not keep is passed over,
  // and a blank line holds the empty last place until the next line takes
  // it. `lines` makes them, and they are upper-cased, on a thread of their own started by
  // StartLoading, so that a long history holds back neither the window's
  // start nor its thread. That thread touches what it owns and, of what it
  // shares, only the port methods callable from any thread (CharUpperW,
  // FromAnsi): `lines` must keep to the same. The first use of the history
  // waits for them, starting them if need be. A load that fails adds
  // nothing, keeps what the history held, and leaves a line in the log.
  void LoadLater(std::function<std::vector<std::wstring>()> lines);
  // Starting does not change what the history holds: callable on a const one.
  void StartLoading() const;

  // Fills the drop-down with every entry, then gives it `line` as its text.
  void ListAll(ComboBox& combo, const std::wstring& line) const;
  // Fills the drop-down with the entries that contain the (non-blank) line,
  // case ignored, and keeps the line.
  void ListMatching(ComboBox& combo, const std::wstring& line) const;

 private:
  struct Entries {
    std::vector<std::wstring> items, upper;
    std::size_t chars = 0;
  };
  // The entries the lines make, upper-cased, with `used` characters already
  // remembered; on the loader's thread.
  static Entries Make(User32& user32, std::vector<std::wstring> lines, std::size_t used);
  // Appends the loaded entries by LoadLater's rule.
  void Append(Entries loaded) const;
  // Takes what a load in the background made, once it is done.
  void Settle() const;

  Ports& p_;
  // Mutable for Settle alone: the entries a reader sees never change under it.
  mutable std::vector<std::wstring> items_;
  // Each entry in upper case, kept in step, so that a key touch compares
  // without upper-casing every remembered text again.
  mutable std::vector<std::wstring> upper_;
  mutable std::size_t chars_ = 0;
  mutable std::function<std::vector<std::wstring>()> unstarted_;
  mutable std::future<Entries> loading_;
};

}  // namespace orv
