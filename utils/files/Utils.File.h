#pragma once
// Changing the file system: shell copy/move/delete, directory creation,
// directory links, and clearing directories.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "utils/errors/Utils.Error.h"
#include "utils/files/Utils.FilesFind.h"

namespace Utils {

// The system calls of this unit, replaceable by tests; the library always
// uses the real functions.
struct FileSystemCalls {
  int(WINAPI* fileOperation)(LPSHFILEOPSTRUCTW request);
  int(WINAPI* createDirectory)(HWND window, LPCWSTR path,
                               const SECURITY_ATTRIBUTES* security);
  BOOLEAN(WINAPI* createSymbolicLink)(LPCWSTR link, LPCWSTR target, DWORD flags);
};
FileSystemCalls& Calls();
FileSystemCalls RealCalls();

// Puts other calls in place for its lifetime and the real ones back after,
// however the scope is left. Not for concurrent use: tests only.
class ScopedCalls {
 public:
  explicit ScopedCalls(const FileSystemCalls& calls) { Calls() = calls; }
  ~ScopedCalls() { Calls() = RealCalls(); }
  ScopedCalls(const ScopedCalls&) = delete;
  ScopedCalls& operator=(const ScopedCalls&) = delete;
};

namespace MainFile {

// The flags of every shell request: nothing is ever shown or asked, and
// nothing goes to the recycle bin.
constexpr FILEOP_FLAGS kSilentFinal = FOF_MULTIDESTFILES | FOF_SILENT | FOF_NOCONFIRMATION |
                                      FOF_NOCONFIRMMKDIR | FOF_NOERRORUI;
static_assert(kSilentFinal == 0x0615, "the shell request's flags");

// Shell operation wFunc (1 move, 2 copy, 3 delete, 4 rename), silent and
// final. True only when the work is done: the shell reports complete
// success and what it claims is found on disk. Another wFunc raises a
// report.
//
// Refused with a report before anything is touched: a source that is not a
// full path below a root (a drive or a share; a wildcard only in its last
// name), a destination that is not a full path or is a pattern, a name in
// either that the system and the shell read differently ("...", "x."), and
// a tree holding an entry the shell cannot handle exactly (see Tree::Take).
// A delete removes links inside what it names as links first, never what
// they lead to; where the system cannot remove a link by itself, the delete
// is refused. A move of a link, or of a tree holding one, is refused.
//
// False, with nothing done and no report: nothing matches the source, a
// path of MAX_PATH characters or more (the shell takes none longer), a
// destination that is the source or lies inside it (by identity, whatever
// letters or links lead there).
bool FileOperation(const std::wstring& from, const std::wstring& to,
                   const unsigned short wFunc);
bool DeleteOperation(const std::wstring& path);

// Creates a directory with its missing parents; an existing directory is
// success, an existing file in its place is not.
bool CreatePath(const std::wstring& path);

// A directory link at link pointing to target, after checking that the
// target exists, validating link and creating its parent directories. True
// only when a link leading to target is there afterwards.
bool SymbolicLink(const std::wstring& target, const std::wstring& link,
                  const bool unused = true);

// Removes the link at path itself, never what it leads to, and checks that
// it is gone and its target unchanged. Raises a report, before anything is
// touched, where the system cannot remove the link without acting on its
// target (Wine).
bool RemoveLink(const std::wstring& path);

}  // namespace MainFile

namespace Path {

// Empties a directory and keeps it. False after any failed removal. A path
// that is not an existing directory below a root raises a report; so does a
// tree that a delete would refuse, before anything is removed.
bool ClearContents(const std::wstring& path);
// Removes every file of a directory tree and keeps every directory; enters
// directory links below it. False also when a level could not be listed.
// Reports as for ClearContents.
bool ClearFromFiles(const std::wstring& path);

}  // namespace Path

// What an operation learns of a tree before it hands the tree to the shell.
namespace Tree {

enum class Kind : unsigned char { kFile, kDirectory, kLink };

struct Entry {
  std::wstring relative;  // below the survey's directory: a name, or names joined by "\"
  Kind kind;
  unsigned long long size;  // of a file
};

// How the shell will treat the tree.
struct Plan {
  bool enterLinks = false;     // a copy: the shell copies through directory links
  bool findFileLinks = false;  // open files where listings show file links as files
  // A copy or move: where the source goes, and whether it lands inside an
  // existing directory there rather than as it.
  std::wstring destination;
  bool nested = false;
  std::vector<Identity> destinationChain;  // the destination and its existing ancestors
};

struct Survey {
  std::wstring directory;      // where the source's matches lie, with its backslash
  bool pattern = false;        // the source's last name holds a wildcard
  std::vector<Entry> entries;  // the matches first, then everything below them
  std::size_t matches = 0;
  bool intoItself = false;     // a directory of the tree is the destination or above it

  std::wstring PathOf(const Entry& entry) const { return directory + entry.relative; }
  // Where an entry is expected after a copy or move to destination.
  std::wstring DestinationOf(const Entry& entry, const std::wstring& destination,
                             bool nested) const;
};

// Walks what source names (one entry, or the matches of the wildcard in its
// last name), without recursion and without changing anything. Raises a
// report for site naming the first entry the shell could not handle
// exactly: a name it cannot address, a path (or its place at the
// destination) too long for it, a directory that cannot be listed, a link
// leading back into the walk. A source that matches nothing gives no
// entries.
Survey Take(const Error::Site& site, const std::wstring& source, const Plan& plan);

// For each of paths (files, directory by directory), whether it is a link
// where listings show links to files as files: a link resolves to somewhere
// other than where it is listed. A long list is shared among a few threads.
std::vector<char> FileLinksAmong(const std::vector<std::wstring>& paths);

// The destination and every existing directory above it, by identity.
std::vector<Identity> ChainOf(const std::wstring& destination);

// True when every entry is at the destination as the survey saw it: each
// directory a directory, each file of the same size.
bool Arrived(const Survey& survey, const std::wstring& destination, bool nested);

}  // namespace Tree
}  // namespace Utils
