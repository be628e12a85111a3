// Loading the library under other file names: the module name captions the
// boxes, only a name holding ".exe" leaves the library unpinned, and such a
// copy takes everything it kept for its threads with it when it goes.
#include <atomic>
#include <optional>
#include <vector>

#include "Host.h"

namespace {

class Load : public Host::Scratch {
 protected:
  // A copy of the tested DLL under another name, in the scratch directory.
  std::wstring CopyAs(const wchar_t* name) {
    const std::wstring copy = Path(name);
    EXPECT_TRUE(CopyFileW(Host::Loaded().FilePath().c_str(), copy.c_str(), FALSE));
    return copy;
  }
};

// A thread of the library's copy: quiet, one failure with a long report,
// then parked until the copy is gone, and its end after that.
struct Parked {
  const Host::Exports* api;
  const wchar_t* path;
  std::atomic<int> failed{0}, reported{0};
  std::atomic<bool> unloaded{false};
};

constexpr DWORD kEndedWell = 7;

DWORD WINAPI FailAndPark(void* argument) {
  Parked& parked = *static_cast<Parked*>(argument);
  parked.api->reportMode(1);
  if (parked.api->w.clearContents(parked.path) == 0 && parked.api->w.lastReport(nullptr, 0) > 30000)
    ++parked.reported;
  ++parked.failed;
  while (!parked.unloaded) Sleep(1);
  return kEndedWell;
}

// Threads still alive when the library unloads lose their records with it,
// and end cleanly afterwards, with nothing of the library left to run:
// loaded (its box captioned with its own name, ".exe" made ".dll"), failed
// on by parked threads with reports of 60 KB each, unloaded, five times
// over (each load starting clean: its locks made anew), and the heaps hold
// no more than before. (Not the private
// bytes: the static C++ runtime keeps a few hundred bytes for each thread
// that threw in a copy unloaded before the thread ended, and those scraps
// leave holes in the heap that the next copy's reports do not fit.)
TEST_F(Load, UnloadFreesTheRecordsOfThreadsThatOutliveTheLibrary) {
  constexpr int kThreads = 64, kCycles = 5;
  const std::wstring copy = CopyAs(L"SfRecords.exe");
  const std::wstring missing = Path(std::wstring(30000, L'ж'));
  std::size_t settled = 0;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    std::optional<Host::Library> library(std::in_place, copy.c_str());
    ASSERT_TRUE(library->Loaded()) << library->Problem();
    const std::size_t boxes = hook_.Count();
    EXPECT_EQ(library->Api().w.check(nullptr), 0);
    EXPECT_EQ(library->Api().w.check(Root().c_str()), 1) << "cycle " << cycle;
    ASSERT_EQ(hook_.Count(), boxes + 1) << "cycle " << cycle;
    EXPECT_EQ(hook_.Last().caption, L"SfRecords.dll");
    Parked parked;
    parked.api = &library->Api();
    parked.path = missing.c_str();
    std::vector<Utils::KernelHandle> threads;
    for (int i = 0; i < kThreads; ++i)
      threads.emplace_back(CreateThread(nullptr, 0, FailAndPark, &parked, 0, nullptr));
    while (parked.failed < kThreads) Sleep(1);
    library.reset();
    EXPECT_EQ(GetModuleHandleW(copy.c_str()), nullptr) << "an .exe-named copy is not pinned";
    parked.unloaded = true;
    for (const Utils::KernelHandle& thread : threads) {
      DWORD code = 0;
      EXPECT_EQ(WaitForSingleObject(thread.get(), 10000), WAIT_OBJECT_0);
      EXPECT_TRUE(GetExitCodeThread(thread.get(), &code) && code == kEndedWell) << std::hex << code;
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
  HMODULE module = nullptr;
  {
    const Host::Library library(copy.c_str());
    ASSERT_TRUE(library.Loaded()) << library.Problem();
    module = library.Handle();
  }
  EXPECT_EQ(GetModuleHandleW(copy.c_str()), module) << "the library pins itself at load";
}

}  // namespace
