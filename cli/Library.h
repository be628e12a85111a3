#pragma once
// Sedgefold.dll loaded the way the terminal loads it: by bare name, so that
// the program's own directory is searched first, and its exports looked up
// by name. The program is never linked to the library.
#include <windows.h>

#include <string>

namespace Cli {

class Library {
 public:
  Library();
  ~Library();
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  bool Loaded() const { return module_ != nullptr; }
  // The error LoadLibraryW left when the library did not load.
  DWORD LoadError() const { return loadError_; }
  // Where the loaded library's file is.
  std::wstring FilePath() const;

  // The export `name` typed as Fn, or null when it is missing.
  template <class Fn> Fn Find(const char* name) const {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(Address(name)));
  }

 private:
  FARPROC Address(const char* name) const;

  HMODULE module_;
  DWORD loadError_;
};

}  // namespace Cli
