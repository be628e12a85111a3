#pragma once
// Failure reports: where a failure is raised from, what it carries, how its
// report is composed, described, shown and delivered.
#include <windows.h>

#include <string>

namespace Utils::Error {

// What the raiser is and what it found, as the report's title names it: a
// free function or a method (an operator among methods), an error detected
// by a check or one inside the raiser, a warning.
enum Tag : unsigned { kMethod = 0, kFunction = 1, kDetected = 2, kWarning = 4, kOperator = 8 };

// Where a report is raised from: the raiser's full signature text, its
// tags, and its source location.
struct Site {
  const char* signature;
  unsigned tags;
  const char* file;
  int line;
};

// The report header: the signature with its tags written after it ("[f]",
// "[d]", ...), CR LF and the "File:"/"Line:" block.
std::string HeaderA(const Site& site);
std::wstring HeaderW(const Site& site);

// Compose a finished report from a header text and a message; the title is
// chosen by the tags found in the header. The wide form adds the
// description of the thread's last error when asked to.
std::wstring ReportW(std::wstring header, const std::wstring& message, const bool withLastError);
std::string ReportA(std::string header, const std::string& message);

// A raised failure: its kind (the site's tags), its site, its message and
// the Win32 code it describes, as data. Its report is composed from them
// when it is delivered, in the layout ReportW gives. A few reports have a
// layout of their own (the range checks') and arrive composed.
class Failure {
 public:
  // describeLastError: the thread's last error now is the code described.
  Failure(const Site& site, std::wstring message, bool describeLastError);
  static Failure Composed(const Site& site, std::wstring text);

  const Site& Where() const { return site_; }
  const std::wstring& Message() const { return message_; }
  bool Described() const { return described_; }
  DWORD Code() const { return code_; }
  std::wstring Text() const;

 private:
  Failure() = default;
  Site site_{};
  std::wstring message_;
  bool described_ = false;
  DWORD code_ = 0;
  bool composed_ = false;  // message_ is the finished report
};

// Description of an error value; the value's type says where the code comes
// from (bool: the thread's last error; LONG: a Windows code, -1 for the last
// error; WORD: a common-dialog code; INT: a shell file-operation result).
template <class T> std::wstring DescriptionW(T value);
template <class T> std::string DescriptionA(T value);
template <> std::wstring DescriptionW<bool>(bool withLastError);
template <> std::string DescriptionA<bool>(bool withLastError);
template <> std::wstring DescriptionW<LONG>(LONG code);
template <> std::string DescriptionA<LONG>(LONG code);
template <> std::wstring DescriptionW<WORD>(WORD code);
template <> std::string DescriptionA<WORD>(WORD code);
template <> std::wstring DescriptionW<INT>(INT code);
template <> std::string DescriptionA<INT>(INT code);

// The description of one Windows code: WinINet's from its table, any
// other the system text.
std::wstring CodeW(DWORD code);
std::string CodeA(DWORD code);

// "\nLast Error: <code>.\n<system text>\n" for any code.
std::wstring SystemTextW(DWORD code);
std::string SystemTextA(DWORD code);

// Library-own texts of WinINet, shell file-operation and common-dialog codes;
// codes without a row get the system text.
std::wstring InternetW(const long code);
std::string InternetA(const long code);
std::wstring ShellW(int code);
std::string ShellA(int code);
std::wstring CommonDialogW(WORD code);
std::string CommonDialogA(WORD code);

// Show a text in a message box through MessageBoxTimeoutW/A of the already
// loaded User32.dll. Throws a wide report when User32.dll is not loaded.
void ShowW(const wchar_t* text, const wchar_t* caption, const UINT style, const DWORD timeout);
void ShowA(const char* text, const char* caption);

// The one way a report or a warning reaches the caller: kept as the calling
// thread's last report (Utils.ThreadState.h), then shown in a box unless the
// thread is quiet. A narrow report is kept as the ANSI code page reads it,
// which is how its box shows it.
void Deliver(const std::wstring& report, const wchar_t* caption, const UINT style);
void Deliver(const std::string& report, const char* caption);

// Delivers a warning that is not raised: signature, location and message.
// The thread's last error is left as it was.
void Warn(const Site& site, const wchar_t* caption, const std::wstring& message);

// Writes a report, and a line end when asked, to the standard wide output.
void Echo(const std::wstring& report, const bool lineEnd = true);

// The one way to raise a report: the failure of the site thrown by value.
// The thread's last error at the call is what is described.
[[noreturn]] void Raise(const Site& site, const std::wstring& message, const bool withLastError);

// As Raise, after writing the report to the standard wide output.
[[noreturn]] void RaiseEchoed(const Site& site, const std::wstring& message,
                              const bool withLastError);

constexpr UINT kStyleError = 0x50010;
constexpr UINT kStyleInformation = 0x52040;

namespace Detail {

// The warning of a description asked for a type that carries no error code.
void WarnUnexpectedTypeW();
void WarnUnexpectedTypeA();

}  // namespace Detail

// Types other than those specialised above carry no error code.
template <class T> std::wstring DescriptionW(T) {
  Detail::WarnUnexpectedTypeW();
  return std::wstring();
}

template <class T> std::string DescriptionA(T) {
  Detail::WarnUnexpectedTypeA();
  return std::string();
}

}  // namespace Utils::Error

// A site in the current source file; sources are compiled with paths
// relative to the source root, so __FILE__ is stable across machines.
#define SF_SITE(signature, tags) (::Utils::Error::Site{(signature), (tags), __FILE__, __LINE__})
#define SF_SITE_IN(unit, signature, tags) (::Utils::Error::Site{(signature), (tags), (unit), __LINE__})
