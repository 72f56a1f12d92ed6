// The smallest change that turns one text into another: the span of the old
// text that differs, and what replaces it. A key touch into a long field then
// sends a character, not the whole field.
#pragma once
#include <cstddef>
#include <string_view>

namespace orv {

struct TextChange {
  std::size_t start = 0;       // where the old and the new text first differ
  std::size_t old_end = 0;     // the end of the differing span in the old text
  std::wstring_view inserted;  // what the new text has in its place
  bool Empty() const { return start == old_end && inserted.empty(); }
};

// The span never splits a surrogate pair or a line break: a field counts
// either as one.
inline TextChange ChangeBetween(std::wstring_view before, std::wstring_view after) {
  auto splits = [](std::wstring_view s, std::size_t at) {
    if (at == 0 || at >= s.size()) return false;
    const wchar_t a = s[at - 1], b = s[at];
    return (a >= 0xD800 && a <= 0xDBFF) || (a == L'\r' && b == L'\n');
  };
  std::size_t prefix = 0;
  const std::size_t shorter = before.size() < after.size() ? before.size() : after.size();
  while (prefix < shorter && before[prefix] == after[prefix]) ++prefix;
  while (prefix > 0 && (splits(before, prefix) || splits(after, prefix))) --prefix;
  std::size_t suffix = 0;
  while (suffix < shorter - prefix &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
    ++suffix;
  }
  while (suffix > 0 &&
         (splits(before, before.size() - suffix) || splits(after, after.size() - suffix))) {
    --suffix;
  }
  return {prefix, before.size() - suffix, after.substr(prefix, after.size() - suffix - prefix)};
}

}  // namespace orv
