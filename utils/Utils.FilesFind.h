#pragma once
// Asking the file system (local, or an FTP connection of WinINet) what is there.
#include <windows.h>
#include <wininet.h>

#include <functional>
#include <string>
#include <vector>

#include "utils/Utils.Synchronize.h"

namespace Utils {

using FindDataList = std::vector<WIN32_FIND_DATAW>;

// What a search record is: "." or "..", a directory, a directory link.
bool IsDotEntry(const WIN32_FIND_DATAW& record);
bool IsDirectory(const WIN32_FIND_DATAW& record);
bool IsDirectoryLink(const WIN32_FIND_DATAW& record);

// A search of "C:\Data\" would find nothing; the directory itself is meant,
// so one trailing backslash is dropped before a path goes to the system.
std::wstring SearchArgument(const std::wstring& path);

// Owns one handle. A handle still held at destruction (a report interrupted
// the search) is closed quietly; the normal path closes through Close, which
// gives the handle up first so it is never closed twice.
template <class Closer> class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(HANDLE handle) { Adopt(handle); }
  ~ScopedHandle() {
    if (handle_ != nullptr) Closer::Close(handle_);
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  // Both the invalid-handle value and null mean that nothing was opened.
  void Adopt(HANDLE handle) { handle_ = handle == INVALID_HANDLE_VALUE ? nullptr : handle; }
  bool Valid() const { return handle_ != nullptr; }
  HANDLE Get() const { return handle_; }

  bool Close() {
    const HANDLE handle = handle_;
    handle_ = nullptr;
    return Closer::Close(handle);
  }

 private:
  HANDLE handle_ = nullptr;
};

struct LocalSearchCloser {
  static bool Close(HANDLE handle) { return FindClose(handle) != FALSE; }
};
using LocalSearchHandle = ScopedHandle<LocalSearchCloser>;

class FilesFind {
 public:
  enum : unsigned short { kNotSet = 0, kLocal = 1, kFtp = 2 };
  enum : unsigned short { kDirectories = 1, kFiles = 2, kAll = 3 };
  enum : unsigned short { kNothing = 0, kDirectory = 1, kOther = 2 };

  // Set up for the local file system.
  FilesFind();
  virtual ~FilesFind();
  FilesFind(const FilesFind&) = delete;
  FilesFind& operator=(const FilesFind&) = delete;

  // Searches an open FTP connection instead; the connection stays the
  // caller's to close.
  void UseFtp(HINTERNET connection, DWORD flags, DWORD_PTR context);

  // 0 nothing matches, 1 the first match is a directory, 2 anything else.
  unsigned short Status(const std::wstring& path);

  // One directory level: the entries matching pattern (never "." or ".."),
  // kept by wSearch (1 directories, 2 files, 3 all). Empties list first.
  unsigned long long GetList(const std::wstring& pattern, const unsigned short wSearch,
                             FindDataList& list);

  // The same level handed to take entry by entry, as the system returns
  // them, with no list in between; take answers false to end the search
  // early. The checks, reports and failures are those of GetList.
  using Take = std::function<bool(const WIN32_FIND_DATAW&)>;
  void ForEach(const std::wstring& pattern, const unsigned short wSearch, const Take& take);

  // Every file below the pattern's directory, depth first, appended to list;
  // cFileName holds the full path (fullPath) or the path below the top
  // directory. cut 0: worked out from the pattern. Directory links are
  // entered, except one named like the directory holding it and one leading
  // back into a directory the walk is inside of. A level that cannot be
  // listed is written to the standard wide output and passed over.
  unsigned long long GetListFull(const std::wstring& pattern, FindDataList& list,
                                 const bool fullPath, unsigned long long cut);

 private:
  // Zeroes the four fields under the lock (taken again when already held).
  void Reset();

  DWORD flags_ = 0;
  DWORD_PTR context_ = 0;
  HINTERNET connection_ = nullptr;
  unsigned short method_ = kNotSet;
  Sync::CriticalSection lock_;
};

// One-shot uses: a search object for one call.
unsigned short StatusOf(const std::wstring& path);
unsigned long long ListOf(const std::wstring& pattern, const unsigned short wSearch,
                          FindDataList& list);
unsigned long long ListFilesBelow(const std::wstring& pattern, FindDataList& list);
void EachOf(const std::wstring& pattern, const unsigned short wSearch, const FilesFind::Take& take);

}  // namespace Utils
