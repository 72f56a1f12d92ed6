// Letters and words as the predictor and its simulator see them: the same
// rules decide what a word is when a text is learned, when the word at the
// insertion point is completed, and when the simulator types a text.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "keys/layouts.h"
#include "predict/predictor.h"

namespace orv::words {

inline bool IsCyrillic(wchar_t c) { return c >= 0x400 && c <= 0x4FF; }

inline bool IsLatin(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') ||
         (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7);
}

inline bool IsLetter(wchar_t c) { return IsLatin(c) || (IsCyrillic(c) && c <= 0x45F); }

// Joins letters into one word when it stands between two of them:
// "don't", "что-то".
inline bool IsJoiner(wchar_t c) { return c == L'\'' || c == L'-' || c == 0x2019; }

inline wchar_t Lower(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + 32);
  if (c >= 0x410 && c <= 0x42F) return static_cast<wchar_t>(c + 32);
  if (c >= 0x400 && c <= 0x40F) return static_cast<wchar_t>(c + 80);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<wchar_t>(c + 32);
  if (c == 0x2019) return L'\'';
  return c;
}

inline wchar_t Upper(wchar_t c) {
  if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - 32);
  if (c >= 0x430 && c <= 0x44F) return static_cast<wchar_t>(c - 32);
  if (c >= 0x450 && c <= 0x45F) return static_cast<wchar_t>(c - 80);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<wchar_t>(c - 32);
  return c;
}

inline bool IsUpper(wchar_t c) { return IsLetter(c) && Lower(c) != c; }

// The form words are matched and sorted by: lower case, and yo as ye, since
// the keys have no yo and the lists write it either way.
inline wchar_t Fold(wchar_t c) {
  c = Lower(c);
  return c == 0x451 ? wchar_t{0x435} : c;
}

inline std::wstring LowerText(std::wstring_view s) {
  std::wstring out(s);
  for (auto& c : out) c = Lower(c);
  return out;
}

inline std::wstring FoldText(std::wstring_view s) {
  std::wstring out(s);
  for (auto& c : out) c = Fold(c);
  return out;
}

// The language of a word by the script of its first letter.
inline bool LanguageOf(std::wstring_view word, Language& lang) {
  for (wchar_t c : word) {
    if (IsCyrillic(c) && IsLetter(c)) {
      lang = Language::Russian;
      return true;
    }
    if (IsLatin(c)) {
      lang = Language::English;
      return true;
    }
  }
  return false;
}

// The end of the word that begins at `pos` (a letter): letters, and joiners
// that stand between letters.
inline std::size_t WordEnd(std::wstring_view text, std::size_t pos) {
  while (pos < text.size()) {
    if (IsLetter(text[pos])) {
      ++pos;
    } else if (IsJoiner(text[pos]) && pos + 1 < text.size() && IsLetter(text[pos + 1])) {
      pos += 2;
    } else {
      break;
    }
  }
  return pos;
}

// Punctuation that ends a sentence: the next word starts one. So does a line
// break in a multi-line field (after Enter in a notepad or a chat).
inline bool EndsSentence(wchar_t c) {
  return c == L'.' || c == L'!' || c == L'?' || c == 0x2026 || c == L'\n' || c == L'\r';
}

// Two character keys share an edge or a corner: their rectangles, grown
// across the gap between rows, meet.
inline bool KeysTouch(int a, int b) {
  constexpr int kRowGap = 120;
  const Rect x = CharKeyTwips(a), y = CharKeyTwips(b);
  return a != b && x.left < y.right && y.left < x.right && x.top - kRowGap < y.bottom + kRowGap &&
         y.top - kRowGap < x.bottom + kRowGap;
}

}  // namespace orv::words
