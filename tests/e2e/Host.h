#pragma once
// What an end-to-end test needs to play the terminal: the DLL loaded by name
// from next to the test program, exports resolved by bare name, the message
// boxes the DLL raises caught and closed, and a scratch directory per test.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace Host {

// Owns a module loaded with LoadLibraryW.
class Module {
 public:
  explicit Module(const wchar_t* name);
  ~Module();
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  HMODULE get() const { return module_; }
  DWORD loadError() const { return loadError_; }
  std::wstring FilePath() const;

 private:
  HMODULE module_;
  DWORD loadError_;
};

// Sedgefold.dll, loaded once per process (the terminal keeps it loaded too).
const Module& Library();

// Thrown when the test cannot even reach the export; GoogleTest reports the
// text as the test's failure.
struct MissingExport : std::runtime_error {
  using std::runtime_error::runtime_error;
};

FARPROC ExportAddress(const char* name);

// The export `name`, typed as the test declares it. A missing DLL or export
// fails the test.
template <class Fn> Fn Export(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(ExportAddress(name)));
}

// A message box seen while a BoxWatcher was alive.
struct Box {
  std::wstring caption;
  std::wstring text;
  std::wstring FirstLine() const;
};

// While alive, receives every dialog box of this process (class "#32770",
// whatever its caption): its caption and text, recorded by a patrol thread
// that then closes the box. The export that raised the box is blocked in it
// until then, so the box is recorded before the export returns. One watcher
// at a time; a box shown while none is alive is closed too, and fails the
// running test instead of hanging it.
class BoxWatcher {
 public:
  BoxWatcher();
  ~BoxWatcher();
  BoxWatcher(const BoxWatcher&) = delete;
  BoxWatcher& operator=(const BoxWatcher&) = delete;

  // Ends the watching; every box seen, in order of appearance.
  std::vector<Box> Stop();
  // Waits until `count` boxes were seen or `timeoutMs` passed.
  bool WaitFor(std::size_t count, DWORD timeoutMs);

 private:
  // Filled by the process's one box patrol thread, under its lock.
  std::vector<Box> boxes_;
  bool stopped_ = false;
};

// The caption every box of the library carries: its module name.
extern const wchar_t kCaption[];

// Stops the watcher and fails the test if any box was shown.
void ExpectNoBox(BoxWatcher& watcher);
// Waits up to 5 s for a box, stops the watcher, and fails the test unless
// exactly one box was shown, captioned with the module name. Returns it (or
// an empty Box).
Box ExpectOneBox(BoxWatcher& watcher);

// Conversions of test data to what A exports take (the process's ANSI code
// page, 1251 in these runs) and back.
std::string Ansi(const std::wstring& text);
std::wstring Wide(const std::string& ansi);

bool RunningOnWine();

// Runs a program of the Unix host (Wine only) and waits up to `timeoutMs` for
// it; its exit status, or -1 when it did not finish in time. Wine gives no
// waitable handle for such a process, so completion is seen through a marker
// file the program's shell writes last.
int RunUnix(const std::vector<std::wstring>& argv, DWORD timeoutMs = 10000);

// The Unix path of a Windows path, empty off Wine.
std::wstring UnixPath(const std::wstring& path);

// A fresh empty directory for every test, removed after it with plain Win32
// calls (never through the library under test).
class Scratch : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The scratch directory itself, or a path inside it.
  const std::wstring& Root() const { return root_; }
  std::wstring Path(const std::wstring& relative) const;

  // Create a directory (with its parents) or a file inside the scratch
  // directory; full path returned, test failed if creation fails.
  std::wstring MakeDir(const std::wstring& relative);
  std::wstring MakeFile(const std::wstring& relative,
                        const std::string& content = std::string());

  // A directory symbolic link at `relative` to the directory `target` (any
  // full Windows path). Under Wine this is a Unix symlink made with ln, since
  // Wine's CreateSymbolicLinkW creates nothing; it then shows attributes
  // FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT.
  std::wstring MakeDirLink(const std::wstring& relative,
                           const std::wstring& target);

 private:
  std::wstring root_;
};

// Removes a directory tree without ever entering a link. Returns false if
// something is left.
bool RemoveTree(const std::wstring& path);

}  // namespace Host
