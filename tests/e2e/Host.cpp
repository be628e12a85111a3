#include "Host.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>
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

// One argument of a command line, quoted so that the usual Windows rules
// (which Wine also applies when it builds a Unix argv) give it back verbatim.
std::wstring Quote(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
    return argument;
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes double only before a quote, which is escaped itself.
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    quoted.push_back(c);
    backslashes = 0;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
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

// The long-path form: a tree deeper than MAX_PATH stays reachable.
std::wstring Extended(const std::wstring& path) {
  return path.rfind(L"\\\\", 0) == 0 ? path : L"\\\\?\\" + path;
}
DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(Extended(path).c_str()); }
bool Exists(const std::wstring& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

// One thread for the whole process closes every dialog box it finds, so no
// box can block a test. Boxes go to the BoxWatcher alive at the time; a box
// with no watcher fails the running test.
class Patrol {
 public:
  static Patrol& Instance() {
    static Patrol patrol;
    return patrol;
  }

  // A watcher's boxes are only touched under the lock.
  void Attach(std::vector<Box>* sink) {
    std::lock_guard<std::mutex> lock(mutex_);
    sink_ = sink;
  }
  std::vector<Box> Detach(std::vector<Box>* sink) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (sink_ == sink) sink_ = nullptr;
    return *sink;
  }
  std::size_t Count(const std::vector<Box>* sink) {
    std::lock_guard<std::mutex> lock(mutex_);
    return sink->size();
  }

 private:
  Patrol() : thread_([this] { Run(); }) {}
  ~Patrol() {
    stop_ = true;
    thread_.join();
  }

  static BOOL CALLBACK Collect(HWND window, LPARAM found) {
    DWORD process = 0;
    wchar_t name[16] = {};
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && GetClassNameW(window, name, 16) > 0 &&
        wcscmp(name, L"#32770") == 0)
      reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
  }

  // The text of a window of another (blocked) thread, asked with a time
  // limit so that a stuck box cannot stall the patrol.
  static std::wstring TextOf(HWND window) {
    std::wstring text(65536, L'\0');
    DWORD_PTR copied = 0;
    if (window == nullptr ||
        !SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                             SMTO_ABORTIFHUNG, 1000, &copied))
      return std::wstring();
    text.resize(copied);
    return text;
  }

  void Run() {
    // Boxes already recorded, with when they were last told to close: one
    // that outlives the first request is asked again every second.
    std::map<HWND, DWORD> closing;
    while (!stop_) {
      std::vector<HWND> found;
      EnumWindows(Collect, reinterpret_cast<LPARAM>(&found));
      std::map<HWND, DWORD> stillOpen;
      for (HWND box : found) {
        const auto known = closing.find(box);
        if (known != closing.end()) {
          stillOpen[box] = known->second;
          if (GetTickCount() - known->second > 1000) {
            PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
            PostMessageW(box, WM_CLOSE, 0, 0);
            stillOpen[box] = GetTickCount();
          }
        } else if (IsWindowVisible(box)) {  // a box is filled in before it shows
          Deliver(Box{TextOf(box), TextOf(GetDlgItem(box, 0xFFFF))});
          PostMessageW(box, WM_COMMAND, IDOK, 0);
          stillOpen[box] = GetTickCount();
        }
      }
      closing.swap(stillOpen);
      Sleep(20);
    }
  }

  void Deliver(const Box& box) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (sink_ != nullptr)
      sink_->push_back(box);
    else if (::testing::UnitTest::GetInstance()->current_test_info() != nullptr)
      ADD_FAILURE() << "A message box appeared with no BoxWatcher alive; closed it.\n"
                    << "Caption: " << box.caption << "\nText: " << box.text;
    else
      std::fprintf(stderr, "A message box appeared outside any test: %ls\n", box.text.c_str());
  }

  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<Box>* sink_ = nullptr;
  std::thread thread_;
};

std::string Describe(const std::vector<Box>& boxes) {
  ::testing::Message message;
  for (const Box& box : boxes) message << "\n--- box \"" << box.caption << "\":\n" << box.text;
  return message.GetString();
}

}  // namespace

Module::Module(const wchar_t* name)
    : module_(LoadLibraryW(name)), loadError_(module_ ? 0 : GetLastError()) {}
Module::~Module() {
  if (module_ != nullptr) FreeLibrary(module_);
}
std::wstring Module::FilePath() const {
  return module_ == nullptr ? std::wstring() : ModulePath(module_);
}

const Module& Library() {
  Patrol::Instance();  // boxes can come from the first export call on
  static const Module library(L"Sedgefold.dll");
  return library;
}

FARPROC ExportAddress(const char* name) {
  const Module& library = Library();
  if (library.get() == nullptr)
    throw MissingExport("Sedgefold.dll did not load (LoadLibraryW error " +
                        std::to_string(library.loadError()) + ")");
  // The copy next to the test program is the fresh build; any other copy the
  // loader might find is not.
  const std::wstring dll = Directory(library.FilePath()), tests = Directory(ModulePath(nullptr));
  if (CompareStringOrdinal(dll.c_str(), -1, tests.c_str(), -1, TRUE) != CSTR_EQUAL)
    throw MissingExport("Sedgefold.dll was loaded from elsewhere than the test program's directory");
  FARPROC address = GetProcAddress(library.get(), name);
  if (address == nullptr) throw MissingExport(std::string("Sedgefold.dll does not export ") + name);
  return address;
}

const wchar_t kCaption[] = L"Sedgefold.dll";

std::wstring Box::FirstLine() const { return text.substr(0, text.find_first_of(L"\r\n")); }

BoxWatcher::BoxWatcher() { Patrol::Instance().Attach(&boxes_); }
BoxWatcher::~BoxWatcher() { Stop(); }

std::vector<Box> BoxWatcher::Stop() {
  stopped_ = true;
  return Patrol::Instance().Detach(&boxes_);
}

bool BoxWatcher::WaitFor(std::size_t count, DWORD timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (Patrol::Instance().Count(&boxes_) < count) {
    if (stopped_ || std::chrono::steady_clock::now() >= deadline) return false;
    Sleep(10);
  }
  return true;
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
  EXPECT_EQ(seen.front().caption, std::wstring(kCaption));
  return seen.front();
}

std::string Ansi(const std::wstring& text) {
  const int size = static_cast<int>(text.size());
  std::string ansi(WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), size, &ansi[0], static_cast<int>(ansi.size()),
                      nullptr, nullptr);
  return ansi;
}

std::wstring Wide(const std::string& ansi) {
  const int size = static_cast<int>(ansi.size());
  std::wstring wide(MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, &wide[0], static_cast<int>(wide.size()));
  return wide;
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
  if (!CreateProcessW(L"Z:\\bin\\sh", &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return -1;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!Exists(marker)) {
    if (std::chrono::steady_clock::now() >= deadline) return -1;
    Sleep(10);
  }
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
  const bool directory = attributes & FILE_ATTRIBUTE_DIRECTORY;
  if (link && RunningOnWine()) return;
  if (!link) SetFileAttributesW(extended.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!link && directory) {
    WIN32_FIND_DATAW entry;
    const HANDLE find = FindFirstFileW((extended + L"\\*").c_str(), &entry);
    for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &entry)) {
      const std::wstring name = entry.cFileName;
      if (name != L"." && name != L"..") RemoveEntry(path + L"\\" + name, entry.dwFileAttributes);
    }
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
  }
  if (directory) RemoveDirectoryW(extended.c_str());
  else DeleteFileW(extended.c_str());
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

std::wstring Scratch::Path(const std::wstring& relative) const {
  return relative.empty() ? root_ : root_ + L"\\" + relative;
}

std::wstring Scratch::MakeDir(const std::wstring& relative) {
  // Every prefix of `relative` that ends before a backslash, then itself.
  for (std::size_t end = 0;; ++end) {
    end = relative.find(L'\\', end);
    const std::wstring partial = Path(relative.substr(0, end));
    if (!CreateDirectoryW(partial.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
      ADD_FAILURE() << "cannot create directory " << partial << ", error " << GetLastError();
    if (end == std::wstring::npos) break;
  }
  return Path(relative);
}

std::wstring Scratch::MakeFile(const std::wstring& relative, const std::string& content) {
  const std::size_t slash = relative.find_last_of(L'\\');
  MakeDir(slash == std::wstring::npos ? std::wstring() : relative.substr(0, slash));
  const std::wstring path = Path(relative);
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  if (file == INVALID_HANDLE_VALUE ||
      !WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) ||
      written != content.size())
    ADD_FAILURE() << "cannot create file " << path << ", error " << GetLastError();
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return path;
}

std::wstring Scratch::MakeDirLink(const std::wstring& relative, const std::wstring& target) {
  const std::size_t slash = relative.find_last_of(L'\\');
  MakeDir(slash == std::wstring::npos ? std::wstring() : relative.substr(0, slash));
  const std::wstring link = Path(relative);
  if (RunningOnWine()) {
    EXPECT_EQ(RunUnix({L"ln", L"-s", L"--", UnixPath(target), UnixPath(link)}), 0) << link;
  } else {
    EXPECT_TRUE(CreateSymbolicLinkW(link.c_str(), target.c_str(),
                                    SYMBOLIC_LINK_FLAG_DIRECTORY |
                                        SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE))
        << link << ", error " << GetLastError();
  }
  EXPECT_TRUE(Exists(link) && (Attributes(link) & FILE_ATTRIBUTE_REPARSE_POINT)) << "no link at " << link;
  return link;
}

}  // namespace Host
