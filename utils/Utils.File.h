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

namespace MainFile {

// Shell operation wFunc (1 move, 2 copy, 3 delete, 4 rename), silent and
// final. True only when the shell reports complete success; another wFunc
// raises a report.
bool FileOperation(const std::wstring& from, const std::wstring& to,
                   const unsigned short wFunc);
bool DeleteOperation(const std::wstring& path);

// Creates a directory with its missing parents; an existing one is success.
bool CreatePath(const std::wstring& path);

// A directory link at link pointing to target, after checking that the
// target exists, validating link and creating its parent directories.
bool SymbolicLink(const std::wstring& target, const std::wstring& link,
                  const bool unused = true);

}  // namespace MainFile

namespace Path {

// Empties a directory and keeps it. False after any failed removal.
bool ClearContents(const std::wstring& path);
// Removes every file of a directory tree and keeps every directory.
bool ClearFromFiles(const std::wstring& path);

}  // namespace Path
}  // namespace Utils
