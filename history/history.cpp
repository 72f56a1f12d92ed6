// The remembered texts and the drop-down list filtered by what is typed.
#include "history/history.h"

#include <memory>
#include <system_error>
#include <utility>

#include "settings/conversions.h"

namespace orv {

// An older copy, compared without case, leaves a hole where it stood.
bool History::Add(const std::wstring& text) {
  Settle();
  const std::wstring_view trimmed = Trimmed(text);
  if (trimmed.empty()) return false;
  // A text of several lines (a multi-line field's) is not remembered: the
  // file keeps one text a line, and the one-line edit line could not show it.
  if (text.find_first_of(L"\r\n") != std::wstring::npos) return false;
  if (text.size() > kMaxHistoryTextLength) return false;
  if (IsNumeric(trimmed, p_.kernel32.GetDecimalSeparator())) return false;
  std::wstring upper = p_.user32.CharUpperW(text);
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (!items_[i].empty() && items_[i].size() == text.size() && upper_[i] == upper) {
      chars_ -= items_[i].size();
      items_[i].clear();
      upper_[i].clear();
    }
  }
  items_.insert(items_.begin(), text);
  upper_.insert(upper_.begin(), std::move(upper));
  chars_ += text.size();
  while (chars_ > kMaxHistoryChars && items_.size() > 1) {
    chars_ -= items_.back().size();
    items_.pop_back();
    upper_.pop_back();
  }
  return true;
}

void History::Clear() {
  Settle();
  items_.assign(1, std::wstring());
  upper_.assign(1, std::wstring());
  chars_ = 0;
}

void History::Append(User32& user32, Entries& to, std::vector<std::wstring> lines) {
  to.items.reserve(to.items.size() + lines.size() + 1);
  to.upper.reserve(to.items.size() + lines.size() + 1);
  if (to.items.empty()) {
    to.items.emplace_back();
    to.upper.emplace_back();
  }
  for (auto& line : lines) {
    if (line.size() > kMaxHistoryTextLength) continue;
    if (to.chars + line.size() > kMaxHistoryChars) break;
    to.chars += line.size();
    if (!to.items.back().empty()) {
      to.items.emplace_back();
      to.upper.emplace_back();
    }
    to.upper.back() = user32.CharUpperW(line);
    to.items.back() = std::move(line);
  }
}

void History::LoadLater(std::function<std::vector<std::wstring>()> lines) {
  Settle();
  unstarted_ = std::move(lines);
}

// Nothing else reads or writes the entries until Settle takes them back.
// Where no thread can be had, the lines are made here and now.
void History::StartLoading() const {
  if (!unstarted_) return;
  struct Job {
    User32& user32;
    std::function<std::vector<std::wstring>()> lines;
    Entries entries;
  };
  auto job = std::make_shared<Job>(
      Job{p_.user32, std::exchange(unstarted_, nullptr),
          {std::move(items_), std::move(upper_), chars_}});
  auto run = [job] {
    Append(job->user32, job->entries, job->lines());
    return std::move(job->entries);
  };
  try {
    loading_ = std::async(std::launch::async, run);
  } catch (const std::system_error&) {
    Take(run());
  }
}

void History::Settle() const {
  StartLoading();
  if (loading_.valid()) Take(loading_.get());
}

void History::Take(Entries e) const {
  items_ = std::move(e.items);
  upper_ = std::move(e.upper);
  chars_ = e.chars;
}

// The list is made only when it is read (the drop-down opens): a key
// touch costs the same with a long history as with a short one.
void History::ListAll(ComboBox& combo, const std::wstring& line) const {
  combo.Clear();
  combo.SetListSource([this](std::vector<std::wstring>& list) {
    for (const auto& item : Items()) {
      if (!item.empty()) list.push_back(item);
    }
  });
  combo.SetText(line);
}

// A line longer than any remembered text matches none, and is not
// upper-cased at every key.
void History::ListMatching(ComboBox& combo, const std::wstring& line) const {
  combo.Clear();
  const bool may_match = line.size() <= kMaxHistoryTextLength;
  combo.SetListSource([this, needle = may_match ? p_.user32.CharUpperW(line) : std::wstring(),
                       size = line.size(), may_match](std::vector<std::wstring>& list) {
    if (!may_match) return;
    Settle();
    for (std::size_t i = 0; i < items_.size(); ++i) {
      if (items_[i].size() < size) continue;
      if (upper_[i].find(needle) != std::wstring::npos) list.push_back(items_[i]);
    }
  });
  combo.SetText(line);
}

}  // namespace orv
