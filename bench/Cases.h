#pragma once
// The measured cases: each times one export against the code a host would
// write without the library, on the same directories.
#include <vector>

#include "bench/Measure.h"
#include "bench/Tree.h"
#include "host/Library.h"

namespace Bench {

struct Context {
  const Host::Exports& library;  // run quiet
  const Scratch& scratch;
  Budget budget;
};

struct Case {
  const char* name;
  Outcome (*run)(const Context& context);
};

const std::vector<Case>& AllCases();

}  // namespace Bench
