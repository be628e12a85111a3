#include "bench/Measure.h"

#include <algorithm>

namespace Bench {
namespace {

// No reference here does its work in under a microsecond; the floor only
// keeps a broken timer from dividing by zero.
constexpr double kFloorMs = 1e-3;

}  // namespace

Outcome Repeat(const Budget& budget, const Side& library, const Side& reference) {
  Outcome outcome;
  double totalMs = 0;
  while (outcome.ratios.size() < budget.minRepetitions || totalMs < budget.minTotalMs) {
    const double libraryMs = library();
    const double referenceMs = reference();
    outcome.libraryMs.push_back(libraryMs);
    outcome.referenceMs.push_back(referenceMs);
    outcome.ratios.push_back(libraryMs / std::max(referenceMs, kFloorMs));
    totalMs += libraryMs + referenceMs;
  }
  return outcome;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double CounterMs(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
  static const double ticksPerMs = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  return static_cast<double>(end.QuadPart - start.QuadPart) / ticksPerMs;
}

}  // namespace Bench
