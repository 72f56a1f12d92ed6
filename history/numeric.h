// The locale-aware test for texts that read as numbers.
#pragma once
#include <string>

namespace orv {

// True for texts such as 123, -4,5 (with a decimal comma), 1E3, (7), 5-,
// &H1F or 1 000: what the system's numeric test accepts.
bool IsNumeric(const std::wstring& text, const std::wstring& decimal_separator);

}  // namespace orv
