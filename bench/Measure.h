#pragma once
// Timing: each case runs its library side and its reference side in turn,
// again and again, and is judged by the median of the per-repetition
// ratios, which one slow repetition of either side cannot move far.
#include <windows.h>

#include <functional>
#include <vector>

namespace Bench {

// Repeat until both hold.
struct Budget {
  std::size_t minRepetitions;
  double minTotalMs;  // library and reference time together
};

// One run of a side: prepares untimed, times only the work, checks the
// result untimed, and answers the time of the work in milliseconds.
using Side = std::function<double()>;

struct Outcome {
  std::vector<double> libraryMs;
  std::vector<double> referenceMs;
  std::vector<double> ratios;  // library / reference, per repetition
};

Outcome Repeat(const Budget& budget, const Side& library, const Side& reference);

double Median(std::vector<double> values);

double CounterMs(const LARGE_INTEGER& start, const LARGE_INTEGER& end);

template <class Work> double TimedMs(Work&& work) {
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  work();
  QueryPerformanceCounter(&end);
  return CounterMs(start, end);
}

}  // namespace Bench
