#pragma once
// The searches the reference code makes itself, their handles held by the
// library's one handle owner.
#include <windows.h>

#include <cwchar>
#include <string>

#include "utils/runtime/Utils.Handle.h"

namespace Bench {

// One FindFirstFileW search and its current record. The record is left
// uninitialised: the reference loops pay for nothing the system does not
// fill in.
class Search {
 public:
  explicit Search(const std::wstring& pattern)
      : handle_(FindFirstFileW(pattern.c_str(), &record_)) {}

  bool IsOpen() const { return static_cast<bool>(handle_); }
  const WIN32_FIND_DATAW& Record() const { return record_; }
  bool Next() { return FindNextFileW(handle_.get(), &record_) != FALSE; }

 private:
  WIN32_FIND_DATAW record_;
  Utils::FindHandle handle_;
};

inline bool IsDotEntry(const WIN32_FIND_DATAW& record) {
  return std::wcscmp(record.cFileName, L".") == 0 || std::wcscmp(record.cFileName, L"..") == 0;
}

inline bool IsDirectory(const WIN32_FIND_DATAW& record) {
  return (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace Bench
