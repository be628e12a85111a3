#include "bench/Library.h"

#include <string>

#include "bench/Failure.h"

namespace Bench {
namespace {

template <class Fn> void Find(const Cli::Library& library, Fn& slot, const char* name) {
  slot = library.Find<Fn>(name);
  Expect(slot != nullptr, std::string("Sedgefold.dll exports no ") + name);
}

}  // namespace

Exports Resolve(const Cli::Library& library) {
  if (!library.Loaded()) {
    SetLastError(library.LoadError());
    FailOnSystem("loading", L"Sedgefold.dll");
  }
  Exports exports{};
  Find(library, exports.getListM, "PathGetListMW");
  Find(library, exports.check, "PathCheckW");
  Find(library, exports.clearFromFiles, "PathClearFromFilesW");
  Find(library, exports.copy, "PathCopyW");
  Find(library, exports.remove, "PathDeleteW");
  return exports;
}

}  // namespace Bench
