#pragma once
// The frame every export runs in: start-up guard, the operation, the report
// clauses that keep every failure inside the library, and the reason of a
// failure answered without a box.
#include <string>

#include "exports/Clauses.h"
#include "exports/Project.h"
#include "utils/errors/Utils.Error.h"
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

// The common export shapes: a truth-valued operation on one path, or on two
// paths, answered as 1 or 0. The second path is converted first, so a
// failure of both is reported for the second.
template <class C>
int OnePath(const Utils::Error::Site& site, const C* path, bool (*operation)(const std::wstring&)) {
  return Run(site, 0, [&] { return operation(WideArgument(site, path)) ? 1 : 0; });
}

template <class C>
int TwoPaths(const Utils::Error::Site& site, const C* first, const C* second,
             bool (*operation)(const std::wstring&, const std::wstring&)) {
  return Run(site, 0, [&] {
    const std::wstring wideSecond = WideArgument(site, second);
    const std::wstring wideFirst = WideArgument(site, first);
    return operation(wideFirst, wideSecond) ? 1 : 0;
  });
}

}  // namespace Sedgefold

// The site of an export's frame: its signature, the tag "[f]", this line.
#define SF_EXPORT(signature) SF_SITE_IN(::Sedgefold::kUnit, (signature), ::Utils::Error::kFunction)
