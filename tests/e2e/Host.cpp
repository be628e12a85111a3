#include "Host.h"

#include <psapi.h>
#include <shlobj.h>

#include "Jail.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

namespace Host {
namespace {

std::wstring ModulePath(HMODULE module) {
  std::wstring buffer(32768, L'\0');
  buffer.resize(GetModuleFileNameW(module, &buffer[0], static_cast<DWORD>(buffer.size())));
  return buffer;
}

std::wstring Directory(const std::wstring& path) {
  return path.substr(0, path.find_last_of(L"\\/"));
}

// One argument of a command line, quoted so that the Windows rules (which
// Wine also applies when it builds a Unix argv) give it back verbatim. The
// arguments are words and Unix paths: no backslash to double before a quote.
std::wstring Quote(std::wstring argument) {
  for (std::size_t at = 0; (at = argument.find(L'"', at)) != std::wstring::npos; at += 2)
    argument.insert(at, 1, L'\\');
  return L"\"" + argument + L"\"";
}

// A new path in the directory that holds the scratch directories and Unix
// status markers of all runs.
std::wstring UniqueName(const wchar_t* kind) {
  static std::atomic<unsigned> counter{0};
  wchar_t temp[MAX_PATH + 1] = {};
  const std::wstring bench = std::wstring(temp, GetTempPathW(MAX_PATH + 1, temp)) + L"sedgefold-e2e";
  CreateDirectoryW(bench.c_str(), nullptr);
  return bench + L"\\" + kind + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(++counter);
}

DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(Extended(path).c_str()); }
bool Exists(const std::wstring& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

std::wstring Parent(const std::wstring& relative) {
  const std::size_t slash = relative.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : relative.substr(0, slash);
}

// One thread for the whole process closes every dialog box it finds, so no
// box can block a test. Boxes go to the BoxWatcher alive at the time; a box
// with no watcher fails the running test.
std::mutex gMutex;                  // guards gSink and the boxes in it
std::vector<Box>* gSink = nullptr;  // the alive watcher's boxes, or none
std::atomic<bool> gStopPatrol{false};

void Deliver(const Box& box) {
  std::lock_guard<std::mutex> lock(gMutex);
  if (gSink != nullptr)
    gSink->push_back(box);
  else if (::testing::UnitTest::GetInstance()->current_test_info() != nullptr)
    ADD_FAILURE() << "A message box appeared with no BoxWatcher alive; closed it.\n"
                  << "Caption: " << box.caption << "\nText: " << box.text;
  else
    std::fprintf(stderr, "A message box appeared outside any test: %ls\n", box.text.c_str());
}

// Read without a message to the box's thread, which is blocked in the box.
std::wstring TextOf(HWND window) {
  std::wstring text(65536, L'\0');
  text.resize(window == nullptr ? 0 : InternalGetWindowText(window, &text[0], 65536));
  return text;
}

// Marks a box that a BoxHook has already recorded.
constexpr wchar_t kCaughtProperty[] = L"Host.BoxCaught";

struct ThreadHook {
  HHOOK hook = nullptr;
  unsigned nesting = 0;
  std::size_t count = 0;
  Box last;
};
// A plain pointer: a thread_local with a destructor would be destroyed by
// the runtime's thread-exit machinery, which at process exit can hang.
thread_local ThreadHook* tHook = nullptr;

bool IsDialog(HWND window) {
  wchar_t name[16] = {};
  return GetClassNameW(window, name, 16) > 0 && std::wstring(name) == L"#32770";
}

LRESULT CALLBACK CatchOnActivation(int code, WPARAM wParam, LPARAM lParam) {
  const HWND box = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_ACTIVATE && IsDialog(box) && GetPropW(box, kCaughtProperty) == nullptr) {
    SetPropW(box, kCaughtProperty, reinterpret_cast<HANDLE>(1));
    tHook->last = Box{TextOf(box), TextOf(GetDlgItem(box, 0xFFFF))};
    ++tHook->count;
    Deliver(tHook->last);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void Patrol() {
  // Boxes recorded and told to close; told again every pass until gone.
  std::set<HWND> recorded;
  for (; !gStopPatrol; Sleep(20)) {
    std::set<HWND> open;
    for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", nullptr));) {
      DWORD process = 0;
      GetWindowThreadProcessId(box, &process);
      if (process != GetCurrentProcessId()) continue;
      if (!recorded.count(box) && GetPropW(box, kCaughtProperty) == nullptr) {
        if (!IsWindowVisible(box)) continue;  // a box is filled in before it shows
        Deliver(Box{TextOf(box), TextOf(GetDlgItem(box, 0xFFFF))});
      }
      open.insert(box);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    recorded.swap(open);
  }
}

void StartPatrol() {
  static struct Thread {
    std::thread thread{Patrol};
    ~Thread() {
      gStopPatrol = true;
      thread.join();
    }
  } patrol;
}

std::string Describe(const std::vector<Box>& boxes) {
  ::testing::Message message;
  for (const Box& box : boxes) message << "\n--- box \"" << box.caption << "\":\n" << box.text;
  return message.GetString();
}

}  // namespace

std::wstring Extended(const std::wstring& path) {
  return path.rfind(L"\\\\", 0) == 0 ? path : L"\\\\?\\" + path;
}

std::wstring Module::FilePath() const { return handle == nullptr ? std::wstring() : ModulePath(handle); }

const Module& Library() {
  StartPatrol();  // boxes can come from the first export call on
  static const Module library = [] {
    const HMODULE handle = LoadLibraryW(L"Sedgefold.dll");
    return Module{handle, handle ? 0 : GetLastError()};
  }();
  return library;
}

FARPROC ExportAddress(const char* name) {
  const Module& library = Library();
  if (library.handle == nullptr)
    throw std::runtime_error("Sedgefold.dll did not load (LoadLibraryW error " +
                             std::to_string(library.loadError) + ")");
  // The copy next to the test program is the fresh build; any other copy the
  // loader might find is not.
  const std::wstring dll = Directory(library.FilePath()), tests = Directory(ModulePath(nullptr));
  if (CompareStringOrdinal(dll.c_str(), -1, tests.c_str(), -1, TRUE) != CSTR_EQUAL)
    throw std::runtime_error("Sedgefold.dll was loaded from elsewhere than the test program's directory");
  FARPROC address = GetProcAddress(library.handle, name);
  if (address == nullptr) throw std::runtime_error(std::string("Sedgefold.dll does not export ") + name);
  return address;
}

BoxHook::BoxHook() {
  StartPatrol();  // catches what a hook that failed to install misses
  if (tHook == nullptr) {
    tHook = new ThreadHook;
    tHook->hook = SetWindowsHookExW(WH_CBT, CatchOnActivation, nullptr, GetCurrentThreadId());
  }
  ++tHook->nesting;
}

BoxHook::~BoxHook() {
  if (--tHook->nesting > 0) return;
  if (tHook->hook != nullptr) UnhookWindowsHookEx(tHook->hook);
  delete tHook;
  tHook = nullptr;
}

bool BoxHook::Installed() const { return tHook->hook != nullptr; }
std::size_t BoxHook::Count() const { return tHook->count; }
const Box& BoxHook::Last() const { return tHook->last; }

BoxWatcher::BoxWatcher() {  // hook_ has started the patrol
  std::lock_guard<std::mutex> lock(gMutex);
  gSink = &boxes_;
}

std::vector<Box> BoxWatcher::Stop() {
  stopped_ = true;
  std::lock_guard<std::mutex> lock(gMutex);
  if (gSink == &boxes_) gSink = nullptr;
  return boxes_;
}

bool BoxWatcher::WaitFor(std::size_t count, DWORD timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;; Sleep(10)) {
    {
      std::lock_guard<std::mutex> lock(gMutex);
      if (boxes_.size() >= count) return true;
    }
    if (stopped_ || std::chrono::steady_clock::now() >= deadline) return false;
  }
}

void ExpectNoBox(BoxWatcher& watcher) {
  const std::vector<Box> seen = watcher.Stop();
  EXPECT_TRUE(seen.empty()) << seen.size() << " unexpected message box(es):" << Describe(seen);
}

Box ExpectOneBox(BoxWatcher& watcher) {
  watcher.WaitFor(1, 5000);
  const std::vector<Box> seen = watcher.Stop();
  EXPECT_EQ(seen.size(), 1u) << "expected exactly one message box, saw:" << Describe(seen);
  if (seen.empty()) return Box();
  EXPECT_EQ(seen.front().caption, L"Sedgefold.dll");
  return seen.front();
}

// Both buffers are large enough for any code page (at most two bytes a
// character), so one call converts.
std::string Ansi(const std::wstring& text) {
  std::string ansi(text.size() * 2, '\0');
  ansi.resize(WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &ansi[0],
                                  static_cast<int>(ansi.size()), nullptr, nullptr));
  return ansi;
}

std::wstring Wide(const std::string& ansi) {
  std::wstring wide(ansi.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0],
                                  static_cast<int>(wide.size())));
  return wide;
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

bool RunningOnWine() {
  static const bool wine =
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

std::wstring UnixPath(const std::wstring& path) {
  using ToUnix = char*(CDECL*)(LPCWSTR);
  static const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* text = toUnix == nullptr ? nullptr : toUnix(path.c_str());
  if (text == nullptr) return std::wstring();
  std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], static_cast<int>(wide.size()));
  HeapFree(GetProcessHeap(), 0, text);  // Wine hands it out from the process heap
  wide.resize(wide.empty() ? 0 : wide.size() - 1);
  return wide;
}

int RunUnix(const std::vector<std::wstring>& argv, DWORD timeoutMs) {
  if (!RunningOnWine() || argv.empty()) return -1;
  // Wine gives no waitable handle for a Unix process: its shell writes the
  // status to a side file last and renames it, so the marker never shows up
  // half written.
  const std::wstring marker = UniqueName(L"unix") + L".status";
  std::wstring command =
      L"sh -c " + Quote(L"m=$1; shift; \"$@\"; s=$?; echo $s >\"$m.tmp\" && mv -f \"$m.tmp\" \"$m\"") +
      L" sh " + Quote(UnixPath(marker));
  for (const std::wstring& argument : argv) command += L" " + Quote(argument);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(Jail::kShell, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return -1;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (; !Exists(marker); Sleep(10))
    if (std::chrono::steady_clock::now() >= deadline) return -1;
  int status = -1;
  if (FILE* file = _wfopen(marker.c_str(), L"r")) {
    if (std::fscanf(file, "%d", &status) != 1) status = -1;
    std::fclose(file);
  }
  DeleteFileW(marker.c_str());
  return status;
}

namespace {

// Removes what Win32 can without entering a link. Under Wine a link is left
// for rm: RemoveDirectoryW follows a Unix symlink into its target.
void RemoveEntry(const std::wstring& path, DWORD attributes) {
  const std::wstring extended = Extended(path);
  const bool link = attributes & FILE_ATTRIBUTE_REPARSE_POINT;
  if (link && RunningOnWine()) return;
  if (!link) SetFileAttributesW(extended.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileW(extended.c_str());
    return;
  }
  WIN32_FIND_DATAW entry;
  const HANDLE find = link ? INVALID_HANDLE_VALUE : FindFirstFileW((extended + L"\\*").c_str(), &entry);
  for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &entry)) {
    const std::wstring name = entry.cFileName;
    if (name != L"." && name != L"..") RemoveEntry(path + L"\\" + name, entry.dwFileAttributes);
  }
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  RemoveDirectoryW(extended.c_str());
}

}  // namespace

bool RemoveTree(const std::wstring& path) {
  if (!Exists(path)) return true;
  RemoveEntry(path, Attributes(path));
  // What is left under Wine (links, and directories holding them, which a
  // dangling link hides from Win32 listing): rm -rf never follows links.
  if (Exists(path) && RunningOnWine()) RunUnix({L"rm", L"-rf", L"--", UnixPath(path)});
  return !Exists(path);
}

void Scratch::SetUp() {
  root_ = UniqueName(L"scratch");
  RemoveTree(root_);  // left by an earlier run that had the same process id
  ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr))
      << "cannot create scratch directory " << root_ << ", error " << GetLastError();
}

void Scratch::TearDown() {
  EXPECT_TRUE(root_.empty() || RemoveTree(root_)) << "scratch directory left: " << root_;
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
  const std::wstring path = Path(relative);
  FILE* file = _wfopen(path.c_str(), L"wb");
  if (file == nullptr || std::fwrite(content.data(), 1, content.size(), file) != content.size())
    ADD_FAILURE() << "cannot create file " << path;
  if (file != nullptr) std::fclose(file);
  return path;
}

std::wstring Scratch::MakeDirLink(const std::wstring& relative, const std::wstring& target) {
  MakeDir(Parent(relative));
  const std::wstring link = Path(relative);
  if (RunningOnWine())
    EXPECT_EQ(RunUnix({L"ln", L"-s", L"--", UnixPath(target), UnixPath(link)}), 0) << link;
  else
    EXPECT_TRUE(CreateSymbolicLinkW(link.c_str(), target.c_str(),
                                    SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE))
        << link << ", error " << GetLastError();
  EXPECT_TRUE(Exists(link) && (Attributes(link) & FILE_ATTRIBUTE_REPARSE_POINT)) << "no link at " << link;
  return link;
}

}  // namespace Host
