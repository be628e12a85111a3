#include "utils/text/Utils.CodingStr.h"

#include <windows.h>

#include "utils/runtime/Utils.Failure.h"

namespace Utils::CodingStr {
namespace {

constexpr char kAnsiToUnicodeSignature[] =
    "class std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > __cdecl Utils::CodingStr::AnsiToUnicode(const "
    "class std::basic_string<char,struct std::char_traits<char>,class "
    "std::allocator<char> > &,const int)";
constexpr char kUnicodeToAnsiSignature[] =
    "class std::basic_string<char,struct std::char_traits<char>,class "
    "std::allocator<char> > __cdecl Utils::CodingStr::UnicodeToAnsi(const "
    "class std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &,const int)";

// A refused conversion has a report layout of its own, which the report
// composition (itself a user of these conversions) builds without them.
[[noreturn]] void Fail(const char* signature, const wchar_t* message) {
  throw Error::Failure::Conversion(SF_SITE(signature, Error::kMethod), message);
}

}  // namespace

std::wstring AnsiToUnicode(const std::string& text, const int codePage) {
  SetLastError(0);
  if (text.empty()) return std::wstring();
  const int count = MultiByteToWideChar(static_cast<UINT>(codePage), 0,
                                        text.c_str(), -1, nullptr, 0);
  if (count == 0) Fail(kAnsiToUnicodeSignature, L"В строке отсутствуют символы.");
  std::wstring result(static_cast<std::size_t>(count - 1), L'\0');
  // The terminating NUL lands on the string's own terminator.
  if (MultiByteToWideChar(static_cast<UINT>(codePage), 0, text.c_str(), -1,
                          result.data(), count) == 0)
    Fail(kAnsiToUnicodeSignature, L"Строка не преобразована.");
  return result;
}

std::string UnicodeToAnsi(const std::wstring& text, const int codePage) {
  SetLastError(0);
  if (text.empty()) return std::string();
  const UINT page = static_cast<UINT>(codePage);
  // Best fit would turn "\uFF3C" into "\\" and "\uFF0E\uFF0E" into "..", so that a
  // name handed back names some other entry; without it a character the
  // code page lacks becomes its default character. Code pages that take no
  // flags (UTF-8 among them) have no best fit to refuse.
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  int count = WideCharToMultiByte(page, flags, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (count == 0 && GetLastError() == ERROR_INVALID_FLAGS) {
    flags = 0;
    SetLastError(0);
    count = WideCharToMultiByte(page, flags, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  }
  if (count == 0) Fail(kUnicodeToAnsiSignature, L"В строке отсутствуют символы.");
  std::string result(static_cast<std::size_t>(count - 1), '\0');
  if (WideCharToMultiByte(page, flags, text.c_str(), -1, result.data(), count, nullptr,
                          nullptr) == 0)
    Fail(kUnicodeToAnsiSignature, L"Строка не преобразована.");
  return result;
}

}  // namespace Utils::CodingStr
