#pragma once
// Conversion between the narrow text of a Windows code page and UTF-16.
#include <string>

namespace Utils::CodingStr {

// The system's ANSI code page: every narrow text the library takes or
// hands out is in it.
constexpr int kAnsiCodePage = 0;

// Both raise a failure when Windows refuses the conversion.
// Text after an embedded NUL is not converted.
std::wstring AnsiToUnicode(const std::string& text, const int codePage);
std::string UnicodeToAnsi(const std::wstring& text, const int codePage);

}  // namespace Utils::CodingStr
