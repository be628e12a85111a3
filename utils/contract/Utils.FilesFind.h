#pragma once
// Kept for the contract, reached by no export: the search object of the
// library's first form, which lists the local file system through the one
// level search (Utils.File.Level) and the one walk (Utils.File.Tree), or an
// FTP connection of WinINet once UseFtp sets one up.
#include <windows.h>

#include <string>

#include "utils/files/Utils.File.Level.h"
#include "utils/runtime/Utils.Synchronize.h"

namespace Utils {

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

  // Searches an open FTP connection (an HINTERNET) instead; the connection
  // stays the caller's to close.
  void UseFtp(void* connection, DWORD flags, DWORD_PTR context);
  wchar_t Separator() const;

  // 0 nothing matches, 1 the first match is a directory, 2 anything else.
  unsigned short Status(const std::wstring& path);

  // One directory level: the entries matching pattern (never "." or ".."),
  // kept by wSearch (1 directories, 2 files, 3 all). Empties list first.
  unsigned long long GetList(const std::wstring& pattern, const unsigned short wSearch, FindDataList& list);

  // The same level handed to visit entry by entry, as the system returns
  // them; visit answers false to end the search early.
  void ForEach(const std::wstring& pattern, const unsigned short wSearch, const Level::Visit& visit);

  // Every file below the pattern's directory, depth first, appended to list;
  // cFileName holds the full path (fullPath) or the path below the top
  // directory. cut 0: worked out from the pattern. Directory links are
  // entered, except one named like the directory holding it and one leading
  // back into a directory the walk is inside of. A level that cannot be
  // listed is written to the standard wide output and passed over (counted
  // in *unlisted when given). A name below the top that the system cannot
  // address exactly raises a report naming it. Walks without recursion.
  unsigned long long GetListFull(const std::wstring& pattern, FindDataList& list, const bool fullPath,
                                 unsigned long long cut, unsigned long long* unlisted = nullptr);

 private:
  // Zeroes the four fields under the lock (taken again when already held).
  void Reset();
  unsigned long long FtpListFull(const std::wstring& pattern, FindDataList& list, bool fullPath,
                                 unsigned long long cut);

  DWORD flags_ = 0;
  DWORD_PTR context_ = 0;
  void* connection_ = nullptr;
  unsigned short method_ = kNotSet;
  Sync::CriticalSection lock_;
};

}  // namespace Utils
