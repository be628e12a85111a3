#pragma once
// Asking the file system (local, or an FTP connection of WinINet) what is
// there: one level at a time. The walk of a whole tree is Utils.File.Tree.
#include <windows.h>
#include <wininet.h>

#include <functional>
#include <string>
#include <vector>

#include "utils/runtime/Utils.Synchronize.h"

namespace Utils {

using FindDataList = std::vector<WIN32_FIND_DATAW>;

// What a search record is: "." or "..", a directory, a directory link.
bool IsDotEntry(const WIN32_FIND_DATAW& record);
bool IsDirectory(const WIN32_FIND_DATAW& record);
bool IsDirectoryLink(const WIN32_FIND_DATAW& record);
// A link of either kind: a reparse point that stands for another name
// (symbolic link, junction, mount point). Wine lists its directory links
// with no tag at all. Other reparse points (cloud placeholders, deduplicated
// or compressed files) are the entries themselves.
bool IsLink(const WIN32_FIND_DATAW& record);
// The size of the file a record lists.
unsigned long long SizeOf(const WIN32_FIND_DATAW& record);

// A search of "C:\Data\" would find nothing; the directory itself is meant,
// so one trailing backslash is dropped before a path goes to the system.
std::wstring SearchArgument(const std::wstring& path);

// A search record's cFileName takes paths of 259 characters at most; so do
// the shell's requests. The reports of a path longer than that (of a file,
// or of a directory with the "\*" its listing needs), of a search that got
// no handle, and of one cut short.
constexpr std::size_t kLongestPath = MAX_PATH - 1;
std::wstring TooLongMessage(bool directory, const std::wstring& path, unsigned long long length);
std::wstring NoHandleMessage(const std::wstring& pattern);
std::wstring CutShortMessage(const std::wstring& pattern);

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
  wchar_t Separator() const;

  // 0 nothing matches, 1 the first match is a directory, 2 anything else.
  unsigned short Status(const std::wstring& path);

  // One directory level: the entries matching pattern (never "." or ".."),
  // kept by wSearch (1 directories, 2 files, 3 all). Empties list first.
  unsigned long long GetList(const std::wstring& pattern, const unsigned short wSearch, FindDataList& list);

  // The same level handed to take entry by entry, as the system returns
  // them, with no list in between; take answers false to end the search
  // early. The checks, reports and failures are those of GetList: the level
  // ends at the system's first refusal, whatever it was.
  using Take = std::function<bool(const WIN32_FIND_DATAW&)>;
  void ForEach(const std::wstring& pattern, const unsigned short wSearch, const Take& take);

  // How a level's search ended: every entry seen (the system said "no more
  // files"), no search opened, or cut short by another refusal; error is
  // the system's code for the last two.
  enum class End { kComplete, kNotOpened, kCutShort };
  struct Ended {
    End end;
    DWORD error;
  };
  struct Scan {
    bool validate;    // the pattern's directory checked as GetList checks it
    bool shortNames;  // records carry the 8.3 names the system gave
  };
  // Every entry of one level but "." and "..", to take, and how the search
  // ended. Only "no more files" ends it complete.
  Ended ScanLevel(const std::wstring& pattern, const Scan& scan, const Take& take);

  // Every file below the pattern's directory, depth first, appended to list;
  // cFileName holds the full path (fullPath) or the path below the top
  // directory. cut 0: worked out from the pattern. Directory links are
  // entered, except one named like the directory holding it and one leading
  // back into a directory the walk is inside of. A level that cannot be
  // listed is written to the standard wide output and passed over (counted
  // in *unlisted when given). A name below the top that the system cannot
  // address exactly raises a report naming it: the walk would otherwise
  // list some other directory in its place. Walks without recursion.
  unsigned long long GetListFull(const std::wstring& pattern, FindDataList& list, const bool fullPath,
                                 unsigned long long cut, unsigned long long* unlisted = nullptr);

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
void EachOf(const std::wstring& pattern, const unsigned short wSearch, const FilesFind::Take& take);

}  // namespace Utils
