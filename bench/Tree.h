#pragma once
// The directories the cases work on, made and unmade with plain Win32 calls
// so that neither side of a comparison prepares or checks the other's work.
#include <string>

#include "host/Tree.h"

namespace Bench {

// The tree of the destructive cases: 50 directories of 100 small files.
constexpr int kTreeDirectories = 50;
constexpr int kTreeFilesEach = 100;
constexpr int kTreeFiles = kTreeDirectories * kTreeFilesEach;

// What lies below a directory, the directory itself not counted.
struct Census {
  long long files = 0;
  long long directories = 0;
  long long bytes = 0;
  bool operator==(const Census& other) const {
    return files == other.files && directories == other.directories && bytes == other.bytes;
  }
};

std::string Describe(const Census& census);

void MakeDirectory(const std::wstring& path);
// Makes root with the benchmark tree inside (or one of as many directories
// of the same files); root must not exist.
void MakeTree(const std::wstring& root, int directories = kTreeDirectories);
// Makes directory with `files` empty files inside.
void MakeFlatDirectory(const std::wstring& directory, int files);

// The census of the benchmark tree, as MakeTree makes it.
Census TreeCensus(int directories = kTreeDirectories);
Census CensusOf(const std::wstring& directory);

using Host::Exists;
// Removes path with everything below it, or fails the run.
void RequireRemoved(const std::wstring& path);

// The run's own directory in the temporary folder, removed at the end.
class Scratch {
 public:
  Scratch();
  ~Scratch();
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  std::wstring Path(const std::wstring& name) const { return root_ + L"\\" + name; }

 private:
  std::wstring root_;
};

}  // namespace Bench
