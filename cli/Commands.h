#pragma once
// The commands of sedgefold.exe: one per operation of the library, each
// calling its W export (or, with --ansi, its A export) and printing the
// export's answer as "Export = answer".
#include <cstddef>
#include <string>
#include <vector>

#include "host/Library.h"

namespace Cli {

struct Options {
  bool ansi = false;     // the A exports, with text in the ANSI code page
  bool records = false;  // list into string records (PathGetListM*)
};

// Exit statuses.
enum Status : int {
  kYes = 0,        // the export answered 1, a pointer, or listed
  kNo = 1,         // the export answered 0 or null (or showed a box)
  kUsage = 2,      // the command line is wrong
  kNoLibrary = 3,  // Sedgefold.dll or one of its exports is missing
};

// Thrown for a wrong command line.
struct UsageError {
  std::wstring message;
};
using Arguments = std::vector<std::wstring>;

struct Command {
  const wchar_t* name;
  const wchar_t* arguments;
  std::size_t fewest;
  std::size_t most;
  const wchar_t* help;
  int (*run)(const Host::Exports& api, const Options& options, const Arguments& arguments);
};

const std::vector<Command>& Commands();
// The command called name, or null.
const Command* FindCommand(const std::wstring& name);

}  // namespace Cli
