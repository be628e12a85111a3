#include "bench/Cases.h"

#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <functional>
#include <string>

#include "bench/Failure.h"
#include "bench/Handles.h"
#include "utils/files/Utils.File.Shell.h"

namespace Bench {
namespace {

namespace fs = std::filesystem;

constexpr int kListEntries = 20000;
constexpr int kListBoth = 3;  // directories and files
constexpr int kRecordCapacity = MAX_PATH;
constexpr int kChecks = 100000;

// The library side, run quiet: a kept report means that the call failed,
// whatever it answered.
Outcome Compare(const Context& context, const Side& library, const Side& reference) {
  const Side watched = [&] {
    double ms = 0;
    try {
      ms = library();
    } catch (const Failure& failure) {
      const std::wstring report = Host::LastReport<wchar_t>(context.library);
      if (report.empty()) throw;
      throw Failure(std::string(failure.what()) + ", and the library reported:\n" + Utf8(report));
    }
    const std::wstring report = Host::LastReport<wchar_t>(context.library);
    Expect(report.empty(), "the library reported a failure:\n" + Utf8(report));
    return ms;
  };
  return Repeat(context.budget, watched, reference);
}

void ExpectCensus(const std::wstring& directory, const Census& expected, const char* after) {
  const Census found = CensusOf(directory);
  Expect(found == expected, std::string("after ") + after + ", " + Utf8(directory) + " holds " +
                                Describe(found) + ", not " + Describe(expected));
}

void ExpectGone(const std::wstring& path, const char* after) {
  Expect(!Exists(path), std::string("after ") + after + ", " + Utf8(path) + " still exists");
}

// --- list-20k ----------------------------------------------------------------

// A string array as the terminal lays one out: records pointing into text
// buffers of MAX_PATH characters each.
class Records {
 public:
  explicit Records(std::size_t count) : text_(count * kRecordCapacity), records_(count) {
    for (std::size_t i = 0; i < count; ++i) {
      records_[i].capacity = kRecordCapacity;
      records_[i].text = &text_[i * kRecordCapacity];
    }
  }

  MT::_MQLSTRW* Data() { return records_.data(); }
  std::size_t Size() const { return records_.size(); }

  // Empty texts, so a name must be written again to be there.
  void Blank() {
    for (std::size_t i = 0; i < records_.size(); ++i) text_[i * kRecordCapacity] = L'\0';
  }

  bool SameTexts(const Records& other) const { return text_ == other.text_; }

 private:
  std::vector<wchar_t> text_;
  std::vector<MT::_MQLSTRW> records_;
};

// The library's rule for a record: its fields read once, the name copied
// only when it fits with its terminator.
bool CopyName(const wchar_t* name, MT::_MQLSTRW& record) {
  const int capacity = record.capacity;
  wchar_t* const text = record.text;
  const std::size_t length = std::wcslen(name);
  if (text == nullptr || capacity < 0 || length >= static_cast<std::size_t>(capacity))
    return false;
  std::memcpy(text, name, (length + 1) * sizeof(wchar_t));
  return true;
}

// What a host would write without the library: one search, every name but
// "." and ".." into the next record.
std::uint64_t ListByHand(const std::wstring& pattern, Records& records) {
  Search search(pattern);
  if (!search.IsOpen()) return 0;
  std::uint64_t copied = 0;
  do {
    if (IsDotEntry(search.Record())) continue;
    if (!CopyName(search.Record().cFileName, records.Data()[copied])) return 0;
    ++copied;
  } while (copied < records.Size() && search.Next());
  return copied;
}

Outcome ListCase(const Context& context) {
  const std::wstring directory = context.scratch.Path(L"list");
  MakeFlatDirectory(directory, kListEntries);
  const std::wstring pattern = directory + L"\\*";
  Records byLibrary(kListEntries), byHand(kListEntries);
  const Outcome outcome = Compare(
      context,
      [&] {
        byLibrary.Blank();
        std::uint64_t listed = 0;
        const double ms = TimedMs([&] {
          listed = context.library.w.getListM(pattern.c_str(), kListBoth, byLibrary.Data(),
                                            byLibrary.Size());
        });
        Expect(listed == kListEntries, "PathGetListMW answered " + std::to_string(listed) +
                                           ", not " + std::to_string(kListEntries));
        return ms;
      },
      [&] {
        byHand.Blank();
        std::uint64_t listed = 0;
        const double ms = TimedMs([&] { listed = ListByHand(pattern, byHand); });
        Expect(listed == kListEntries, "the reference listed " + std::to_string(listed));
        return ms;
      });
  Expect(byLibrary.SameTexts(byHand), "PathGetListMW wrote other names than the search found");
  RequireRemoved(directory);
  return outcome;
}

// --- check-100k --------------------------------------------------------------

Outcome CheckCase(const Context& context) {
  const std::wstring directory = context.scratch.Path(L"check");
  MakeDirectory(directory);
  const Outcome outcome = Compare(
      context,
      [&] {
        int found = 0;
        const double ms = TimedMs([&] {
          for (int i = 0; i < kChecks; ++i) found += context.library.w.check(directory.c_str());
        });
        Expect(found == kChecks, "PathCheckW answered 1 in " + std::to_string(found) + " of " +
                                     std::to_string(kChecks) + " calls");
        return ms;
      },
      [&] {
        int found = 0;
        const double ms = TimedMs([&] {
          for (int i = 0; i < kChecks; ++i) {
            const Search search(directory);
            found += search.IsOpen() && IsDirectory(search.Record()) ? 1 : 0;
          }
        });
        Expect(found == kChecks, "FindFirstFileW found the directory in " +
                                     std::to_string(found) + " of " + std::to_string(kChecks));
        return ms;
      });
  RequireRemoved(directory);
  return outcome;
}

// --- clear-files-5k ----------------------------------------------------------

void ClearByHand(const std::wstring& root) {
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) fs::remove(entry.path());
}

using Clearing = std::function<void(const std::wstring& root)>;

Outcome ClearCaseAgainst(const Context& context, int directories, const Clearing& reference, const char* name) {
  const std::wstring tree = context.scratch.Path(L"clear");
  Census cleared;
  cleared.directories = directories;
  return Compare(
      context,
      [&] {
        MakeTree(tree, directories);
        int answer = 0;
        const double ms = TimedMs([&] { answer = context.library.w.clearFromFiles(tree.c_str()); });
        Expect(answer == 1, "PathClearFromFilesW answered " + std::to_string(answer));
        ExpectCensus(tree, cleared, "PathClearFromFilesW");
        RequireRemoved(tree);
        return ms;
      },
      [&] {
        MakeTree(tree, directories);
        const double ms = TimedMs([&] { reference(tree); });
        ExpectCensus(tree, cleared, name);
        RequireRemoved(tree);
        return ms;
      });
}

Outcome ClearCase(const Context& context) {
  return ClearCaseAgainst(context, kTreeDirectories, ClearByHand, "the reference clearing");
}

// --- copy-5k, delete-5k, and the same against their bare shell requests ---

// The request the library hands the shell for a copy or a delete, made
// directly: what the library adds around it is what it can change.
void ShellRequest(const UINT wFunc, const std::wstring& from, const std::wstring& to,
                  const char* what) {
  const std::wstring source = from + std::wstring(2, L'\0');
  const std::wstring destination = to + std::wstring(2, L'\0');
  SHFILEOPSTRUCTW request{};
  request.wFunc = wFunc;
  request.pFrom = source.c_str();
  request.pTo = wFunc == FO_DELETE ? nullptr : destination.c_str();
  request.fFlags = Utils::Shell::kSilentFinal;
  Expect(SHFileOperationW(&request) == 0 && !request.fAnyOperationsAborted,
         std::string("the shell's ") + what + " failed");
}

using Work = std::function<void(const std::wstring& from, const std::wstring& to)>;

Outcome CopyCaseAgainst(const Context& context, const Work& reference, const char* name,
                        int directories = kTreeDirectories) {
  const std::wstring source = context.scratch.Path(L"copy-source");
  const std::wstring destination = context.scratch.Path(L"copy-destination");
  MakeTree(source, directories);
  const Outcome outcome = Compare(
      context,
      [&] {
        int answer = 0;
        const double ms = TimedMs([&] {
          answer = context.library.w.copy(source.c_str(), destination.c_str());
        });
        Expect(answer == 1, "PathCopyW answered " + std::to_string(answer));
        ExpectCensus(destination, TreeCensus(directories), "PathCopyW");
        RequireRemoved(destination);
        return ms;
      },
      [&] {
        const double ms = TimedMs([&] { reference(source, destination); });
        ExpectCensus(destination, TreeCensus(directories), name);
        RequireRemoved(destination);
        return ms;
      });
  RequireRemoved(source);
  return outcome;
}

Outcome CopyCase(const Context& context) {
  return CopyCaseAgainst(
      context,
      [](const std::wstring& from, const std::wstring& to) {
        fs::copy(fs::path(from), fs::path(to), fs::copy_options::recursive);
      },
      "the reference copy");
}

Outcome CopyShellCase(const Context& context) {
  return CopyCaseAgainst(
      context,
      [](const std::wstring& from, const std::wstring& to) {
        ShellRequest(FO_COPY, from, to, "copy");
      },
      "the shell's copy");
}

Outcome DeleteCaseAgainst(const Context& context, const std::function<void(const std::wstring&)>& reference,
                          const char* name, int directories = kTreeDirectories) {
  const std::wstring tree = context.scratch.Path(L"delete");
  return Compare(
      context,
      [&] {
        MakeTree(tree, directories);
        int answer = 0;
        const double ms = TimedMs([&] { answer = context.library.w.remove(tree.c_str()); });
        Expect(answer == 1, "PathDeleteW answered " + std::to_string(answer));
        ExpectGone(tree, "PathDeleteW");
        return ms;
      },
      [&] {
        MakeTree(tree, directories);
        const double ms = TimedMs([&] { reference(tree); });
        ExpectGone(tree, name);
        return ms;
      });
}

Outcome DeleteCase(const Context& context) {
  // The tree's files and directories, and the root itself.
  const std::uintmax_t entries = kTreeFiles + kTreeDirectories + 1;
  return DeleteCaseAgainst(
      context,
      [&](const std::wstring& tree) {
        const std::uintmax_t removed = fs::remove_all(fs::path(tree));
        Expect(removed == entries, "remove_all removed " + std::to_string(removed) + " entries");
      },
      "the reference removal");
}

Outcome DeleteShellCase(const Context& context) {
  return DeleteCaseAgainst(
      context, [](const std::wstring& tree) { ShellRequest(FO_DELETE, tree, tree, "delete"); },
      "the shell's delete");
}

// --- scale: copy, delete and clear-files of 2,500 to 25,000 files ----------

// The shell's own requests alone, for a tree's clearing of its files: one
// delete for each file, as the library asks.
void ClearByShell(const std::wstring& root) {
  std::vector<std::wstring> files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) files.push_back(entry.path().wstring());
  for (const std::wstring& file : files) ShellRequest(FO_DELETE, file, file, "delete");
}

void Collect(Outcome& all, const Outcome& one, const char* work, int directories) {
  std::fprintf(stderr, "scale: %-11s %6d files: library %8.0f ms, the shell alone %8.0f ms\n", work,
               directories * kTreeFilesEach, Median(one.libraryMs), Median(one.referenceMs));
  all.libraryMs.insert(all.libraryMs.end(), one.libraryMs.begin(), one.libraryMs.end());
  all.referenceMs.insert(all.referenceMs.end(), one.referenceMs.begin(), one.referenceMs.end());
  all.ratios.insert(all.ratios.end(), one.ratios.begin(), one.ratios.end());
}

// How Wine's shell, and the library around it, grow with the tree: each
// size once, its times on standard error.
Outcome ScaleCase(const Context& context) {
  const Context once{context.library, context.scratch, Budget{1, 0.0}};
  const Work copy = [](const std::wstring& from, const std::wstring& to) { ShellRequest(FO_COPY, from, to, "copy"); };
  const auto remove = [](const std::wstring& tree) { ShellRequest(FO_DELETE, tree, tree, "delete"); };
  Outcome all;
  for (const int directories : {25, 50, 100, 250}) {
    Collect(all, CopyCaseAgainst(once, copy, "the shell's copy", directories), "copy", directories);
    Collect(all, DeleteCaseAgainst(once, remove, "the shell's delete", directories), "delete", directories);
    Collect(all, ClearCaseAgainst(once, directories, ClearByShell, "the shell's deletes"), "clear-files",
            directories);
  }
  return all;
}

}  // namespace

const std::vector<Case>& AllCases() {
  static const std::vector<Case> cases = {
      {"list-20k", ListCase},
      {"check-100k", CheckCase},
      {"clear-files-5k", ClearCase},
      {"copy-5k", CopyCase},
      {"copy-5k-shell", CopyShellCase},
      {"delete-5k", DeleteCase},
      {"delete-5k-shell", DeleteShellCase},
      {"scale", ScaleCase},
  };
  return cases;
}

}  // namespace Bench
