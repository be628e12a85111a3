#pragma once
// Trees of files a host makes, looks at and removes with plain Win32 calls,
// never through the library under test.
#include <windows.h>

#include <map>
#include <string>

namespace Host {

// The long-path form of a full path ("\\?\" before a drive path; a UNC or
// prefixed path as it is), so that a tree deeper than MAX_PATH stays in
// reach. No "." or ".." is resolved in it.
std::wstring Extended(const std::wstring& path);

bool RunningOnWine();

// Facts of the file system as a plain Win32 call sees them (the path as
// given, "." and ".." resolved by the system).
bool Exists(const std::wstring& path);
bool IsDirectory(const std::wstring& path);
// A directory with no entry but "." and "..".
bool IsEmptyDirectory(const std::wstring& path);

// What a copy must carry over and a refused call must leave: an entry's
// kind and the attributes a copy keeps, its size, and a digest of its bytes.
struct Entry {
  DWORD attributes;
  unsigned long long size;
  unsigned long long digest;
  bool operator==(const Entry& other) const {
    return attributes == other.attributes && size == other.size && digest == other.digest;
  }
};

// Every entry below root (root not included) by its path relative to root,
// never through a link: a link is listed, not entered. Empty when root
// cannot be listed.
using Snapshot = std::map<std::wstring, Entry>;
Snapshot SnapshotOf(const std::wstring& root);
std::wstring Describe(const Snapshot& snapshot);

// Removes path and everything below it, without recursion and without
// entering a link. Under Wine, where no Win32 call removes a link without
// acting on its target, directory links (and the directories holding them)
// are left, and a link to a file, which Wine lists as a plain file, takes
// its target with it: there, remove trees that may hold links from the
// Unix side. True when nothing is left.
bool RemoveTree(const std::wstring& path);

}  // namespace Host
