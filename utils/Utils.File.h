#pragma once
// Changing the file system: shell copy/move/delete, directory creation,
// directory links, and clearing directories.
#include <windows.h>
#include <shellapi.h>

#include <string>

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

// Shell operation wFunc (1 move, 2 copy, 3 delete, 4 rename), silent and
// final. True only when the shell reports complete success; another wFunc
// raises a report. The source must be a full path below a root (a drive or
// a share; a wildcard only in its last name) and a destination a full path,
// or a report is raised and nothing is touched. A delete removes directory
// links inside what it names as links first, so it never reaches through
// one; when a link cannot be removed, nothing is deleted and false comes
// back.
bool FileOperation(const std::wstring& from, const std::wstring& to,
                   const unsigned short wFunc);
bool DeleteOperation(const std::wstring& path);

// Creates a directory with its missing parents; an existing directory is
// success, an existing file in its place is not.
bool CreatePath(const std::wstring& path);

// A directory link at link pointing to target, after checking that the
// target exists, validating link and creating its parent directories.
bool SymbolicLink(const std::wstring& target, const std::wstring& link,
                  const bool unused = true);

}  // namespace MainFile

namespace Path {

// Empties a directory and keeps it. False after any failed removal. A path
// that is not an existing directory below a root raises a report.
bool ClearContents(const std::wstring& path);
// Removes every file of a directory tree and keeps every directory; enters
// directory links below it. Reports and results as for ClearContents.
bool ClearFromFiles(const std::wstring& path);

}  // namespace Path
}  // namespace Utils
