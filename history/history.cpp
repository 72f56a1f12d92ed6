// The remembered texts and the drop-down list filtered by what is typed.
#include "history/history.h"

#include "settings/conversions.h"

namespace orv {

// An older copy, compared without case, leaves a hole where it stood.
bool History::Add(const std::wstring& text) {
  const std::wstring_view trimmed = Trimmed(text);
  if (trimmed.empty()) return false;
  // A text of several lines (a multi-line field's) is not remembered: the
  // file keeps one text a line, and the one-line edit line could not show it.
  if (text.find_first_of(L"\r\n") != std::wstring::npos) return false;
  if (IsNumeric(trimmed, p_.kernel32.GetDecimalSeparator())) return false;
  std::wstring upper = p_.user32.CharUpperW(text);
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (!items_[i].empty() && items_[i].size() == text.size() && upper_[i] == upper) {
      items_[i].clear();
      upper_[i].clear();
    }
  }
  items_.insert(items_.begin(), text);
  upper_.insert(upper_.begin(), std::move(upper));
  return true;
}

void History::Clear() {
  items_.assign(1, std::wstring());
  upper_.assign(1, std::wstring());
}

void History::Load(std::vector<std::wstring> lines) {
  if (items_.empty()) AppendHole();
  for (auto& line : lines) {
    if (!items_.back().empty()) AppendHole();
    upper_.back() = p_.user32.CharUpperW(line);
    items_.back() = std::move(line);
  }
}

void History::AppendHole() {
  items_.emplace_back();
  upper_.emplace_back();
}

// The list is made only when it is read (the drop-down opens): a key
// touch costs the same with a long history as with a short one.
void History::ListAll(ComboBox& combo, const std::wstring& line) const {
  combo.Clear();
  combo.SetListSource([this](std::vector<std::wstring>& list) {
    for (const auto& item : items_) {
      if (!item.empty()) list.push_back(item);
    }
  });
  combo.SetText(line);
}

void History::ListMatching(ComboBox& combo, const std::wstring& line) const {
  combo.Clear();
  combo.SetListSource([this, needle = p_.user32.CharUpperW(line),
                       size = line.size()](std::vector<std::wstring>& list) {
    for (std::size_t i = 0; i < items_.size(); ++i) {
      if (items_[i].size() < size) continue;
      if (upper_[i].find(needle) != std::wstring::npos) list.push_back(items_[i]);
    }
  });
  combo.SetText(line);
}

}  // namespace orv
