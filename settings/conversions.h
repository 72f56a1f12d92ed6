// Numbers, Booleans and text as the program reads and writes them: in the
// settings file, the registry values, the history's test for numbers and the
// window commands' parameters. The readers take whatever a hand-edited file
// or another program left there without ever failing hard.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

// The text after the first separator, or the whole line when there is none.
std::wstring GetFieldValue(const std::wstring& line, const std::wstring& separator);

// A whole text read as one number in the user's format: blanks around, a
// sign, digits with the user's decimal separator, an exponent. Anything else,
// and numbers too large for a double, give no value.
std::optional<double> ParseNumber(std::wstring_view text, std::wstring_view decimal_separator);

// The number a text starts with, reading a point as the decimal separator
// and skipping blanks; 0 when it starts with none, no value when it is too
// large for a double.
std::optional<double> NumberAtStart(std::wstring_view text);

// The longest leading decimal number of a text (point as separator, optional
// sign and exponent, no blanks inside); 0 when the text does not start with
// one or it is too large for a double.
double LeadingNumber(const std::wstring& text);

// True for texts such as 123, -4,5 (with a decimal comma), 1E3, (7), 5-,
// &H1F or 1 000: what the system's numeric test accepts.
bool IsNumeric(std::wstring_view text, std::wstring_view decimal_separator);

// The text without the blanks at either end (spaces, as the system's Trim).
std::wstring_view Trimmed(std::wstring_view s, std::wstring_view blanks = L" ");
// Empty or spaces only.
bool IsBlankText(std::wstring_view s);

// Rounded to the nearest whole number (a half to the even neighbour); no
// value when it does not fit.
std::optional<std::int16_t> ToInt16(double v);
std::optional<std::int32_t> ToInt32(double v);

// The shortest decimal form of v, with the user's decimal separator.
std::wstring FormatNumber(double v, std::wstring_view decimal_separator);

// A number as the system's number format writes it, then read back by a
// reader that knows only the decimal point: under a decimal comma the
// fraction of a font size is lost, as it always was in the settings file.
double SizeThroughNumberFormat(double size, std::wstring_view decimal_separator);

// "True" and "False" in any case (also the Russian forms), or a number,
// where 0 is false.
std::optional<bool> ParseBoolean(std::wstring_view text, std::wstring_view decimal_separator);

// UTF-8 both ways. Lone surrogates survive the round trip; bytes that are
// not UTF-8 read as U+FFFD, one for each.
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view bytes);

}  // namespace orv
