#pragma once
// The report clauses: what an export (or the start-up guard) does with a
// failure it caught, so that nothing crosses into the host.
#include <string>

#include "utils/errors/Utils.Error.h"

namespace Sedgefold {

// Compose the caught failure's report into a report of the site and deliver
// it, captioned with the module name: kept for the calling thread, and shown
// in a box unless the thread is quiet. Never throw.
void ShowCaught(const Utils::Error::Site& site, const std::wstring& caught) noexcept;
void ShowUnknown(const Utils::Error::Site& site) noexcept;

// Runs body; a failure is shown through the clauses and gives false.
template <class Body> bool RunReported(const Utils::Error::Site& site, Body&& body) noexcept {
  try {
    body();
    return true;
  } catch (const Utils::Error::Failure& caught) {
    // Composed here, at delivery.
    try {
      ShowCaught(site, caught.Text());
    } catch (...) {
      ShowUnknown(site);
    }
  } catch (...) {
    ShowUnknown(site);
  }
  return false;
}

}  // namespace Sedgefold
