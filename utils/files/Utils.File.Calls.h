#pragma once
// The calls whose answers the tests replace, to give answers Wine never
// gives: the shell's file operation, directory and link creation, and the
// search of a directory level (every listing goes through Utils.File.Level).
// The library always uses the real ones; its other system calls are made
// directly.
#include <windows.h>
#include <shellapi.h>

namespace Utils {

struct FileSystemCalls {
  int(WINAPI* fileOperation)(LPSHFILEOPSTRUCTW request);
  int(WINAPI* createDirectory)(HWND window, LPCWSTR path, const SECURITY_ATTRIBUTES* security);
  BOOLEAN(WINAPI* createSymbolicLink)(LPCWSTR link, LPCWSTR target, DWORD flags);
  HANDLE(WINAPI* findFirst)(LPCWSTR pattern, FINDEX_INFO_LEVELS level, LPVOID record, FINDEX_SEARCH_OPS search,
                            LPVOID filter, DWORD flags);
  BOOL(WINAPI* findNext)(HANDLE search, LPWIN32_FIND_DATAW record);
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

}  // namespace Utils
