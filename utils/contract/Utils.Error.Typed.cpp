// Kept for the contract, reached by no export: the typed descriptions of an
// error value, the narrow texts, and the warnings of the description
// routines. The library's own reports describe a failure's code and shell
// results through Utils.Error.h.
#include "utils/contract/Utils.Error.Typed.h"

#include "utils/errors/Utils.Error.h"
#include "utils/text/Utils.CodingStr.h"

namespace Utils::Error {
namespace {

// Every warning of the descriptions names these two routines.
constexpr char kDescriptionWSignature[] =
    "class std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > __cdecl Utils::Error::DescriptionW<bool>(bool)";
constexpr char kDescriptionASignature[] =
    "class std::basic_string<char,struct std::char_traits<char>,class "
    "std::allocator<char> > __cdecl Utils::Error::DescriptionA<bool>(bool)";
constexpr wchar_t kWideCaption[] = L"Utils::Error::DescriptionW";
constexpr wchar_t kNarrowCaption[] = L"Utils::Error::DescriptionA";
constexpr wchar_t kUnexpectedType[] =
    L"Непредусмотренный тип данных ошибки. Тип может быть LONG или WORD или INT.";
constexpr wchar_t kNoShellLastError[] =
    L"Для функций библиотеки \"Shell32.dll\" не предусмотренно автоматическое "
    L"получение кода ошибки.";
constexpr INT kShellLastError = -1;
constexpr long kInternetFirst = 12001;
constexpr long kInternetLast = 12175;

// -1 stands for the thread's last error; any other value is the code itself,
// and then the last error is not even read.
DWORD CodeOrLastError(LONG value) { return value == -1 ? GetLastError() : static_cast<DWORD>(value); }

// WinINet's codes have no system text that FormatMessage could reach.
bool IsInternetCode(DWORD code) {
  const long value = static_cast<long>(code);
  return value >= kInternetFirst && value <= kInternetLast;
}

std::wstring DescribedW(DWORD code) {
  return IsInternetCode(code) ? InternetW(static_cast<long>(code)) : SystemTextW(code);
}

std::string DescribedA(DWORD code) {
  return IsInternetCode(code) ? InternetA(static_cast<long>(code)) : SystemTextA(code);
}

}  // namespace

std::string SystemTextA(DWORD code) {
  return CodingStr::UnicodeToAnsi(SystemTextW(code), CodingStr::kAnsiCodePage);
}

std::string ShellA(int code) {
  if (const Tables::Row* row = Tables::Shell().Find(code))
    return CodingStr::UnicodeToAnsi(Tables::ShellRow(*row), Tables::kCyrillicCodePage);
  return SystemTextA(static_cast<DWORD>(code));
}

template <> std::wstring DescriptionW<bool>(bool withLastError) {
  return withLastError ? DescribedW(GetLastError()) : std::wstring();
}

template <> std::string DescriptionA<bool>(bool withLastError) {
  return withLastError ? DescribedA(GetLastError()) : std::string();
}

template <> std::wstring DescriptionW<LONG>(LONG value) { return DescribedW(CodeOrLastError(value)); }
template <> std::string DescriptionA<LONG>(LONG value) { return DescribedA(CodeOrLastError(value)); }

// Always the value given: fetching the code would tie the library to
// comdlg32.dll, and 0xFFFF is a real common-dialog code, not "ask Windows".
template <> std::wstring DescriptionW<WORD>(WORD code) { return CommonDialogW(code); }
template <> std::string DescriptionA<WORD>(WORD code) { return CommonDialogA(code); }

template <> std::wstring DescriptionW<INT>(INT code) {
  if (code == kShellLastError) Warn(SF_SITE(kDescriptionWSignature, kMethod), kWideCaption, kNoShellLastError);
  return ShellW(code);
}

template <> std::string DescriptionA<INT>(INT code) {
  if (code == kShellLastError) Warn(SF_SITE(kDescriptionASignature, kMethod), kNarrowCaption, kNoShellLastError);
  return ShellA(code);
}

namespace Detail {

void WarnUnexpectedTypeW() { Warn(SF_SITE(kDescriptionWSignature, kMethod), kWideCaption, kUnexpectedType); }
void WarnUnexpectedTypeA() { Warn(SF_SITE(kDescriptionASignature, kMethod), kNarrowCaption, kUnexpectedType); }

}  // namespace Detail
}  // namespace Utils::Error
