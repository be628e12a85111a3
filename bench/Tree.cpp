#include "bench/Tree.h"

#include <windows.h>

#include <cstdio>

#include "bench/Failure.h"
#include "host/Tree.h"
#include "utils/runtime/Utils.Handle.h"

namespace Bench {
namespace {

// Every file of the tree holds this, so a copy can be checked byte for byte
// in total without reading anything back.
constexpr char kContent[] = "Sedgefold benchmark file content.\r\n";
constexpr long long kContentBytes = sizeof(kContent) - 1;

std::wstring Numbered(const wchar_t* stem, const int number, const wchar_t* extension) {
  wchar_t text[32];
  std::swprintf(text, 32, L"%ls%05d%ls", stem, number, extension);
  return text;
}

void MakeFile(const std::wstring& path, const char* content, const DWORD bytes) {
  const Utils::FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) FailOnSystem("creating file", path);
  DWORD written = 0;
  if (bytes > 0 && (!WriteFile(file.get(), content, bytes, &written, nullptr) || written != bytes))
    FailOnSystem("writing file", path);
}

}  // namespace

std::string Describe(const Census& census) {
  return std::to_string(census.files) + " files, " + std::to_string(census.directories) +
         " directories, " + std::to_string(census.bytes) + " bytes";
}

void MakeDirectory(const std::wstring& path) {
  if (!CreateDirectoryW(path.c_str(), nullptr)) FailOnSystem("creating directory", path);
}

void MakeTree(const std::wstring& root, const int directories) {
  MakeDirectory(root);
  for (int d = 0; d < directories; ++d) {
    const std::wstring directory = root + L"\\" + Numbered(L"dir-", d, L"");
    MakeDirectory(directory);
    for (int f = 0; f < kTreeFilesEach; ++f)
      MakeFile(directory + L"\\" + Numbered(L"file-", f, L".txt"), kContent, kContentBytes);
  }
}

void MakeFlatDirectory(const std::wstring& directory, const int files) {
  MakeDirectory(directory);
  for (int f = 0; f < files; ++f)
    MakeFile(directory + L"\\" + Numbered(L"entry-", f, L".dat"), nullptr, 0);
}

Census TreeCensus(const int directories) {
  Census census;
  census.files = static_cast<long long>(directories) * kTreeFilesEach;
  census.directories = directories;
  census.bytes = census.files * kContentBytes;
  return census;
}

Census CensusOf(const std::wstring& directory) {
  Census census;
  for (const auto& [path, entry] : Host::SnapshotOf(directory)) {
    if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      ++census.directories;
    } else {
      ++census.files;
      census.bytes += static_cast<long long>(entry.size);
    }
  }
  return census;
}

void RequireRemoved(const std::wstring& path) {
  Expect(Host::RemoveTree(path), "cannot remove " + Utf8(path));
}

Scratch::Scratch() {
  wchar_t temporary[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, temporary);
  Expect(length > 0 && length <= MAX_PATH, "no temporary folder");
  root_ = std::wstring(temporary) + L"sedgefold-bench-" + std::to_wstring(GetCurrentProcessId());
  // Left by an earlier run that had the same process id.
  if (Exists(root_)) RequireRemoved(root_);
  MakeDirectory(root_);
}

Scratch::~Scratch() {
  if (!Host::RemoveTree(root_))
    std::fprintf(stderr, "sedgefold-bench: scratch directory left: %s\n", Utf8(root_).c_str());
}

}  // namespace Bench
