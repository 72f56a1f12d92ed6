#include "history/numeric.h"

#include <cwctype>

namespace orv {

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

}  // namespace

bool IsNumeric(const std::wstring& text, const std::wstring& decimal_separator) {
  std::wstring s = text;
  auto trim = [&s] {
    const auto first = s.find_first_not_of(L" \t");
    if (first == std::wstring::npos) {
      s.clear();
      return;
    }
    s = s.substr(first, s.find_last_not_of(L" \t") - first + 1);
  };
  trim();
  if (s.empty()) return false;

  // Hexadecimal and octal literals.
  if (s.size() > 2 && s[0] == L'&' && (s[1] == L'H' || s[1] == L'h')) {
    for (std::size_t i = 2; i < s.size(); ++i) {
      if (!std::iswxdigit(s[i])) return false;
    }
    return true;
  }
  if (s.size() > 2 && s[0] == L'&' && (s[1] == L'O' || s[1] == L'o')) {
    for (std::size_t i = 2; i < s.size(); ++i) {
      if (s[i] < L'0' || s[i] > L'7') return false;
    }
    return true;
  }

  // One sign in front, behind, or parentheses around.
  if (s.front() == L'(' && s.back() == L')') {
    s = s.substr(1, s.size() - 2);
  } else if (s.front() == L'+' || s.front() == L'-') {
    s.erase(0, 1);
  } else if (s.back() == L'+' || s.back() == L'-') {
    s.pop_back();
  }
  trim();
  if (s.empty()) return false;

  const wchar_t dec = decimal_separator.empty() ? L'.' : decimal_separator[0];
  std::size_t i = 0;
  bool digits = false;
  bool point = false;
  for (; i < s.size(); ++i) {
    const wchar_t c = s[i];
    if (IsDigit(c)) {
      digits = true;
    } else if (c == dec && !point) {
      point = true;
    } else if (!point && digits && (c == L' ' || c == 0xA0 || (c == L',' && dec != L','))) {
      // Thousands separators between digits.
      if (i + 1 >= s.size() || !IsDigit(s[i + 1])) return false;
    } else {
      break;
    }
  }
  if (!digits) return false;
  if (i == s.size()) return true;
  // Exponent: E or D, optional sign, at least one digit.
  if (s[i] != L'E' && s[i] != L'e' && s[i] != L'D' && s[i] != L'd') return false;
  ++i;
  if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) ++i;
  if (i >= s.size()) return false;
  for (; i < s.size(); ++i) {
    if (!IsDigit(s[i])) return false;
  }
  return true;
}

}  // namespace orv
