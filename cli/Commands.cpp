#include "cli/Commands.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <cwchar>

#include "cli/Console.h"

namespace Cli {
namespace {

// Any name fits: 259 characters and the terminator. A slot of the narrow
// buffer gets twice that, for code pages of two bytes per character.
constexpr std::size_t kNameChars = 260;
constexpr std::size_t kNarrowSlotBytes = 2 * kNameChars;
constexpr std::size_t kDefaultMaximum = 1024;
constexpr std::size_t kLargestMaximum = 100000;

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

int ListBufferW(const Host::Exports& api, const std::wstring& pattern, const int mode,
                const std::size_t maximum) {
  const char* name = "PathGetListW";
  std::vector<wchar_t> buffer(maximum * kNameChars, L'\0');
  const std::uint64_t answer =
      api.w.getList(pattern.c_str(), mode, buffer.data(), maximum, kNameChars * sizeof(wchar_t));
  std::vector<std::wstring> names;
  for (std::size_t i = 0; i < Shown(answer, maximum); ++i)
    names.push_back(Bounded(&buffer[i * kNameChars], kNameChars));
  return Listed(name, answer, names);
}

int ListBufferA(const Host::Exports& api, const std::wstring& pattern, const int mode,
                const std::size_t maximum) {
  const char* name = "PathGetListA";
  const std::string narrow = Narrow(pattern);
  std::vector<char> buffer(maximum * kNarrowSlotBytes, '\0');
  const std::uint64_t answer =
      api.a.getList(narrow.c_str(), mode, buffer.data(), maximum, kNarrowSlotBytes);
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

int ListRecordsWide(const Host::Exports& api, const std::wstring& pattern, const int mode,
                    const std::size_t maximum) {
  const char* name = "PathGetListMW";
  RecordArray<MT::_MQLSTRW, wchar_t> array(maximum, kNameChars);
  const std::uint64_t answer = api.w.getListM(pattern.c_str(), mode, array.records.data(), maximum);
  std::vector<std::wstring> names;
  for (std::size_t i = 0; i < Shown(answer, maximum); ++i) names.push_back(array.Name(i));
  return Listed(name, answer, names);
}

int ListRecordsNarrow(const Host::Exports& api, const std::wstring& pattern, const int mode,
                      const std::size_t maximum) {
  const char* name = "PathGetListMA";
  const std::string narrow = Narrow(pattern);
  RecordArray<MT::_MQLSTRA, char> array(maximum, kNarrowSlotBytes);
  const std::uint64_t answer = api.a.getListM(narrow.c_str(), mode, array.records.data(), maximum);
  std::vector<std::wstring> names;
  for (std::size_t i = 0; i < Shown(answer, maximum); ++i)
    names.push_back(Console::FromAnsi(array.Name(i)));
  return Listed(name, answer, names);
}

int List(const Host::Exports& api, const Options& options, const Arguments& arguments) {
  const int mode = ParseMode(arguments[1]);
  const std::size_t maximum = ParseMaximum(arguments);
  if (options.records)
    return options.ansi ? ListRecordsNarrow(api, arguments[0], mode, maximum)
                        : ListRecordsWide(api, arguments[0], mode, maximum);
  return options.ansi ? ListBufferA(api, arguments[0], mode, maximum)
                      : ListBufferW(api, arguments[0], mode, maximum);
}

// --- trim ------------------------------------------------------------------

template <class C>
int Trim(const Host::Forms<C>& forms, const char* name, const std::basic_string<C>& path,
         std::wstring (*shown)(const std::basic_string<C>&)) {
  std::vector<C> buffer(path.begin(), path.end());
  buffer.push_back(C(0));
  const C* const answer = forms.trimName(buffer.data());
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

int TrimCommand(const Host::Exports& api, const Options& options, const Arguments& arguments) {
  if (!options.ansi) return Trim(api.w, "PathTrimNameFileW", arguments[0], AsIs);
  return Trim(api.a, "PathTrimNameFileA", Narrow(arguments[0]), Console::FromAnsi);
}

// --- the table -------------------------------------------------------------

// One operation of one or two paths, through its W export or (--ansi) its A
// export, answered as "Export = answer".
#define SF_ONE_PATH_COMMAND(command, member, base, help)                                    \
  Command {                                                                                 \
    command, L"PATH", 1, 1, help,                                                           \
        [](const Host::Exports& api, const Options& options, const Arguments& arguments) {  \
          return options.ansi ? Answer(#base "A", api.a.member(Narrow(arguments[0]).c_str()))  \
                              : Answer(#base "W", api.w.member(arguments[0].c_str()));       \
        }                                                                                   \
  }
#define SF_TWO_PATHS_COMMAND(command, names, member, base, help)                           \
  Command {                                                                                 \
    command, names, 2, 2, help,                                                             \
        [](const Host::Exports& api, const Options& options, const Arguments& arguments) {  \
          return options.ansi ? Answer(#base "A", api.a.member(Narrow(arguments[0]).c_str(), \
                                                               Narrow(arguments[1]).c_str())) \
                              : Answer(#base "W", api.w.member(arguments[0].c_str(),         \
                                                               arguments[1].c_str()));       \
        }                                                                                   \
  }

}  // namespace

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      SF_ONE_PATH_COMMAND(L"check", check, PathCheck, L"1 if PATH is an existing directory"),
      SF_ONE_PATH_COMMAND(L"empty", isEmpty, PathIsEmpty, L"1 if PATH is an existing, empty directory"),
      SF_ONE_PATH_COMMAND(L"create", create, PathCreate,
                          L"create directory PATH and missing parents"),
      SF_ONE_PATH_COMMAND(L"delete", remove, PathDelete,
                          L"delete PATH and all in it (no recycle bin)"),
      SF_ONE_PATH_COMMAND(L"delete-empty", deleteEmpty, PathDeleteEmpty,
                          L"remove directory PATH if empty"),
      SF_ONE_PATH_COMMAND(L"clear", clearContents, PathClearContents,
                          L"delete all inside directory PATH, keep it"),
      SF_ONE_PATH_COMMAND(L"clear-files", clearFromFiles, PathClearFromFiles,
                          L"delete all files below PATH (enters links!)"),
      SF_TWO_PATHS_COMMAND(L"copy", L"SOURCE DESTINATION", copy, PathCopy,
                           L"copy directory or file SOURCE"),
      SF_TWO_PATHS_COMMAND(L"move", L"SOURCE DESTINATION", move, PathMove,
                           L"move SOURCE to DESTINATION"),
      SF_TWO_PATHS_COMMAND(L"link", L"TARGET LINK", link, PathSymbolicLink,
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
