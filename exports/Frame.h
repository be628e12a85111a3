#pragma once
// The frame every export runs in: start-up guard, the operation, and the
// three report clauses that keep every failure inside the library.
#include <string>

#include "exports/Project.h"
#include "utils/Utils.Error.h"
#include "utils/Utils.ThreadState.h"

namespace Sedgefold {

// The exports' source unit as reports name it.
constexpr char kUnit[] = "Sedgefold";

// Report clauses: compose the caught text into a report of the site and
// deliver it, captioned with the module name: kept for the calling thread,
// and shown in a box unless the thread is quiet. Never throw.
void ShowCaught(const Utils::Error::Site& site, const std::string& caught) noexcept;
void ShowCaught(const Utils::Error::Site& site, const std::wstring& caught) noexcept;
void ShowUnknown(const Utils::Error::Site& site) noexcept;

// Runs body; a failure is shown through the clauses and gives false.
template <class Body>
bool RunReported(const Utils::Error::Site& site, Body&& body) noexcept {
  try {
    body();
    return true;
  } catch (const std::string& caught) {
    ShowCaught(site, caught);
  } catch (const std::wstring& caught) {
    ShowCaught(site, caught);
  } catch (...) {
    ShowUnknown(site);
  }
  return false;
}

// An export: guard, then the operation; its result, or failure on any
// failure. The thread's last report is the report of this call alone.
template <class R, class Operation>
R Run(const Utils::Error::Site& site, const R failure, Operation&& operation) noexcept {
  Utils::ThreadState::ClearReport();
  R result = failure;
  RunReported(site, [&] {
    if (Project::Init(0)) result = operation();
  });
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
int OnePath(const Utils::Error::Site& site, const C* path,
            bool (*operation)(const std::wstring&)) {
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
#define SF_EXPORT(signature) SF_SITE_IN(::Sedgefold::kUnit, (signature), "[f]")
