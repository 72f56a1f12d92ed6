// Completing a word in the edit line.
#include "keys/word_completion.h"

#include <algorithm>
#include <cwctype>

namespace orv {

bool IsWordCharacter(wchar_t c) {
  if ((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9')) return true;
  if (c == L'\'' || c == L'-' || c == L'\u2019') return true;
  // Cyrillic, and the accented Latin letters; other scripts by the C library.
  if (c >= 0x0400 && c <= 0x052F) return true;
  if (c >= 0x00C0 && c <= 0x024F) return c != 0x00D7 && c != 0x00F7;
  return c > 0x7F && std::iswalpha(static_cast<std::wint_t>(c));
}

bool ClosesUp(wchar_t c) {
  return std::wstring_view(L".,!?;:)»…").find(c) != std::wstring_view::npos;
}

namespace {

bool IsJoiner(wchar_t c) { return c == L'\'' || c == L'-' || c == L'\u2019'; }
bool IsLetter(wchar_t c) { return IsWordCharacter(c) && !IsJoiner(c) && !(c >= L'0' && c <= L'9'); }

// The marks whose keys stand beside letters on the layouts.
bool SlipMark(wchar_t c) { return std::wstring_view(L".,;/\\[]=<>`").find(c) != std::wstring_view::npos; }

}  // namespace

std::size_t WordStart(std::wstring_view line, std::size_t caret) {
  caret = std::min(caret, line.size());
  std::size_t start = caret;
  for (;;) {
    while (start > 0 && IsWordCharacter(line[start - 1])) --start;
    // Nobody types a mark between two letters on purpose: the finger
    // slipped off a letter's key ("wor.d"), and the word goes on through it.
    if (start >= 2 && start < caret && SlipMark(line[start - 1]) && IsLetter(line[start - 2]) &&
        IsLetter(line[start])) {
      --start;
      continue;
    }
    break;
  }
  // An apostrophe or hyphen stands inside a word, never at its start.
  while (start < caret && IsJoiner(line[start])) ++start;
  return start;
}

LineSplice CompleteWord(std::wstring_view line, std::size_t caret, std::wstring_view word) {
  caret = std::min(caret, line.size());
  std::size_t start = WordStart(line, caret), end = caret;
  while (end < line.size() && IsWordCharacter(line[end])) ++end;
  LineSplice s{start, end, std::wstring(word), start + word.size() + 1};
  if (end < line.size() && line[end] == L' ') return s;
  s.text += L' ';
  return s;
}

}  // namespace orv
