#pragma once
// What an end-to-end test needs to play the terminal: the DLL loaded by name
// from next to the test program, exports resolved by bare name, the message
// boxes the DLL raises caught and closed, and a scratch directory per test.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Host {

// A module loaded with LoadLibraryW, kept for the whole process.
struct Module {
  HMODULE handle;
  DWORD loadError;
  std::wstring FilePath() const;
};

// Sedgefold.dll, loaded once per process (the terminal keeps it loaded too).
const Module& Library();

// The export `name` of the copy next to the test program; throws (failing
// the test) for a DLL that did not load from there or lacks the name.
FARPROC ExportAddress(const char* name);
template <class Fn> Fn Export(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(ExportAddress(name)));
}

struct Box {
  std::wstring caption, text;
  std::wstring FirstLine() const { return text.substr(0, text.find_first_of(L"\r\n")); }
};

// Catches the boxes of the thread that owns it the moment they activate,
// well before the patrol thread's next pass: a test that raises thousands of
// boxes, or raises them on many threads, needs one per calling thread. What
// it catches goes to the alive BoxWatcher like any other box, and is counted
// here for this thread alone.
class BoxHook {
 public:
  BoxHook();
  ~BoxHook();
  BoxHook(const BoxHook&) = delete;
  BoxHook& operator=(const BoxHook&) = delete;

  // Hooks nest: the outermost on a thread installs, the others share it.
  bool Installed() const;
  // Boxes caught on this thread since the outermost hook was installed, and
  // the last of them.
  std::size_t Count() const;
  const Box& Last() const;
};

// While alive, receives every dialog box of this process: a patrol thread
// records it and closes it, before the export that raised it returns. One
// watcher at a time; a box shown while none is alive is closed too, and
// fails the running test instead of hanging it.
class BoxWatcher {
 public:
  BoxWatcher();
  ~BoxWatcher() { Stop(); }
  BoxWatcher(const BoxWatcher&) = delete;
  BoxWatcher& operator=(const BoxWatcher&) = delete;

  // Ends the watching; every box seen, in order of appearance.
  std::vector<Box> Stop();
  // Waits until `count` boxes were seen or `timeoutMs` passed.
  bool WaitFor(std::size_t count, DWORD timeoutMs);

 private:
  std::vector<Box> boxes_;  // filled by the patrol thread, under its lock
  bool stopped_ = false;
  BoxHook hook_;            // this thread's boxes, caught without delay
};

// Stops the watcher and fails the test if any box was shown.
void ExpectNoBox(BoxWatcher& watcher);
// Waits up to 5 s for a box, stops the watcher, and fails the test unless
// exactly one box, captioned "Sedgefold.dll", was shown. Returns it (or an
// empty Box).
Box ExpectOneBox(BoxWatcher& watcher);

// Test data in the process's ANSI code page (1251 in these runs) and back.
std::string Ansi(const std::wstring& text);
std::wstring Wide(const std::string& ansi);

// The process's private bytes, 0 when they cannot be read.
std::size_t PrivateBytes();
// The bytes of every heap block of the process in use.
std::size_t HeapBytesInUse();

bool RunningOnWine();
// Runs a program of the Unix host (Wine only); its exit status, or -1 when
// it did not finish within `timeoutMs`.
int RunUnix(const std::vector<std::wstring>& argv, DWORD timeoutMs = 10000);
// The Unix path of a Windows path, empty off Wine.
std::wstring UnixPath(const std::wstring& path);

// A fresh empty directory for every test, removed after it with plain Win32
// calls (never through the library under test).
class Scratch : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  const std::wstring& Root() const { return root_; }
  std::wstring Path(const std::wstring& relative) const {
    return relative.empty() ? root_ : root_ + L"\\" + relative;
  }

  // A directory (with its parents), a file or a directory symbolic link to
  // `target` (a full Windows path) in the scratch directory; the full path
  // returned, the test failed if creation fails. Under Wine, whose
  // CreateSymbolicLinkW creates nothing, the link is a Unix symlink made with
  // ln, showing FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT.
  std::wstring MakeDir(const std::wstring& relative);
  std::wstring MakeFile(const std::wstring& relative, const std::string& content = std::string());
  std::wstring MakeDirLink(const std::wstring& relative, const std::wstring& target);

 private:
  std::wstring root_;
};

// The long-path form of a full path ("\\?\" prefixed, a UNC path as it
// is): a tree deeper than MAX_PATH stays reachable. No "." or ".." is
// resolved in it.
std::wstring Extended(const std::wstring& path);

// Removes a directory tree without ever entering a link. Returns false if
// something is left.
bool RemoveTree(const std::wstring& path);

}  // namespace Host
