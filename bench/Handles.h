#pragma once
// Owners of the Windows handles the benchmark opens itself.
#include <windows.h>

#include <cwchar>
#include <string>

namespace Bench {

// One FindFirstFileW search, closed however the scope is left. The record
// is left uninitialised: the reference loops pay for nothing the system
// does not fill in.
class Search {
 public:
  explicit Search(const std::wstring& pattern)
      : handle_(FindFirstFileW(pattern.c_str(), &record_)) {}
  ~Search() {
    if (IsOpen()) FindClose(handle_);
  }
  Search(const Search&) = delete;
  Search& operator=(const Search&) = delete;

  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  const WIN32_FIND_DATAW& Record() const { return record_; }
  bool Next() { return FindNextFileW(handle_, &record_) != FALSE; }

 private:
  WIN32_FIND_DATAW record_;
  HANDLE handle_;
};

class File {
 public:
  explicit File(HANDLE handle) : handle_(handle) {}
  ~File() {
    if (IsOpen()) CloseHandle(handle_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

inline bool IsDotEntry(const WIN32_FIND_DATAW& record) {
  return std::wcscmp(record.cFileName, L".") == 0 || std::wcscmp(record.cFileName, L"..") == 0;
}

inline bool IsDirectory(const WIN32_FIND_DATAW& record) {
  return (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace Bench
