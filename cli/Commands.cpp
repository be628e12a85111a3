#include "cli/Commands.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <type_traits>

#include "cli/Console.h"
#include "exports/Sedgefold.h"

namespace Cli {
namespace {

using OnePathW = decltype(&::PathCheckW);
using OnePathA = decltype(&::PathCheckA);
using TwoPathW = decltype(&::PathCopyW);
using TwoPathA = decltype(&::PathCopyA);
using ListW = decltype(&::PathGetListW);
using ListA = decltype(&::PathGetListA);
using ListRecordsW = decltype(&::PathGetListMW);
using ListRecordsA = decltype(&::PathGetListMA);
using TrimW = decltype(&::PathTrimNameFileW);
using TrimA = decltype(&::PathTrimNameFileA);

// An export's name taken from its declaration, so that a misspelt name or
// a changed signature stops the build instead of a run.
template <class Expected, class Declared> constexpr const char* Named(const char* name) {
  static_assert(std::is_same<Expected, Declared>::value,
                "the export's declaration differs from what the command calls");
  return name;
}
#define SF_NAME(type, symbol) Named<type, decltype(&::symbol)>(#symbol)

// The W and A names of one operation.
struct Pair {
  const char* wide;
  const char* narrow;
};
#define SF_ONE_PATH(base) Pair{SF_NAME(OnePathW, base##W), SF_NAME(OnePathA, base##A)}
#define SF_TWO_PATHS(base) Pair{SF_NAME(TwoPathW, base##W), SF_NAME(TwoPathA, base##A)}

// Any name fits: 259 characters and the terminator. A slot of the narrow
// buffer gets twice that, for code pages of two bytes per character.
constexpr std::size_t kNameChars = 260;
constexpr std::size_t kNarrowSlotBytes = 2 * kNameChars;
constexpr std::size_t kDefaultMaximum = 1024;
constexpr std::size_t kLargestMaximum = 100000;

template <class Fn> Fn Resolve(const Library& library, const char* name) {
  const Fn export_ = library.Find<Fn>(name);
  if (export_ == nullptr) throw MissingExport{name};
  return export_;
}

std::wstring Wide(const char* text) { return std::wstring(text, text + std::strlen(text)); }

std::string Narrow(const std::wstring& text) {
  std::string ansi;
  if (!Console::ToAnsi(text, ansi))
    throw UsageError{L"\"" + text + L"\" cannot be written in the ANSI code page " +
                     std::to_wstring(GetACP()) + L"; use the W form (leave out --ansi)"};
  return ansi;
}

int Answer(const char* name, const int answer) {
  Console::Out(Wide(name) + L" = " + std::to_wstring(answer) + L"\n");
  return answer != 0 ? kYes : kNo;
}

int OnePath(const Library& library, const Options& options, const Pair& names,
            const std::wstring& path) {
  if (!options.ansi) return Answer(names.wide, Resolve<OnePathW>(library, names.wide)(path.c_str()));
  const std::string narrow = Narrow(path);
  return Answer(names.narrow, Resolve<OnePathA>(library, names.narrow)(narrow.c_str()));
}

int TwoPaths(const Library& library, const Options& options, const Pair& names,
             const std::wstring& first, const std::wstring& second) {
  if (!options.ansi)
    return Answer(names.wide,
                  Resolve<TwoPathW>(library, names.wide)(first.c_str(), second.c_str()));
  const std::string narrowFirst = Narrow(first);
  const std::string narrowSecond = Narrow(second);
  return Answer(names.narrow, Resolve<TwoPathA>(library, names.narrow)(narrowFirst.c_str(),
                                                                        narrowSecond.c_str()));
}

// --- list ------------------------------------------------------------------

int ParseMode(const std::wstring& text) {
  if (text == L"dirs") return 1;
  if (text == L"files") return 2;
  if (text == L"all") return 3;
  // Any other number is passed on as it is: the library answers for it.
  wchar_t* end = nullptr;
  errno = 0;
  const long mode = std::wcstol(text.c_str(), &end, 10);
  if (text.empty() || *end != L'\0' || errno != 0 || mode < INT_MIN || mode > INT_MAX)
    throw UsageError{L"mode must be dirs, files, all or a number, not \"" + text + L"\""};
  return static_cast<int>(mode);
}

std::size_t ParseMaximum(const Arguments& arguments) {
  if (arguments.size() < 3) return kDefaultMaximum;
  const std::wstring& text = arguments[2];
  wchar_t* end = nullptr;
  errno = 0;
  const unsigned long long maximum = std::wcstoull(text.c_str(), &end, 10);
  if (text.empty() || text[0] == L'-' || *end != L'\0' || errno != 0 || maximum > kLargestMaximum)
    throw UsageError{L"the maximum must be a number from 0 to " +
                     std::to_wstring(kLargestMaximum) + L", not \"" + text + L"\""};
  return static_cast<std::size_t>(maximum);
}

// The text of a slot or record, up to its terminator or its end.
template <class C> std::basic_string<C> Bounded(const C* text, std::size_t capacity) {
  const C* end = std::find(text, text + capacity, C(0));
  return std::basic_string<C>(text, end);
}

int Listed(const char* name, const std::uint64_t answer, const std::vector<std::wstring>& names) {
  Console::Out(Wide(name) + L" = " + std::to_wstring(answer) + L"\n");
  for (const std::wstring& entry : names) Console::Out(L"  " + entry + L"\n");
  return kYes;
}

std::size_t Shown(const std::uint64_t answer, const std::size_t maximum) {
  return static_cast<std::size_t>(std::min<std::uint64_t>(answer, maximum));
}

int ListBufferW(const Library& library, const std::wstring& pattern, const int mode,
                const std::size_t maximum) {
  const char* name = SF_NAME(ListW, PathGetListW);
  std::vector<wchar_t> buffer(maximum * kNameChars, L'\0');
  const std::uint64_t answer = Resolve<ListW>(library, name)(
      pattern.c_str(), mode, buffer.data(), maximum, kNameChars * sizeof(wchar_t));
  std::vector<std::wstring> names;
  for (std::size_t i = 0; i < Shown(answer, maximum); ++i)
    names.push_back(Bounded(&buffer[i * kNameChars], kNameChars));
  return Listed(name, answer, names);
}

int ListBufferA(const Library& library, const std::wstring& pattern, const int mode,
                const std::size_t maximum) {
  const char* name = SF_NAME(ListA, PathGetListA);
  const std::string narrow = Narrow(pattern);
  std::vector<char> buffer(maximum * kNarrowSlotBytes, '\0');
  const std::uint64_t answer = Resolve<ListA>(library, name)(narrow.c_str(), mode, buffer.data(),
                                                             maximum, kNarrowSlotBytes);
  std::vector<std::wstring> names;
  for (std::size_t i = 0; i < Shown(answer, maximum); ++i)
    names.push_back(Console::FromAnsi(Bounded(&buffer[i * kNarrowSlotBytes], kNarrowSlotBytes)));
  return Listed(name, answer, names);
}

// Records laid out as the terminal lays out a string array: each record
// points into one block of text owned here.
template <class Record, class C> struct RecordArray {
  explicit RecordArray(std::size_t count, std::size_t capacity)
      : text(count * capacity, C(0)), records(count) {
    for (std::size_t i = 0; i < count; ++i) {
      records[i].capacity = static_cast<int>(capacity);
      records[i].text = &text[i * capacity];
    }
  }
  std::basic_string<C> Name(std::size_t i) const {
    return Bounded(records[i].text, static_cast<std::size_t>(records[i].capacity));
  }
  std::vector<C> text;
  std::vector<Record> records;
};

int ListRecordsWide(const Library& library, const std::wstring& pattern, const int mode,
                    const std::size_t maximum) {
  const char* name = SF_NAME(ListRecordsW, PathGetListMW);
  RecordArray<MT::_MQLSTRW, wchar_t> array(maximum, kNameChars);
  const std::uint64_t answer =
      Resolve<ListRecordsW>(library, name)(pattern.c_str(), mode, array.records.data(), maximum);
  std::vector<std::wstring> names;
  for (std::size_t i = 0; i < Shown(answer, maximum); ++i) names.push_back(array.Name(i));
  return Listed(name, answer, names);
}

int ListRecordsNarrow(const Library& library, const std::wstring& pattern, const int mode,
                      const std::size_t maximum) {
  const char* name = SF_NAME(ListRecordsA, PathGetListMA);
  const std::string narrow = Narrow(pattern);
  RecordArray<MT::_MQLSTRA, char> array(maximum, kNarrowSlotBytes);
  const std::uint64_t answer =
      Resolve<ListRecordsA>(library, name)(narrow.c_str(), mode, array.records.data(), maximum);
  std::vector<std::wstring> names;
  for (std::size_t i = 0; i < Shown(answer, maximum); ++i)
    names.push_back(Console::FromAnsi(array.Name(i)));
  return Listed(name, answer, names);
}

int List(const Library& library, const Options& options, const Arguments& arguments) {
  const int mode = ParseMode(arguments[1]);
  const std::size_t maximum = ParseMaximum(arguments);
  if (options.records)
    return options.ansi ? ListRecordsNarrow(library, arguments[0], mode, maximum)
                        : ListRecordsWide(library, arguments[0], mode, maximum);
  return options.ansi ? ListBufferA(library, arguments[0], mode, maximum)
                      : ListBufferW(library, arguments[0], mode, maximum);
}

// --- trim ------------------------------------------------------------------

template <class C, class Fn>
int Trim(const Library& library, const char* name, const std::basic_string<C>& path,
         std::wstring (*shown)(const std::basic_string<C>&)) {
  std::vector<C> buffer(path.begin(), path.end());
  buffer.push_back(C(0));
  const C* const answer = Resolve<Fn>(library, name)(buffer.data());
  if (answer == nullptr) {
    Console::Out(Wide(name) + L" = null\n");
    return kNo;
  }
  const std::basic_string<C> text = Bounded(buffer.data(), buffer.size());
  Console::Out(Wide(name) + L" = " + shown(text) + L"\n");
  if (answer == buffer.data()) return kYes;
  Console::Err(L"error: " + Wide(name) + L" returned a pointer other than the buffer it was given\n");
  return kNo;
}

std::wstring AsIs(const std::wstring& text) { return text; }

int TrimCommand(const Library& library, const Options& options, const Arguments& arguments) {
  if (!options.ansi)
    return Trim<wchar_t, TrimW>(library, SF_NAME(TrimW, PathTrimNameFileW), arguments[0], AsIs);
  return Trim<char, TrimA>(library, SF_NAME(TrimA, PathTrimNameFileA), Narrow(arguments[0]),
                           Console::FromAnsi);
}

// --- the table -------------------------------------------------------------

#define SF_ONE_PATH_COMMAND(command, base, help)                                         \
  Command {                                                                              \
    command, L"PATH", 1, 1, help,                                                        \
        [](const Library& library, const Options& options, const Arguments& arguments) { \
          return OnePath(library, options, SF_ONE_PATH(base), arguments[0]);             \
        }                                                                                \
  }
#define SF_TWO_PATHS_COMMAND(command, names, base, help)                                  \
  Command {                                                                               \
    command, names, 2, 2, help,                                                           \
        [](const Library& library, const Options& options, const Arguments& arguments) {  \
          return TwoPaths(library, options, SF_TWO_PATHS(base), arguments[0], arguments[1]); \
        }                                                                                 \
  }

}  // namespace

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      SF_ONE_PATH_COMMAND(L"check", PathCheck, L"1 if PATH is an existing directory"),
      SF_ONE_PATH_COMMAND(L"empty", PathIsEmpty, L"1 if PATH is an existing, empty directory"),
      SF_ONE_PATH_COMMAND(L"create", PathCreate,
                          L"create directory PATH and missing parents"),
      SF_ONE_PATH_COMMAND(L"delete", PathDelete,
                          L"delete PATH and all in it (no recycle bin)"),
      SF_ONE_PATH_COMMAND(L"delete-empty", PathDeleteEmpty,
                          L"remove directory PATH if empty"),
      SF_ONE_PATH_COMMAND(L"clear", PathClearContents,
                          L"delete all inside directory PATH, keep it"),
      SF_ONE_PATH_COMMAND(L"clear-files", PathClearFromFiles,
                          L"delete all files below PATH (enters links!)"),
      SF_TWO_PATHS_COMMAND(L"copy", L"SOURCE DESTINATION", PathCopy,
                           L"copy directory or file SOURCE"),
      SF_TWO_PATHS_COMMAND(L"move", L"SOURCE DESTINATION", PathMove,
                           L"move SOURCE to DESTINATION"),
      SF_TWO_PATHS_COMMAND(L"link", L"TARGET LINK", PathSymbolicLink,
                           L"make LINK a directory link to TARGET"),
      Command{L"list", L"PATTERN dirs|files|all [MAX]", 2, 3,
              L"list one level, PATTERN like C:\\dir\\*", List},
      Command{L"trim", L"PATH", 1, 1, L"cut the last name off PATH",
              TrimCommand},
  };
  return commands;
}

const Command* FindCommand(const std::wstring& name) {
  for (const Command& command : Commands())
    if (name == command.name) return &command;
  return nullptr;
}

}  // namespace Cli
