#pragma once
// The calling thread's report mode and last report, through the library's
// own exports: how a host runs it without boxes and still prints why a call
// failed.
#include <string>

#include "cli/Library.h"
#include "exports/Sedgefold.h"

namespace Cli {

class Reports {
 public:
  explicit Reports(const Library& library);

  // The first of the two exports the library lacks, or null.
  const char* Missing() const;
  // SedgefoldReportMode: 0 boxes, 1 quiet, -1 asks; the mode before.
  int Mode(int mode) const { return mode_(mode); }
  // The thread's last report, empty when its last call reported nothing.
  std::wstring Last() const;

 private:
  decltype(&::SedgefoldReportMode) mode_;
  decltype(&::SedgefoldLastReportW) last_;
};

}  // namespace Cli
