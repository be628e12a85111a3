// sedgefold-bench.exe: times the library's listing, checking, clearing,
// copying and deleting against plain Win32 and std::filesystem code doing
// the same work, side by side in one process.
//
//   sedgefold-bench [--quick] [CASE...]
//
// Standard output gets one line per case, "name ratio": the median over the
// repetitions of library time divided by reference time. Standard error gets
// the medians themselves. The library runs quiet: any wrong answer or
// failure it reports ends the run with status 1.
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "bench/Cases.h"
#include "bench/Failure.h"
#include "bench/Tree.h"
#include "host/Library.h"

namespace {

using Bench::Case;

constexpr int kFailed = 1;
constexpr int kQuiet = 1;
constexpr int kUsage = 2;

// At least a second of timed work, over at least three repetitions, keeps a
// single disturbed repetition from deciding the median.
constexpr Bench::Budget kFullBudget{3, 1000.0};
constexpr Bench::Budget kQuickBudget{1, 0.0};

struct Invocation {
  bool quick = false;
  bool help = false;
  std::vector<Case> cases;
};

const Case* CaseNamed(const std::string& name) {
  for (const Case& known : Bench::AllCases())
    if (name == known.name) return &known;
  return nullptr;
}

void PrintUsage(std::FILE* stream) {
  std::fputs("usage: sedgefold-bench [--quick] [CASE...]\ncases:", stream);
  for (const Case& known : Bench::AllCases()) std::fprintf(stream, " %s", known.name);
  std::fputs("\n--quick: one repetition per case\n", stream);
}

// Throws the offending argument when there is one.
Invocation Parse(int argc, char** argv) {
  Invocation invocation;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const Case* named = CaseNamed(argument);
    if (argument == "--quick")
      invocation.quick = true;
    else if (argument == "--help" || argument == "-h")
      invocation.help = true;
    else if (named != nullptr)
      invocation.cases.push_back(*named);
    else
      throw argument;
  }
  if (invocation.cases.empty()) invocation.cases = Bench::AllCases();
  return invocation;
}

// The spread of the ratios tells how far a busy machine moved the median.
void PrintOutcome(const char* name, const Bench::Outcome& outcome) {
  const double ratio = Bench::Median(outcome.ratios);
  const auto spread = std::minmax_element(outcome.ratios.begin(), outcome.ratios.end());
  std::fprintf(stderr,
               "%s: library %.2f ms, reference %.2f ms (medians of %zu repetitions; "
               "ratios %.2f to %.2f)\n",
               name, Bench::Median(outcome.libraryMs), Bench::Median(outcome.referenceMs),
               outcome.ratios.size(), *spread.first, *spread.second);
  std::fflush(stderr);
  std::printf("%s %.2f\n", name, ratio);
  std::fflush(stdout);
}

// The cases in order; the name of the one running when something failed
// is left in `current`.
void RunCases(const Invocation& invocation, const char*& current) {
  const Host::Library library;
  Bench::Expect(library.Loaded(), Bench::Utf8(library.Problem()));
  library.Api().reportMode(kQuiet);
  const Bench::Scratch scratch;
  const Bench::Context context{library.Api(), scratch,
                               invocation.quick ? kQuickBudget : kFullBudget};
  for (const Case& selected : invocation.cases) {
    current = selected.name;
    PrintOutcome(selected.name, selected.run(context));
  }
  current = nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  // Plain "\n" line ends for the scripts that read the output.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  Invocation invocation;
  try {
    invocation = Parse(argc, argv);
  } catch (const std::string& unknown) {
    std::fprintf(stderr, "sedgefold-bench: unknown argument %s\n", unknown.c_str());
    PrintUsage(stderr);
    return kUsage;
  }
  if (invocation.help) {
    PrintUsage(stdout);
    return 0;
  }
  const char* current = nullptr;
  try {
    RunCases(invocation, current);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "sedgefold-bench: %s%s%s\n", current != nullptr ? current : "",
                 current != nullptr ? ": " : "", failure.what());
    return kFailed;
  }
  return 0;
}
