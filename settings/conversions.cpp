#include "settings/conversions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <limits>

namespace orv {

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Decimal digits gathered into a double. Only the first significant digits
// are kept and the exponent is clamped, so a line of ten million digits costs
// one pass and converts correctly rounded like a short one.
class DecimalDigits {
 public:
  void Add(wchar_t digit, bool after_point) {
    any_ = true;
    if (kept_.empty() && digit == L'0') {
      if (after_point) --exp10_;
      return;
    }
    if (kept_.size() < kKeep) {
      kept_ += static_cast<char>(digit);
      if (after_point) --exp10_;
    } else if (!after_point) {
      ++exp10_;
    }
  }
  bool Any() const { return any_; }
  // The value with its sign and a further power of ten.
  double Value(bool negative, long long exponent) const {
    if (kept_.empty()) return negative ? -0.0 : 0.0;
    const long long e = std::clamp(exp10_ + exponent, -kExpLimit, kExpLimit);
    // No decimal point in the text: strtod's locale cannot misread it.
    const std::string text = kept_ + "e" + std::to_string(e);
    const double v = std::strtod(text.c_str(), nullptr);
    return negative ? -v : v;
  }

 private:
  static constexpr std::size_t kKeep = 40;
  static constexpr long long kExpLimit = 100000;
  std::string kept_;
  long long exp10_ = 0;
  bool any_ = false;
};

// Adds one exponent digit without letting a long run of digits overflow.
void AddExponentDigit(long long& exponent, wchar_t digit) {
  exponent = std::min<long long>(exponent * 10 + (digit - L'0'), 1000000);
}

std::optional<double> Finite(double v) {
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

template <typename Int>
std::optional<Int> ToInt(double v) {
  if (!std::isfinite(v)) return std::nullopt;
  const double r = std::nearbyint(v);
  if (r < static_cast<double>(std::numeric_limits<Int>::min()) ||
      r > static_cast<double>(std::numeric_limits<Int>::max())) {
    return std::nullopt;
  }
  return static_cast<Int>(r);
}

// Lower case for the ASCII and Russian letters of the Boolean words.
wchar_t LowerLetter(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + 32);
  if (c >= 0x0410 && c <= 0x042F) return static_cast<wchar_t>(c + 0x20);
  return c;
}

bool SameWordIgnoringCase(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](wchar_t x, wchar_t y) { return LowerLetter(x) == LowerLetter(y); });
}

std::wstring_view TrimBlanks(std::wstring_view s) { return Trimmed(s, L" \t"); }

void AppendUtf8(std::string& out, std::uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendCodePoint(std::wstring& out, std::uint32_t c) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<wchar_t>(0xD800 + (c >> 10));
      out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
      return;
    }
  }
  out += static_cast<wchar_t>(c);
}

}  // namespace

std::wstring GetFieldValue(const std::wstring& line, const std::wstring& separator) {
  const auto at = separator.empty() ? std::wstring::npos : line.find(separator);
  if (at == std::wstring::npos) return line;
  return line.substr(at + separator.size());
}

std::optional<double> ParseNumber(std::wstring_view text, std::wstring_view decimal_separator) {
  const std::wstring_view s = TrimBlanks(text);
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) negative = s[i++] == L'-';
  DecimalDigits digits;
  for (; i < s.size() && IsDigit(s[i]); ++i) digits.Add(s[i], false);
  if (!decimal_separator.empty() && s.substr(i).starts_with(decimal_separator)) {
    for (i += decimal_separator.size(); i < s.size() && IsDigit(s[i]); ++i) digits.Add(s[i], true);
  }
  if (!digits.Any()) return std::nullopt;
  long long exponent = 0;
  if (i < s.size() && (s[i] == L'e' || s[i] == L'E')) {
    ++i;
    bool exp_negative = false;
    if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) exp_negative = s[i++] == L'-';
    if (i == s.size() || !IsDigit(s[i])) return std::nullopt;
    for (; i < s.size() && IsDigit(s[i]); ++i) AddExponentDigit(exponent, s[i]);
    if (exp_negative) exponent = -exponent;
  }
  if (i != s.size()) return std::nullopt;
  return Finite(digits.Value(negative, exponent));
}

namespace {

// The number a text starts with. With blanks_inside, blanks and line breaks
// are passed over anywhere before the exponent, as the settings file's old
// reader did; otherwise only leading blanks are, and the next one ends it.
std::optional<double> ReadLeadingNumber(std::wstring_view text, bool blanks_inside) {
  const std::wstring_view blanks = blanks_inside ? L" \t\n" : L" \t";
  std::size_t i = 0;
  auto skip = [&] {
    while (i < text.size() && blanks.find(text[i]) != std::wstring_view::npos) ++i;
  };
  skip();
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
    negative = text[i++] == L'-';
    if (blanks_inside) skip();
  }
  DecimalDigits digits;
  bool after_point = false;
  for (;;) {
    if (blanks_inside) skip();
    if (i >= text.size()) break;
    if (IsDigit(text[i])) {
      digits.Add(text[i++], after_point);
    } else if (text[i] == L'.' && !after_point) {
      after_point = true;
      ++i;
    } else {
      break;
    }
  }
  if (!digits.Any()) return 0.0;
  // An exponent without digits is no exponent.
  long long exponent = 0;
  if (i < text.size() &&
      (text[i] == L'e' || text[i] == L'E' || text[i] == L'd' || text[i] == L'D')) {
    std::size_t j = i + 1;
    bool exp_negative = false;
    if (j < text.size() && (text[j] == L'+' || text[j] == L'-')) exp_negative = text[j++] == L'-';
    for (; j < text.size() && IsDigit(text[j]); ++j) AddExponentDigit(exponent, text[j]);
    if (exp_negative) exponent = -exponent;
  }
  return Finite(digits.Value(negative, exponent));
}

}  // namespace

std::optional<double> NumberAtStart(std::wstring_view text) {
  return ReadLeadingNumber(text, true);
}

double LeadingNumber(const std::wstring& text) {
  return ReadLeadingNumber(text, false).value_or(0);
}

double SizeThroughNumberFormat(double size, std::wstring_view decimal_separator) {
  return NumberAtStart(FormatNumber(size, decimal_separator)).value_or(0);
}

std::wstring_view Trimmed(std::wstring_view s, std::wstring_view blanks) {
  const auto first = s.find_first_not_of(blanks);
  if (first == std::wstring_view::npos) return {};
  return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

bool IsBlankText(std::wstring_view s) { return Trimmed(s).empty(); }

bool IsNumeric(std::wstring_view text, std::wstring_view decimal_separator) {
  std::wstring_view s = Trimmed(text, L" \t");
  if (s.empty()) return false;

  // Hexadecimal and octal literals.
  if (s.size() > 2 && s[0] == L'&' && (s[1] == L'H' || s[1] == L'h')) {
    return std::all_of(s.begin() + 2, s.end(), [](wchar_t c) { return std::iswxdigit(c) != 0; });
  }
  if (s.size() > 2 && s[0] == L'&' && (s[1] == L'O' || s[1] == L'o')) {
    return std::all_of(s.begin() + 2, s.end(), [](wchar_t c) { return c >= L'0' && c <= L'7'; });
  }

  // One sign in front, behind, or parentheses around.
  if (s.front() == L'(' && s.back() == L')') {
    s = s.substr(1, s.size() - 2);
  } else if (s.front() == L'+' || s.front() == L'-') {
    s.remove_prefix(1);
  } else if (s.back() == L'+' || s.back() == L'-') {
    s.remove_suffix(1);
  }
  s = Trimmed(s, L" \t");
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
  return std::all_of(s.begin() + static_cast<std::ptrdiff_t>(i), s.end(), IsDigit);
}

std::optional<std::int16_t> ToInt16(double v) { return ToInt<std::int16_t>(v); }
std::optional<std::int32_t> ToInt32(double v) { return ToInt<std::int32_t>(v); }

std::wstring FormatNumber(double v, std::wstring_view decimal_separator) {
  wchar_t buf[64];
  std::swprintf(buf, 64, L"%.15g", v);
  std::wstring text = buf;
  if (auto dot = text.find(L'.'); dot != std::wstring::npos) {
    text.replace(dot, 1, decimal_separator);
  }
  return text;
}

std::optional<bool> ParseBoolean(std::wstring_view text, std::wstring_view decimal_separator) {
  const std::wstring_view s = TrimBlanks(text);
  if (SameWordIgnoringCase(s, L"True") || SameWordIgnoringCase(s, L"Истина")) return true;
  if (SameWordIgnoringCase(s, L"False") || SameWordIgnoringCase(s, L"Ложь")) return false;
  if (auto n = ParseNumber(s, decimal_separator)) return *n != 0;
  return std::nullopt;
}

std::string ToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t c = static_cast<std::uint32_t>(text[i]);
    if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
      const auto low = static_cast<std::uint32_t>(text[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (c > 0x10FFFF) c = 0xFFFD;
    AppendUtf8(out, c);
  }
  return out;
}

std::wstring FromUtf8(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    int extra = 0;
    std::uint32_t c = 0, min = 0;
    if (b0 < 0x80) {
      out += static_cast<wchar_t>(b0);
      ++i;
      continue;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
      extra = 1, c = b0 & 0x1F, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
      extra = 2, c = b0 & 0x0F, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
      extra = 3, c = b0 & 0x07, min = 0x10000;
    } else {
      out += L'\uFFFD';
      ++i;
      continue;
    }
    bool ok = i + static_cast<std::size_t>(extra) < bytes.size();
    for (int k = 1; ok && k <= extra; ++k) {
      const auto b = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
      if ((b & 0xC0) != 0x80)
        ok = false;
      else
        c = (c << 6) | (b & 0x3F);
    }
    if (!ok || c < min || c > 0x10FFFF) {
      out += L'\uFFFD';
      ++i;
      continue;
    }
    // Encoded surrogates come back as the code units they were written from.
    AppendCodePoint(out, c);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

}  // namespace orv
