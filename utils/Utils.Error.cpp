#include "utils/Utils.Error.h"

#include <iostream>
#include <sstream>
#include <vector>

#include "utils/Utils.CodingStr.h"
#include "utils/Utils.ErrorTables.h"
#include "utils/Utils.ThreadState.h"

namespace Utils::Error {
namespace {

constexpr int kAnsiCodePage = 0;
constexpr std::size_t kMessageBufferSize = 2048;

// The narrow reports carry their Russian titles as code page 1251 bytes.
template <class C> struct Literal;
template <> struct Literal<wchar_t> {
  static std::wstring Of(const wchar_t* text) { return text; }
};
template <> struct Literal<char> {
  static std::string Of(const wchar_t* text) { return Tables::To1251(text); }
};

template <class C>
bool Contains(const std::basic_string<C>& text, const wchar_t* ascii) {
  std::basic_string<C> needle;
  for (; *ascii; ++ascii) needle.push_back(static_cast<C>(*ascii));
  return text.find(needle) != std::basic_string<C>::npos;
}

struct Kind {
  bool hasParens;
  bool isFunction;
  bool isDetected;
  bool isWarning;
  bool isOperator;
};

template <class C> Kind Classify(const std::basic_string<C>& h) {
  Kind kind{};
  kind.hasParens = Contains(h, L"(") && Contains(h, L")");
  kind.isFunction = Contains(h, L"()") || Contains(h, L"[f]") || Contains(h, L"[F]");
  kind.isDetected = Contains(h, L"[d]") || Contains(h, L"[D]");
  kind.isWarning = Contains(h, L"[w]") || Contains(h, L"[W]");
  kind.isOperator = Contains(h, L"(o)") || Contains(h, L"(O)") ||
                    Contains(h, L"[o]") || Contains(h, L"[O]");
  return kind;
}

// Removes the bracket group of tags; brackets written "[]" in a signature
// (array parameters) and everything before them stay.
template <class C> void RemoveTags(std::basic_string<C>& h) {
  using S = std::basic_string<C>;
  const C emptyPair[] = {C('['), C(']'), C(0)};
  const std::size_t pair = h.rfind(emptyPair);
  const std::size_t from = pair == S::npos ? 0 : pair + 2;
  const std::size_t open = h.find(C('['), from);
  if (open == S::npos) return;
  const std::size_t close = h.rfind(C(']'));
  if (close == S::npos || close < open) return;
  h.erase(open, close - open + 1);
}

template <class C>
void InsertClosingMark(std::basic_string<C>& h, bool hasParens) {
  using S = std::basic_string<C>;
  const S mark = Literal<C>::Of(hasParens ? L"\"!" : L"()\"!");
  const std::size_t file = h.rfind(Literal<C>::Of(L"File: \""));
  if (file == S::npos) {
    h += mark;
    return;
  }
  h.insert(file >= 2 ? file - 2 : 0, mark);
}

template <class C> std::basic_string<C> Title(const Kind& k) {
  if (k.isFunction) {
    if (k.isDetected) return Literal<C>::Of(L"Обнаружена ошибка функцией \"");
    if (k.isWarning) return Literal<C>::Of(L"Предупреждение функции \"");
    return Literal<C>::Of(L"Ошибка в функции \"");
  }
  const wchar_t* kind = k.isOperator ? L"оператор" : L"метод";
  std::wstring title;
  if (k.isDetected)
    title = std::wstring(L"Обнаружена ошибка ") + kind + L"ом \"";
  else if (k.isWarning)
    title = std::wstring(L"Предупреждение ") + kind + L"а \"";
  else
    title = std::wstring(L"Ошибка в ") + kind + L"е \"";
  return Literal<C>::Of(title.c_str());
}

template <class C>
std::basic_string<C> Compose(std::basic_string<C> h,
                             const std::basic_string<C>& message,
                             const std::basic_string<C>& description) {
  const Kind kind = Classify(h);
  RemoveTags(h);
  InsertClosingMark(h, kind.hasParens);
  std::basic_string<C> report = Title<C>(kind) + h;
  const C lf = C('\n');
  report += description;
  if (!message.empty()) {
    if (description.empty()) report += lf;
    report += message;
    report += lf;
  }
  return report;
}

template <class C> struct System;
template <> struct System<wchar_t> {
  static std::wstring Text(DWORD code) {
    std::vector<wchar_t> buffer(kMessageBufferSize, L'\0');
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, buffer.data(),
                   static_cast<DWORD>(buffer.size() - 1), nullptr);
    return buffer.data();
  }
  static std::wstring Number(DWORD code) { return std::to_wstring(code); }
};
template <> struct System<char> {
  static std::string Text(DWORD code) {
    std::vector<char> buffer(kMessageBufferSize, '\0');
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, buffer.data(),
                   static_cast<DWORD>(buffer.size() - 1), nullptr);
    return buffer.data();
  }
  static std::string Number(DWORD code) { return std::to_string(code); }
};

template <class C> std::basic_string<C> SystemText(DWORD code) {
  const C lf = C('\n');
  std::basic_string<C> text(1, lf);
  text += Literal<C>::Of(L"Last Error: ") + System<C>::Number(code);
  text += C('.');
  text += lf;
  text += System<C>::Text(code);
  text += lf;
  return text;
}

constexpr long kInternetFirst = 12001;
constexpr long kInternetLast = 12175;

bool IsInternetCode(long code) {
  return code >= kInternetFirst && code <= kInternetLast;
}

// -1 stands for the thread's last error; any other value is the code itself,
// and then the last error is not even read.
long CodeOrLastError(LONG value) {
  return value == -1 ? static_cast<long>(GetLastError()) : value;
}

// WinINet's codes have no system text that FormatMessage could reach.
std::wstring DescribeCodeW(long code) {
  if (IsInternetCode(code)) return InternetW(code);
  return SystemTextW(static_cast<DWORD>(code));
}

std::string DescribeCodeA(long code) {
  if (IsInternetCode(code)) return InternetA(code);
  return SystemTextA(static_cast<DWORD>(code));
}

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

}  // namespace

std::string HeaderA(const Site& site) {
  std::ostringstream header;
  header << site.signature << site.tags << "\r\n"
         << "File: \"" << site.file << "\"\r\nLine: " << site.line << "\r\n";
  return header.str();
}

std::wstring HeaderW(const Site& site) {
  return CodingStr::AnsiToUnicode(HeaderA(site), kAnsiCodePage);
}

std::wstring ReportW(std::wstring header, const std::wstring& message,
                     const bool withLastError) {
  const std::wstring description = DescriptionW<bool>(withLastError);
  return Compose(std::move(header), message, description);
}

std::string ReportA(std::string header, const std::string& message) {
  return Compose(std::move(header), message, std::string());
}

std::wstring SystemTextW(DWORD code) { return SystemText<wchar_t>(code); }
std::string SystemTextA(DWORD code) { return SystemText<char>(code); }

template <> std::wstring DescriptionW<bool>(bool withLastError) {
  if (!withLastError) return std::wstring();
  return DescribeCodeW(static_cast<long>(GetLastError()));
}

template <> std::string DescriptionA<bool>(bool withLastError) {
  if (!withLastError) return std::string();
  return DescribeCodeA(static_cast<long>(GetLastError()));
}

template <> std::wstring DescriptionW<LONG>(LONG value) {
  return DescribeCodeW(CodeOrLastError(value));
}

template <> std::string DescriptionA<LONG>(LONG value) {
  return DescribeCodeA(CodeOrLastError(value));
}

// Always the value given: fetching the code would tie the library to
// comdlg32.dll, and 0xFFFF is a real common-dialog code, not "ask Windows".
template <> std::wstring DescriptionW<WORD>(WORD code) {
  return CommonDialogW(code);
}

template <> std::string DescriptionA<WORD>(WORD code) {
  return CommonDialogA(code);
}

template <> std::wstring DescriptionW<INT>(INT code) {
  if (code == kShellLastError)
    Warn(SF_SITE(kDescriptionWSignature, ""),
         kWideCaption, kNoShellLastError);
  return ShellW(code);
}

template <> std::string DescriptionA<INT>(INT code) {
  if (code == kShellLastError)
    Warn(SF_SITE(kDescriptionASignature, ""),
         kNarrowCaption, kNoShellLastError);
  return ShellA(code);
}

namespace Detail {

void WarnUnexpectedTypeW() {
  Warn(SF_SITE(kDescriptionWSignature, ""), kWideCaption, kUnexpectedType);
}

void WarnUnexpectedTypeA() {
  Warn(SF_SITE(kDescriptionASignature, ""), kNarrowCaption, kUnexpectedType);
}

}  // namespace Detail

namespace {

using MessageBoxTimeoutWFn = int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT, WORD, DWORD);
using MessageBoxTimeoutAFn = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT, WORD, DWORD);

// Only a User32.dll already in the process is used, and no reference is
// taken, so nothing has to be freed afterwards.
HMODULE LoadedUser32(const wchar_t* function) {
  SetLastError(0);
  HMODULE user32 = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          L"User32.dll", &user32) ||
      user32 == nullptr) {
    const DWORD code = GetLastError();
    throw std::wstring(L"Ошибка в функции \"") + function + L"()\".\n" +
        L"Не получен системный дескриптор модуля \"User32.dll\".\n" +
        L"Последняя ошибка: " + std::to_wstring(code) + L"\n";
  }
  return user32;
}

template <class Fn> Fn Resolve(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Kept before the box, so a box that cannot be shown still leaves the
// report to the caller.
bool KeptAndBoxed(const std::wstring& report) {
  ThreadState::KeepReport(report);
  return !ThreadState::Quiet();
}

}  // namespace

void ShowW(const wchar_t* text, const wchar_t* caption, const UINT style,
           const DWORD timeout) {
  HMODULE user32 = LoadedUser32(L"MessageBoxTimeoutW");
  auto show = Resolve<MessageBoxTimeoutWFn>(user32, "MessageBoxTimeoutW");
  if (show == nullptr) return;
  show(nullptr, text, caption, style, 0, timeout);
}

void ShowA(const char* text, const char* caption) {
  HMODULE user32 = LoadedUser32(L"MessageBoxTimeoutA");
  auto show = Resolve<MessageBoxTimeoutAFn>(user32, "MessageBoxTimeoutA");
  if (show == nullptr) return;
  show(nullptr, text, caption, kStyleError, 0, 0);
}

void Deliver(const std::wstring& report, const wchar_t* caption, const UINT style) {
  if (KeptAndBoxed(report)) ShowW(report.c_str(), caption, style, 0);
}

void Deliver(const std::string& report, const char* caption) {
  if (KeptAndBoxed(CodingStr::AnsiToUnicode(report, kAnsiCodePage)))
    ShowA(report.c_str(), caption);
}

void Warn(const Site& site, const wchar_t* caption, const std::wstring& message) {
  // A warning shown while a report is being composed must not change the
  // last error that the report goes on to describe.
  const DWORD code = GetLastError();
  std::ostringstream location;
  location << "File: \"" << site.file << "\"\r\nLine: " << site.line << "\r\n";
  const std::wstring text =
      CodingStr::AnsiToUnicode(site.signature, kAnsiCodePage) + L"\r\n" +
      CodingStr::AnsiToUnicode(location.str(), kAnsiCodePage) + L"\r\n" +
      message;
  Deliver(text, caption, kStyleInformation);
  SetLastError(code);
}

void Echo(const std::wstring& report, const bool lineEnd) {
  // A stream left failed by an earlier unprintable text would swallow
  // every later report.
  std::wcout.clear();
  std::wcout << report;
  if (lineEnd) std::wcout << L'\n';
  std::wcout.flush();
}

std::wstring ReportAt(const Site& site, const std::wstring& message,
                     const bool withLastError) {
  // Building the header converts text, which resets the last error.
  const DWORD code = GetLastError();
  std::wstring header = HeaderW(site);
  SetLastError(code);
  return ReportW(std::move(header), message, withLastError);
}

void Raise(const Site& site, const std::wstring& message,
           const bool withLastError) {
  throw ReportAt(site, message, withLastError);
}

void RaiseEchoed(const Site& site, const std::wstring& message,
                 const bool withLastError) {
  const std::wstring report = ReportAt(site, message, withLastError);
  Echo(report);
  throw report;
}

}  // namespace Utils::Error
