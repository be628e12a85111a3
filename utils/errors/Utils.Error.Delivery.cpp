// How a report reaches the caller: raised, kept for the calling thread,
// shown in a box unless the thread is quiet, noted as the reason of a plain
// "no", or written to the standard wide output.
#include <iostream>

#include "utils/errors/Utils.Error.h"
#include "utils/errors/Utils.ThreadState.h"
#include "utils/runtime/Utils.LastError.h"

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

void Warn(const Site& site, const wchar_t* caption, const std::wstring& message) {
  // A warning may be shown while a report is being composed.
  const KeptLastError kept;
  Deliver(HeaderW(site) + L"\r\n" + message, caption, kStyleInformation);
}

void Echo(const std::wstring& report, const bool lineEnd) {
  // A stream left failed by an earlier unprintable text would swallow
  // every later report.
  std::wcout.clear();
  std::wcout << report;
  if (lineEnd) std::wcout << L'\n';
  std::wcout.flush();
}

void RaiseEchoed(const Failure& failure, const bool lineEnd) {
  Echo(failure.Text(), lineEnd);
  throw failure;
}

}  // namespace Utils::Error
