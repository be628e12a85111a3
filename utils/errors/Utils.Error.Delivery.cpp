// How a report reaches the caller: raised, kept for the calling thread,
// shown in a box unless the thread is quiet, noted as the reason of a plain
// "no", or written to the standard wide output.
#include <iostream>

#include "utils/errors/Utils.Error.h"
#include "utils/errors/Utils.ThreadState.h"
#include "utils/text/Utils.CodingStr.h"

namespace Utils::Error {
namespace {

// Kept before the box, so a box that cannot be shown still leaves the
// report to the caller.
bool KeptAndBoxed(const std::wstring& report) {
  ThreadState::KeepReport(report);
  return !ThreadState::Quiet();
}

}  // namespace

void Deliver(const std::wstring& report, const wchar_t* caption, const UINT style) {
  if (KeptAndBoxed(report)) ShowW(report.c_str(), caption, style, 0);
}

void Deliver(const std::string& report, const char* caption) {
  if (KeptAndBoxed(CodingStr::AnsiToUnicode(report, CodingStr::kAnsiCodePage)))
    ShowA(report.c_str(), caption);
}

void Warn(const Site& site, const wchar_t* caption, const std::wstring& message) {
  // A warning shown while a report is being composed must not change the
  // last error that the report goes on to describe.
  const DWORD code = GetLastError();
  Site plain = site;
  plain.tags = kMethod;
  Deliver(HeaderW(plain) + L"\r\n" + message, caption, kStyleInformation);
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

void Raise(const Site& site, const std::wstring& message, const bool withLastError) {
  throw Failure(site, message, withLastError);
}

void RaiseEchoed(const Site& site, const std::wstring& message, const bool withLastError) {
  const Failure failure(site, message, withLastError);
  Echo(failure.Text());
  throw failure;
}

}  // namespace Utils::Error
