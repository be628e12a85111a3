#pragma once
// The frame every export runs in: start-up guard, the operation, the report
// clauses that keep every failure inside the library, and the reason of a
// failure answered without a box.
#include <string>

#include "exports/Clauses.h"
#include "exports/Project.h"
#include "utils/errors/Utils.Error.h"
#include "utils/errors/Utils.Outcome.h"
#include "utils/errors/Utils.ThreadState.h"

namespace Sedgefold {

// The exports' source unit as reports name it.
constexpr char kUnit[] = "Sedgefold";

// A failure answered without a box leaves its noted reason, wrapped in the
// export's own report, as the thread's last report.
void KeepNoted(const Utils::Error::Site& site) noexcept;

// An export: guard, then the operation; its result, or failure on any
// failure. The thread's last report is the report of this call alone.
template <class R, class Operation>
R Run(const Utils::Error::Site& site, const R failure, Operation&& operation) noexcept {
  Utils::ThreadState::ClearReport();
  R result = failure;
  const bool completed = RunReported(site, [&] {
    if (Project::Init(0)) result = operation();
  });
  if (completed && result == failure) KeepNoted(site);
  return result;
}

// String arguments made wide. A null pointer raises a report naming the
// export instead of being read.
std::wstring WideArgument(const Utils::Error::Site& site, const wchar_t* text);
std::wstring WideArgument(const Utils::Error::Site& site, const char* text);

// 1 for an answer of yes or work done, 0 otherwise; the reason of work not
// done is kept for the frame (KeepNoted).
inline int Answered(bool yes) noexcept { return yes ? 1 : 0; }
int Answered(const Utils::Error::Outcome& outcome) noexcept;

// The common export shapes: an operation on one path, or on two paths,
// answered as 1 or 0: a question (bool) or work (its outcome). The second
// path is converted first, so a failure of both is reported for the second.
template <class C, class Result>
int OnePath(const Utils::Error::Site& site, const C* path, Result (*operation)(const std::wstring&)) {
  return Run(site, 0, [&] { return Answered(operation(WideArgument(site, path))); });
}

template <class C>
int TwoPaths(const Utils::Error::Site& site, const C* first, const C* second,
             Utils::Error::Outcome (*operation)(const std::wstring&, const std::wstring&)) {
  return Run(site, 0, [&] {
    const std::wstring wideSecond = WideArgument(site, second);
    const std::wstring wideFirst = WideArgument(site, first);
    return Answered(operation(wideFirst, wideSecond));
  });
}

}  // namespace Sedgefold

// The site of an export's frame: its signature, the tag "[f]", this line.
#define SF_EXPORT(signature) SF_SITE_IN(::Sedgefold::kUnit, (signature), ::Utils::Error::kFunction)
