// Kept for the contract, reached by no export: the typed descriptions of a
// Windows code, a common-dialog code and a shell result, and the warnings
// of the description routines. The library's own reports describe the
// thread's last error (the bool form) and shell results through ShellW.
#include "utils/errors/Utils.Error.h"

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

// -1 stands for the thread's last error; any other value is the code itself,
// and then the last error is not even read.
DWORD CodeOrLastError(LONG value) { return value == -1 ? GetLastError() : static_cast<DWORD>(value); }

}  // namespace

template <> std::wstring DescriptionW<LONG>(LONG value) { return CodeW(CodeOrLastError(value)); }
template <> std::string DescriptionA<LONG>(LONG value) { return CodeA(CodeOrLastError(value)); }

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
