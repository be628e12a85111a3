#pragma once
// The exports the cases time, looked up in Sedgefold.dll loaded by bare name
// as the terminal loads it (the command-line host's loader), so the copy
// next to the program is the one measured; never linked.
#include "cli/Library.h"
#include "exports/Sedgefold.h"

namespace Bench {

// Typed by the library's own declarations.
struct Exports {
  decltype(&PathGetListMW) getListM;
  decltype(&PathCheckW) check;
  decltype(&PathClearFromFilesW) clearFromFiles;
  decltype(&PathCopyW) copy;
  decltype(&PathDeleteW) remove;
};

// Every export of Exports; a library that did not load or lacks one is a
// failure.
Exports Resolve(const Cli::Library& library);

}  // namespace Bench
