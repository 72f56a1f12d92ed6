// The remembered texts and the drop-down list filtered by what is typed.
#include <cwctype>

#include "app/frmKbd.h"
#include "history/numeric.h"

namespace orv {

namespace {

std::wstring Trimmed(const std::wstring& s) {
  const auto first = s.find_first_not_of(L' ');
  if (first == std::wstring::npos) return {};
  const auto last = s.find_last_not_of(L' ');
  return s.substr(first, last - first + 1);
}

}  // namespace

// Adds a text as the newest entry. Blank texts and numbers are not kept; an
// older copy (compared without case) leaves a hole where it stood.
void FrmKbd::AddStringToHistory(const std::wstring& text) {
  const std::wstring trimmed = Trimmed(text);
  if (trimmed.empty()) return;
  if (IsNumeric(trimmed, p_.kernel32.GetDecimalSeparator())) return;
  const std::wstring upper = p_.user32.CharUpperW(text);
  for (auto& item : HistoryItems) {
    if (!item.empty() && item.size() == text.size() && p_.user32.CharUpperW(item) == upper) {
      item.clear();
    }
  }
  HistoryItems.insert(HistoryItems.begin(), text);
}

// The history in upper case, made again only when the history changed, so
// a key touch does not upper-case every remembered text.
const std::vector<std::wstring>& FrmKbd::UpperHistory() {
  if (upper_history_of_ != HistoryItems) {
    upper_history_of_ = HistoryItems;
    upper_history_.clear();
    upper_history_.reserve(HistoryItems.size());
    for (const auto& item : HistoryItems) upper_history_.push_back(p_.user32.CharUpperW(item));
  }
  return upper_history_;
}

// Rebuilds the drop-down list: the whole history for a blank line, else the
// entries that contain the line, newest first. The line itself is kept.
void FrmKbd::FillComboHistory() {
  const std::wstring s = cmbText.Text();
  if (Trimmed(s).empty()) {
    cmbText.Clear();
    for (const auto& item : HistoryItems) {
      if (!item.empty()) cmbText.AddItem(item);
    }
    cmbText.SetText(L"");
    // The clear raised nothing, so tell the target that its blank line is
    // now empty: the field always holds what the edit line shows.
    if (!s.empty()) cmbText_Change();
    return;
  }
  const std::wstring needle = p_.user32.CharUpperW(s);
  const auto& upper = UpperHistory();
  cmbText.Clear();
  for (std::size_t i = 0; i < HistoryItems.size(); ++i) {
    const auto& item = HistoryItems[i];
    if (item.size() < s.size()) continue;
    if (upper[i].find(needle) != std::wstring::npos) cmbText.AddItem(item);
  }
  cmbText.SetText(s);
}

}  // namespace orv
