// The remembered texts (HistoryItems), newest first, and the drop-down list
// filtered by what is typed.
#pragma once
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
  const std::vector<std::wstring>& Items() const { return items_; }

  // Adds a text as the newest entry; false for a blank text, a number or a
  // text of several lines, which are not kept.
  bool Add(const std::wstring& text);
  // Forgets everything: one hole.
  void Clear();
  // Takes the settings file's history lines, oldest last. A blank line
  // holds the empty last place until the next line takes it.
  void Load(std::vector<std::wstring> lines);

  // Fills the drop-down with every entry, then gives it `line` as its text.
  void ListAll(ComboBox& combo, const std::wstring& line) const;
  // Fills the drop-down with the entries that contain the (non-blank) line,
  // case ignored, and keeps the line.
  void ListMatching(ComboBox& combo, const std::wstring& line) const;

 private:
  void AppendHole();

  Ports& p_;
  std::vector<std::wstring> items_;
  // Each entry in upper case, kept in step, so that a key touch compares
  // without upper-casing every remembered text again.
  std::vector<std::wstring> upper_;
};

}  // namespace orv
