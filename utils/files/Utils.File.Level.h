#pragma once
// One directory level of the local file system, as the system lists it:
// every walk of a tree, every listing and every look after an operation
// goes through the one search here. Only "no more files" ends a level whole.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

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
// The size of the file a record lists, both halves.
unsigned long long SizeOf(const WIN32_FIND_DATAW& record);

// A search record's cFileName takes paths of 259 characters at most; so do
// the shell's requests. The reports of a path longer than that (of a file,
// or of a directory with the "\*" its listing needs), of a search that got
// no handle, and of one cut short.
constexpr std::size_t kLongestPath = MAX_PATH - 1;
std::wstring TooLongMessage(bool directory, const std::wstring& path, unsigned long long length);
std::wstring NoHandleMessage(const std::wstring& pattern);
std::wstring CutShortMessage(const std::wstring& pattern);

namespace Level {

// Answers false to end the search early.
using Visit = std::function<bool(const WIN32_FIND_DATAW&)>;

// How a level's search ended: every entry seen (the system said "no more
// files"), no search opened, or cut short by another refusal; error is the
// system's code for the last two.
enum class End { kComplete, kNotOpened, kCutShort };
struct Ended {
  End end;
  DWORD error;
};
struct Options {
  bool validate;    // the pattern's directory checked by the path rules first (a report when it breaks one)
  bool shortNames;  // records carry the 8.3 names the system gave
};

// Every entry of one level but "." and "..", handed to visit as the system
// returns them, and how the search ended. One trailing backslash of the
// pattern is dropped: "C:\Data\" means the directory itself.
Ended Scan(const std::wstring& pattern, const Options& options, const Visit& visit);

// The level's entries that kind keeps (1 directories, 2 files, 3 all; any
// other kind raises a report), handed to visit; a level that cannot be
// opened raises a report with the system's error.
enum : unsigned short { kDirectories = 1, kFiles = 2, kAll = 3 };
bool Keeps(const WIN32_FIND_DATAW& record, unsigned short kind);
void List(const std::wstring& pattern, unsigned short kind, const Visit& visit);

// The routines a level's reports name: the search object's, whose listing
// this is.
extern const char kStatusSignature[];
extern const char kListSignature[];

// What the first match of path is.
enum class Status { kNothing, kDirectory, kOther };
Status StatusOf(const std::wstring& path);

}  // namespace Level
}  // namespace Utils
