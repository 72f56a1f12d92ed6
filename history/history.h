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

class History {
 public:
  explicit History(Ports& ports) : p_(ports) { Clear(); }

  // HistoryItems: an entry whose text was remembered again is left as an
  // empty hole where it stood, so that the list keeps its order.
  const std::vector<std::wstring>& Items() const {
    Settle();
    return items_;
  }

  // Adds a text as the newest entry; false for a blank text, a number or a
  // text of several lines, which are not kept.
  bool Add(const std::wstring& text);
  // Forgets everything: one hole.
  void Clear();
  // Takes the settings file's history lines, oldest last; a blank line
  // holds the empty last place until the next line takes it. `lines` makes
  // them, and they are upper-cased, on a thread of their own started by
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
  };
  // The entries the lines make, upper-cased; on the loader's thread.
  static Entries Make(User32& user32, std::vector<std::wstring> lines);
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
  mutable std::function<std::vector<std::wstring>()> unstarted_;
  mutable std::future<Entries> loading_;
};

}  // namespace orv
