#pragma once
// Why work the shell was asked for is not done, told from what can be seen
// rather than from the shell's code, which says "cancelled by the user" for
// a full drive or a file held open, and "same file" for a move to another
// drive: the first entry that did not arrive or did not go, what keeps it
// (no room on the destination's drive, a file another program holds, a
// read-only file, no access), and how far the work got.
#include <string>

#include "utils/errors/Utils.Error.h"
#include "utils/files/Utils.File.Effects.h"
#include "utils/files/Utils.File.Shell.h"
#include "utils/files/Utils.File.Tree.h"

namespace Utils::Reason {

enum class Work {
  kCopy,
  kMove,
  kDelete,
  kClear,
  kMoveCopy,    // a move done as a copy and a delete: the copy
  kMoveDelete,  // and the delete of the source, once all arrived
};

// What to tell: the work, its source as the shell was given it, the
// shell's answer (of the first request that failed, when there were
// several), and where the survey's entries are now: arrivals for the
// copies, departures for the others, and for a move whichever is not whole,
// with both beside it. nested: where a lone source was looked for at the
// destination.
struct Findings {
  Work work;
  std::wstring source;
  Shell::Answer answer;
  const Tree::Survey& survey;
  const Effects::Account& account;
  bool nested;
  const Effects::Account* arrived = nullptr;   // a move's
  const Effects::Account* departed = nullptr;  // of its matches
};

// The failure to report. Its code, described in the report, is the one of
// the cause found; a failure whose cause is not found describes none.
Error::Failure Of(const Error::Site& site, const Findings& findings);

}  // namespace Utils::Reason
