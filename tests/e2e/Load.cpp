// Loading the library under other file names: the module name captions the
// boxes, and only a name holding ".exe" leaves the library unpinned.
#include "Host.h"

namespace {

using PathIsEmptyW = int (*)(const wchar_t*);

class Load : public Host::Scratch {
 protected:
  // A copy of the tested DLL under another name, in the scratch directory.
  std::wstring CopyAs(const wchar_t* name) {
    const std::wstring copy = Path(name);
    EXPECT_TRUE(CopyFileW(Host::Library().FilePath().c_str(), copy.c_str(), FALSE));
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

TEST(LoadPinned, FreeLibraryLeavesTheLibraryLoaded) {
  wchar_t temp[MAX_PATH] = {};
  ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
  const std::wstring copy = std::wstring(temp) + L"SfPinned" +
                            std::to_wstring(GetCurrentProcessId()) + L".dll";
  ASSERT_TRUE(CopyFileW(Host::Library().FilePath().c_str(), copy.c_str(), FALSE));
  HMODULE module = LoadLibraryW(copy.c_str());
  ASSERT_NE(module, nullptr) << GetLastError();
  FreeLibrary(module);
  EXPECT_EQ(GetModuleHandleW(copy.c_str()), module) << "the library pins itself at load";
  // The file stays mapped until the process ends; removing it then is the
  // system's business, so a refusal here is not a failure.
  MoveFileExW(copy.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace
