#include "Host.h"

#include <psapi.h>
#include <shlobj.h>

#include <atomic>
#include <cstdio>
#include <stdexcept>

#include "Jail.h"
#include "utils/runtime/Utils.Handle.h"

namespace Host {
namespace {

std::wstring Directory(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/")); }

std::wstring Parent(const std::wstring& relative) {
  const std::size_t slash = relative.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : relative.substr(0, slash);
}

// A new scratch directory's path, in the folder that holds those of all
// runs: on the jail's drive S:, whose escapes the jail's canaries would show.
std::wstring ScratchName() {
  static std::atomic<unsigned> counter{0};
  CreateDirectoryW(L"S:\\sedgefold-e2e", nullptr);
  return L"S:\\sedgefold-e2e\\scratch-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(++counter);
}

// A box that no hook of its own thread caught is one no test looks at: it
// fails the running test.
void Deliver(const Box& box) {
  if (box.hooked) return;  // the hook's owner looks at it
  if (::testing::UnitTest::GetInstance()->current_test_info() != nullptr)
    ADD_FAILURE() << "A message box appeared on a thread without a BoxHook; closed it.\n"
                  << "Caption: " << box.caption << "\nText: " << box.text;
  else
    std::fprintf(stderr, "A message box appeared outside any test: %ls\n", box.text.c_str());
}

}  // namespace

const Library& Loaded() {
  static const Library library = [] {
    SetBoxSink(Deliver);  // boxes can come from the first export call on
    return Library();
  }();
  if (!library.Loaded()) throw std::runtime_error(Utf8(library.Problem()));
  // The copy next to the test program is the fresh build; any other copy
  // the loader might find is not.
  const std::wstring dll = Directory(library.FilePath()), tests = Directory(ModulePath(nullptr));
  if (CompareStringOrdinal(dll.c_str(), -1, tests.c_str(), -1, TRUE) != CSTR_EQUAL)
    throw std::runtime_error("Sedgefold.dll was loaded from elsewhere than the test program's folder");
  return library;
}

void PutFile(const std::wstring& path, const std::string& content, DWORD attributes) {
  DWORD written = 0;
  const Utils::FileHandle file(CreateFileW(Extended(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file || !WriteFile(file.get(), content.data(), DWORD(content.size()), &written, nullptr) ||
      written != content.size())
    ADD_FAILURE() << "cannot create file " << path << ", error " << GetLastError();
}

std::size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof counters))
    return 0;
  // Wine leaves PrivateUsage at 0 and fills the page-file usage, which
  // Windows keeps equal to it: the process's committed private memory.
  return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

std::size_t HeapBytesInUse() {
  std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
  heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
  std::size_t used = 0;
  for (HANDLE heap : heaps) {
    if (!HeapLock(heap)) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry))
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) used += entry.cbData;
    HeapUnlock(heap);
  }
  return used;
}

bool RemoveTestTree(const std::wstring& path) {
  if (RunningOnWine()) RunUnix({L"rm", L"-rf", L"--", UnixPath(path)}, 60000);
  return RemoveTree(path);
}

void Scratch::SetUp() {
  Loaded();  // and with it the sink that fails a box no hook caught
  root_ = ScratchName();
  RemoveTestTree(root_);  // left by an earlier run that had the same process id
  ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr))
      << "cannot create scratch directory " << root_ << ", error " << GetLastError();
}

void Scratch::TearDown() {
  EXPECT_TRUE(root_.empty() || RemoveTestTree(root_)) << "scratch directory left: " << root_;
}

std::wstring Scratch::MakeDir(const std::wstring& relative) {
  const std::wstring path = Path(relative);
  const int error = SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);  // with its parents
  if (error != ERROR_SUCCESS && error != ERROR_ALREADY_EXISTS)
    ADD_FAILURE() << "cannot create directory " << path << ", error " << error;
  return path;
}

std::wstring Scratch::MakeFile(const std::wstring& relative, const std::string& content) {
  MakeDir(Parent(relative));
  PutFile(Path(relative), content);
  return Path(relative);
}

}  // namespace Host
