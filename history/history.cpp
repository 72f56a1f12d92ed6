// The remembered texts and the drop-down list filtered by what is typed.
#include "history/history.h"

#include <memory>
#include <system_error>
#include <utility>

#include "settings/conversions.h"
#include "utility/failure_log.h"

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

// Lines past the budget that `used` characters leave are not taken.
History::Entries History::Make(User32& user32, std::vector<std::wstring> lines, std::size_t used) {
  Entries made;
  made.chars = used;
  made.items.reserve(lines.size());
  made.upper.reserve(lines.size());
  for (auto& line : lines) {
    if (line.size() > kMaxHistoryTextLength) continue;
    if (made.chars + line.size() > kMaxHistoryChars) break;
    made.chars += line.size();
    if (made.items.empty() || !made.items.back().empty()) {
      made.items.emplace_back();
      made.upper.emplace_back();
    }
    made.upper.back() = user32.CharUpperW(line);
    made.items.back() = std::move(line);
  }
  return made;
}

// The first loaded line takes the empty last place, as a line read in turn would.
void History::Append(Entries loaded) const {
  if (loaded.items.empty()) return;
  chars_ = loaded.chars;
  if (items_.back().empty()) {
    items_.pop_back();
    upper_.pop_back();
  }
  if (items_.empty()) {
    items_ = std::move(loaded.items);
    upper_ = std::move(loaded.upper);
    return;
  }
  items_.insert(items_.end(), std::make_move_iterator(loaded.items.begin()),
                std::make_move_iterator(loaded.items.end()));
  upper_.insert(upper_.end(), std::make_move_iterator(loaded.upper.begin()),
                std::make_move_iterator(loaded.upper.end()));
}

void History::LoadLater(std::function<std::vector<std::wstring>()> lines) {
  Settle();
  unstarted_ = std::move(lines);
}

// The entries stay where they are while the thread makes the new ones; only
// Settle, on the window's thread, puts them together (nothing changes them
// meanwhile: every use settles first).
// Where no thread can be had, the lines are made here and now.
void History::StartLoading() const {
  if (!unstarted_) return;
  auto lines = std::make_shared<std::function<std::vector<std::wstring>()>>(
      std::exchange(unstarted_, nullptr));
  auto run = [&user32 = p_.user32, &toolkit = p_.toolkit, lines, used = chars_] {
    toolkit.WorkerStarted();
    return Make(user32, (*lines)(), used);
  };
  try {
    loading_ = std::async(std::launch::async, run);
  } catch (const std::system_error&) {
    std::promise<Entries> here;
    try {
      here.set_value(run());
    } catch (...) {
      here.set_exception(std::current_exception());
    }
    loading_ = here.get_future();
  }
}

void History::Settle() const {
  StartLoading();
  if (!loading_.valid()) return;
  try {
    Append(loading_.get());
  } catch (...) {
    LogCurrentFailure(L"Reading the remembered texts");
  }
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
