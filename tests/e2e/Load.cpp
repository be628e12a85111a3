// Loading the library under other file names: the module name captions the
// boxes, only a name holding ".exe" leaves the library unpinned, and such a
// copy takes everything it kept for its threads with it when it goes.
#include <atomic>
#include <vector>

#include "Host.h"

namespace {

using PathIsEmptyW = int (*)(const wchar_t*);

class Load : public Host::Scratch {
 protected:
  // A copy of the tested DLL under another name, in the scratch directory.
  std::wstring CopyAs(const wchar_t* name) {
    const std::wstring copy = Path(name);
    EXPECT_TRUE(CopyFileW(Host::Loaded().FilePath().c_str(), copy.c_str(), FALSE));
    return copy;
  }
};

// Loaded and unloaded again and again: each load starts clean (its locks
// made anew), and each unload leaves nothing behind that the next trips on.
TEST_F(Load, ExeNameBecomesDllInTheCaptionAndTheLibraryUnloads) {
  const std::wstring copy = CopyAs(L"SfRenamed.exe");
  const std::wstring empty = MakeDir(L"empty");
  for (int cycle = 0; cycle < 5; ++cycle) {
    HMODULE module = LoadLibraryW(copy.c_str());
    ASSERT_NE(module, nullptr) << GetLastError();
    auto isEmpty = reinterpret_cast<PathIsEmptyW>(
        reinterpret_cast<void*>(GetProcAddress(module, "PathIsEmptyW")));
    ASSERT_NE(isEmpty, nullptr);
    Host::BoxWatcher watcher;
    EXPECT_EQ(isEmpty(nullptr), 0);
    EXPECT_EQ(isEmpty(empty.c_str()), 1) << "cycle " << cycle;
    watcher.WaitFor(1, 5000);
    const std::vector<Host::Box> boxes = watcher.Stop();
    ASSERT_EQ(boxes.size(), 1u) << "cycle " << cycle;
    EXPECT_EQ(boxes[0].caption, L"SfRenamed.dll");
    FreeLibrary(module);
    ASSERT_EQ(GetModuleHandleW(copy.c_str()), nullptr) << "an .exe-named copy is not pinned";
  }
}

template <class Fn> Fn Find(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// A thread of the library's copy: quiet, one failure with a long report,
// then parked until the copy is gone, and its end after that.
struct Parked {
  int (*mode)(int);
  int (*clear)(const wchar_t*);
  int (*report)(wchar_t*, int);
  const wchar_t* path;
  std::atomic<int> failed{0}, reported{0};
  std::atomic<bool> unloaded{false};
};

constexpr DWORD kEndedWell = 7;

DWORD WINAPI FailAndPark(void* argument) {
  Parked& parked = *static_cast<Parked*>(argument);
  parked.mode(1);
  if (parked.clear(parked.path) == 0 && parked.report(nullptr, 0) > 30000) ++parked.reported;
  ++parked.failed;
  while (!parked.unloaded) Sleep(1);
  return kEndedWell;
}

// Threads still alive when the library unloads lose their records with it,
// and end cleanly afterwards, with nothing of the library left to run:
// loaded, failed on by parked threads with reports of 60 KB each, unloaded,
// five times over, and the heaps hold no more than before. (Not the private
// bytes: the static C++ runtime keeps a few hundred bytes for each thread
// that threw in a copy unloaded before the thread ended, and those scraps
// leave holes in the heap that the next copy's reports do not fit.)
TEST_F(Load, UnloadFreesTheRecordsOfThreadsThatOutliveTheLibrary) {
  constexpr int kThreads = 64, kCycles = 5;
  const std::wstring copy = CopyAs(L"SfRecords.exe");
  const std::wstring missing = Path(std::wstring(30000, L'ж'));
  std::size_t settled = 0;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    const HMODULE module = LoadLibraryW(copy.c_str());
    ASSERT_NE(module, nullptr) << GetLastError();
    Parked parked;
    parked.mode = Find<int (*)(int)>(module, "SedgefoldReportMode");
    parked.clear = Find<int (*)(const wchar_t*)>(module, "PathClearContentsW");
    parked.report = Find<int (*)(wchar_t*, int)>(module, "SedgefoldLastReportW");
    parked.path = missing.c_str();
    ASSERT_TRUE(parked.mode && parked.clear && parked.report);
    std::vector<HANDLE> threads;
    for (int i = 0; i < kThreads; ++i)
      threads.push_back(CreateThread(nullptr, 0, FailAndPark, &parked, 0, nullptr));
    while (parked.failed < kThreads) Sleep(1);
    FreeLibrary(module);
    EXPECT_EQ(GetModuleHandleW(copy.c_str()), nullptr) << "an .exe-named copy is not pinned";
    parked.unloaded = true;
    for (HANDLE thread : threads) {
      DWORD code = 0;
      EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
      EXPECT_TRUE(GetExitCodeThread(thread, &code) && code == kEndedWell) << std::hex << code;
      CloseHandle(thread);
    }
    EXPECT_EQ(parked.reported, kThreads) << "cycle " << cycle;
    if (cycle == 0) settled = Host::HeapBytesInUse();
  }
  const std::size_t after = Host::HeapBytesInUse();
  EXPECT_LT(after, settled + (4u << 20)) << "the heaps grew by " << (after - settled) << " bytes";
}

TEST(LoadPinned, FreeLibraryLeavesTheLibraryLoaded) {
  wchar_t temp[MAX_PATH] = {};
  ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
  const std::wstring copy = std::wstring(temp) + L"SfPinned" +
                            std::to_wstring(GetCurrentProcessId()) + L".dll";
  ASSERT_TRUE(CopyFileW(Host::Loaded().FilePath().c_str(), copy.c_str(), FALSE));
  HMODULE module = LoadLibraryW(copy.c_str());
  ASSERT_NE(module, nullptr) << GetLastError();
  FreeLibrary(module);
  EXPECT_EQ(GetModuleHandleW(copy.c_str()), module) << "the library pins itself at load";
  // The file stays mapped until the process ends; removing it then is the
  // system's business, so a refusal here is not a failure.
  MoveFileExW(copy.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace
