// What a touch of a suggested word does to the edit line: the word being
// typed becomes the word, followed by one space; punctuation typed straight
// after takes that space's place.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace orv {

// Letters and digits of any script the layouts hold, and the apostrophe and
// hyphen inside a word ("don't", "кто-то").
bool IsWordCharacter(wchar_t c);
// Punctuation that closes up to the word before it.
bool ClosesUp(wchar_t c);

// Where the word that ends at `caret` begins: its letters, the apostrophes
// and hyphens inside it, and a mark between two of its letters (a slip).
std::size_t WordStart(std::wstring_view line, std::size_t caret);

// A change of the line: [start, end) becomes `text`, and the insertion
// point then stands at `caret`.
struct LineSplice {
  std::size_t start = 0, end = 0;
  std::wstring text;
  std::size_t caret = 0;
};

// The word around `caret` (its letters on both sides) replaced by `word`
// and one space. A space that already follows the word is taken for it,
// so that a word completed in the middle of a text leaves no double space.
LineSplice CompleteWord(std::wstring_view line, std::size_t caret, std::wstring_view word);

}  // namespace orv
