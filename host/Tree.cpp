#include "host/Tree.h"

#include <vector>

#include "utils/runtime/Utils.Handle.h"

namespace Host {
namespace {

constexpr DWORD kKept = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY |
                        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_REPARSE_POINT;

bool Has(DWORD attributes, DWORD bit) { return (attributes & bit) != 0; }

unsigned long long Fnv1a(const std::wstring& path, unsigned long long& size) {
  unsigned long long hash = 14695981039346656037ULL;
  size = 0;
  const Utils::FileHandle file(CreateFileW(Extended(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                           nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return 0;
  unsigned char chunk[8192];
  DWORD read = 0;
  while (ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) {
    size += read;
    for (DWORD i = 0; i < read; ++i) hash = (hash ^ chunk[i]) * 1099511628211ULL;
  }
  return hash;
}

// Calls visit(relative path, record) for every entry below root, depth
// first, parents before children; enter decides whether a directory's
// entries follow.
template <class Visit> void Walk(const std::wstring& root, Visit&& visit) {
  std::vector<std::wstring> pending{L""};
  while (!pending.empty()) {
    const std::wstring relative = pending.back();
    pending.pop_back();
    WIN32_FIND_DATAW record;
    const Utils::FindHandle search(
        FindFirstFileW((Extended(root + relative) + L"\\*").c_str(), &record));
    if (!search) continue;
    do {
      const std::wstring name = record.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = relative + L"\\" + name;
      if (visit(path, record)) pending.push_back(path);
    } while (FindNextFileW(search.get(), &record));
  }
}

}  // namespace

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && Has(attributes, FILE_ATTRIBUTE_DIRECTORY);
}

bool IsEmptyDirectory(const std::wstring& path) {
  if (!IsDirectory(path)) return false;
  WIN32_FIND_DATAW entry;
  const Utils::FindHandle find(FindFirstFileW((path + L"\\*").c_str(), &entry));
  if (!find) return true;
  do {
    const std::wstring name = entry.cFileName;
    if (name != L"." && name != L"..") return false;
  } while (FindNextFileW(find.get(), &entry));
  return true;
}

std::wstring Extended(const std::wstring& path) {
  return path.rfind(L"\\\\", 0) == 0 ? path : L"\\\\?\\" + path;
}

bool RunningOnWine() {
  static const bool wine =
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

Snapshot SnapshotOf(const std::wstring& root) {
  Snapshot snapshot;
  Walk(root, [&](const std::wstring& relative, const WIN32_FIND_DATAW& record) {
    Entry entry{record.dwFileAttributes & kKept, 0, 0};
    const bool directory = Has(record.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    const bool link = Has(record.dwFileAttributes, FILE_ATTRIBUTE_REPARSE_POINT);
    if (!directory && !link) entry.digest = Fnv1a(root + relative, entry.size);
    snapshot[relative.substr(1)] = entry;
    return directory && !link;
  });
  return snapshot;
}

std::wstring Describe(const Snapshot& snapshot) {
  std::wstring text;
  for (const auto& [path, entry] : snapshot)
    text += path + L" " + std::to_wstring(entry.attributes) + L" " + std::to_wstring(entry.size) +
            L" " + std::to_wstring(entry.digest) + L"\n";
  return text;
}

bool RemoveTree(const std::wstring& path) {
  const DWORD top = GetFileAttributesW(Extended(path).c_str());
  if (top == INVALID_FILE_ATTRIBUTES) return true;
  std::vector<std::pair<std::wstring, DWORD>> found{{L"", top}};
  if (Has(top, FILE_ATTRIBUTE_DIRECTORY) && !Has(top, FILE_ATTRIBUTE_REPARSE_POINT))
    Walk(path, [&](const std::wstring& relative, const WIN32_FIND_DATAW& record) {
      found.emplace_back(relative, record.dwFileAttributes);
      return Has(record.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY) &&
             !Has(record.dwFileAttributes, FILE_ATTRIBUTE_REPARSE_POINT);
    });
  // Children come after their parents: remove from the end.
  for (auto entry = found.rbegin(); entry != found.rend(); ++entry) {
    const std::wstring target = Extended(path + entry->first);
    const DWORD attributes = entry->second;
    if (Has(attributes, FILE_ATTRIBUTE_REPARSE_POINT)) {
      if (RunningOnWine()) continue;  // RemoveDirectoryW would empty its target
    } else {
      SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    if (Has(attributes, FILE_ATTRIBUTE_DIRECTORY))
      RemoveDirectoryW(target.c_str());
    else
      DeleteFileW(target.c_str());
  }
  return GetFileAttributesW(Extended(path).c_str()) == INVALID_FILE_ATTRIBUTES;
}

}  // namespace Host
