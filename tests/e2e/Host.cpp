#include "Host.h"

#include <chrono>
#include <cstdio>
#include <atomic>
#include <map>
#include <mutex>
#include <thread>
#include <memory>

namespace Host {
namespace {

// --- small owners of Windows resources -------------------------------------

struct HandleCloser {
  void operator()(HANDLE handle) const {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using Handle = std::unique_ptr<void, HandleCloser>;

struct FindCloser {
  void operator()(HANDLE handle) const {
    if (handle != INVALID_HANDLE_VALUE) FindClose(handle);
  }
};
using FindHandle = std::unique_ptr<void, FindCloser>;

// Wine hands out its Unix path strings from the process heap.
struct HeapFreer {
  void operator()(char* text) const { HeapFree(GetProcessHeap(), 0, text); }
};
using HeapText = std::unique_ptr<char, HeapFreer>;

std::wstring Directory(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring ExecutablePath() {
  std::wstring buffer(32768, L'\0');
  const DWORD length =
      GetModuleFileNameW(nullptr, &buffer[0], static_cast<DWORD>(buffer.size()));
  buffer.resize(length);
  return buffer;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring Utf8ToWide(const char* text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], length);
  wide.resize(static_cast<std::size_t>(length - 1));
  return wide;
}

// One argument of a command line, quoted so that the usual Windows rules
// (which Wine also applies when it builds a Unix argv) give it back verbatim.
std::wstring Quote(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
    return argument;
  std::wstring quoted = L"\"";
  for (auto it = argument.begin();; ++it) {
    std::size_t backslashes = 0;
    while (it != argument.end() && *it == L'\\') {
      ++it;
      ++backslashes;
    }
    if (it == argument.end()) {
      quoted.append(backslashes * 2, L'\\');
      break;
    }
    if (*it == L'"') {
      quoted.append(backslashes * 2 + 1, L'\\');
    } else {
      quoted.append(backslashes, L'\\');
    }
    quoted.push_back(*it);
  }
  quoted.push_back(L'"');
  return quoted;
}

// Where the scratch directories and Unix status markers of all runs live.
std::wstring BenchDirectory() {
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  std::wstring bench(temp, length);
  if (!bench.empty() && bench.back() != L'\\') bench.push_back(L'\\');
  bench += L"sedgefold-e2e";
  CreateDirectoryW(bench.c_str(), nullptr);
  return bench;
}

std::wstring UniqueName(const wchar_t* kind) {
  static std::atomic<unsigned> counter{0};
  return std::wstring(kind) + L"-" + std::to_wstring(GetCurrentProcessId()) +
         L"-" + std::to_wstring(++counter);
}

std::wstring Extended(const std::wstring& path) {
  if (path.rfind(L"\\\\", 0) == 0) return path;
  return L"\\\\?\\" + path;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(Extended(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// --- the box patrol ----------------------------------------------------------

// One thread for the whole process closes every dialog box it finds, so no
// box can block a test. Boxes go to the BoxWatcher alive at the time; a box
// with no watcher fails the running test.
class Patrol {
 public:
  static Patrol& Instance() {
    static Patrol patrol;
    return patrol;
  }

  void Attach(std::vector<Box>* sink) {
    std::lock_guard<std::mutex> lock(mutex_);
    sink_ = sink;
  }
  // Stops delivering to `sink`; what it holds by then.
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
  static constexpr DWORD kPollMs = 20;
  static constexpr DWORD kRetryCloseMs = 1000;

  Patrol() : thread_([this] { Run(); }) {}
  ~Patrol() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

  static BOOL CALLBACK Collect(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<std::vector<HWND>*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return TRUE;
    wchar_t name[16] = {};
    if (GetClassNameW(window, name, 16) > 0 && wcscmp(name, L"#32770") == 0)
      found->push_back(window);
    return TRUE;
  }

  // The text of a window that belongs to another (blocked) thread: asked with
  // a time limit so a stuck box cannot stall the patrol.
  static std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (window == nullptr ||
        !SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 1000,
                             &length))
      return std::wstring();
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(),
                             reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG,
                             1000, &copied))
      return std::wstring();
    text.resize(copied);
    return text;
  }

  void Run() {
    // Boxes already answered, with when they were last told to close.
    std::map<HWND, DWORD> closing;
    while (!stop_) {
      std::vector<HWND> found;
      EnumWindows(Collect, reinterpret_cast<LPARAM>(&found));
      std::map<HWND, DWORD> stillOpen;
      for (HWND box : found) {
        const auto known = closing.find(box);
        if (known != closing.end()) {
          DWORD since = known->second;
          if (GetTickCount() - since > kRetryCloseMs) {
            PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
            PostMessageW(box, WM_CLOSE, 0, 0);
            since = GetTickCount();
          }
          stillOpen[box] = since;
          continue;
        }
        // A box is filled in before it is shown: wait until it is visible.
        if (!IsWindowVisible(box)) continue;
        Box seen{TextOf(box), TextOf(GetDlgItem(box, 0xFFFF))};
        Deliver(seen);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        stillOpen[box] = GetTickCount();
      }
      closing.swap(stillOpen);
      Sleep(kPollMs);
    }
  }

  void Deliver(const Box& box) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (sink_ != nullptr) {
      sink_->push_back(box);
      return;
    }
    if (::testing::UnitTest::GetInstance()->current_test_info() != nullptr) {
      ADD_FAILURE() << "A message box appeared with no BoxWatcher alive; closed it.\n"
                    << "Caption: " << box.caption << "\nText: " << box.text;
    } else {
      std::fprintf(stderr, "A message box appeared outside any test: %ls\n",
                   box.text.c_str());
    }
  }

  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<Box>* sink_ = nullptr;
  std::thread thread_;
};

}  // namespace

// --- the module ----------------------------------------------------------------

Module::Module(const wchar_t* name)
    : module_(LoadLibraryW(name)), loadError_(module_ ? 0 : GetLastError()) {}

Module::~Module() {
  if (module_ != nullptr) FreeLibrary(module_);
}

std::wstring Module::FilePath() const {
  if (module_ == nullptr) return std::wstring();
  std::wstring buffer(32768, L'\0');
  const DWORD length =
      GetModuleFileNameW(module_, &buffer[0], static_cast<DWORD>(buffer.size()));
  buffer.resize(length);
  return buffer;
}

const Module& Library() {
  // Boxes can come from the first export call on: the patrol is there first.
  Patrol::Instance();
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
  static const bool besideTests =
      SamePath(Directory(library.FilePath()), Directory(ExecutablePath()));
  if (!besideTests)
    throw MissingExport("Sedgefold.dll was loaded from elsewhere than the test "
                        "program's directory");
  FARPROC address = GetProcAddress(library.get(), name);
  if (address == nullptr)
    throw MissingExport(std::string("Sedgefold.dll does not export ") + name);
  return address;
}

// --- boxes ---------------------------------------------------------------------

const wchar_t kCaption[] = L"Sedgefold.dll";

std::wstring Box::FirstLine() const {
  return text.substr(0, text.find_first_of(L"\r\n"));
}

BoxWatcher::BoxWatcher() { Patrol::Instance().Attach(&boxes_); }

BoxWatcher::~BoxWatcher() { Stop(); }

std::vector<Box> BoxWatcher::Stop() {
  stopped_ = true;
  return Patrol::Instance().Detach(&boxes_);
}

bool BoxWatcher::WaitFor(std::size_t count, DWORD timeoutMs) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (Patrol::Instance().Count(&boxes_) >= count) return true;
    if (stopped_ || std::chrono::steady_clock::now() >= deadline) return false;
    Sleep(10);
  }
}

namespace {

std::string Describe(const std::vector<Box>& boxes) {
  ::testing::Message message;
  for (const Box& box : boxes)
    message << "\n--- box \"" << box.caption << "\":\n" << box.text;
  return message.GetString();
}

}  // namespace

void ExpectNoBox(BoxWatcher& watcher) {
  const std::vector<Box> seen = watcher.Stop();
  EXPECT_TRUE(seen.empty()) << seen.size() << " unexpected message box(es):"
                            << Describe(seen);
}

Box ExpectOneBox(BoxWatcher& watcher) {
  watcher.WaitFor(1, 5000);
  const std::vector<Box> seen = watcher.Stop();
  EXPECT_EQ(seen.size(), 1u) << "expected exactly one message box, saw:"
                             << Describe(seen);
  if (seen.empty()) return Box();
  EXPECT_EQ(seen.front().caption, std::wstring(kCaption));
  return seen.front();
}

// --- text ----------------------------------------------------------------------

std::string Ansi(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int length = WideCharToMultiByte(CP_ACP, 0, text.data(),
                                         static_cast<int>(text.size()), nullptr,
                                         0, nullptr, nullptr);
  std::string ansi(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                      &ansi[0], length, nullptr, nullptr);
  return ansi;
}

std::wstring Wide(const std::string& ansi) {
  if (ansi.empty()) return std::wstring();
  const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(),
                                         static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()),
                      &wide[0], length);
  return wide;
}

// --- the Unix side -------------------------------------------------------------

bool RunningOnWine() {
  static const bool wine =
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

std::wstring UnixPath(const std::wstring& path) {
  using ToUnix = char*(CDECL*)(LPCWSTR);
  static const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (toUnix == nullptr) return std::wstring();
  HeapText text(toUnix(path.c_str()));
  return text ? Utf8ToWide(text.get()) : std::wstring();
}

int RunUnix(const std::vector<std::wstring>& argv, DWORD timeoutMs) {
  if (!RunningOnWine() || argv.empty()) return -1;
  const std::wstring marker = BenchDirectory() + L"\\" + UniqueName(L"unix") + L".status";
  const std::wstring unixMarker = UnixPath(marker);
  if (unixMarker.empty()) return -1;
  // The status is written to a side file and renamed, so the marker never
  // shows up half written.
  std::wstring command = L"sh -c " +
      Quote(L"m=$1; shift; \"$@\"; s=$?; echo $s >\"$m.tmp\" && mv -f \"$m.tmp\" \"$m\"") +
      L" sh " + Quote(unixMarker);
  for (const std::wstring& argument : argv) command += L" " + Quote(argument);

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(L"Z:\\bin\\sh", &command[0], nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &process))
    return -1;
  // For a Unix program Wine returns no usable process or thread handle (a wait
  // on them fails with ERROR_INVALID_HANDLE), so there is nothing to own.

  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!Exists(marker)) {
    if (std::chrono::steady_clock::now() >= deadline) return -1;
    Sleep(10);
  }
  int status = -1;
  {
    Handle file(CreateFileW(marker.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr));
    char text[32] = {};
    DWORD read = 0;
    if (file.get() != INVALID_HANDLE_VALUE &&
        ReadFile(file.get(), text, sizeof text - 1, &read, nullptr))
      std::sscanf(text, "%d", &status);
  }
  DeleteFileW(marker.c_str());
  return status;
}

// --- removal -------------------------------------------------------------------

namespace {

bool RemoveEntry(const std::wstring& path, DWORD attributes) {
  const std::wstring extended = Extended(path);
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    // Never entered. Wine's RemoveDirectoryW follows a Unix symlink (and
    // fails on a non-empty target) and DeleteFileW refuses it, so under Wine
    // the link itself is unlinked from the Unix side.
    if (RunningOnWine())
      return RunUnix({L"rm", L"-f", L"--", UnixPath(path)}) == 0 && !Exists(path);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
      return RemoveDirectoryW(extended.c_str()) != FALSE;
    return DeleteFileW(extended.c_str()) != FALSE;
  }
  SetFileAttributesW(extended.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return DeleteFileW(extended.c_str()) != FALSE;

  bool ok = true;
  WIN32_FIND_DATAW entry;
  FindHandle find(FindFirstFileExW((extended + L"\\*").c_str(), FindExInfoBasic,
                                   &entry, FindExSearchNameMatch, nullptr, 0));
  if (find.get() != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      ok = RemoveEntry(path + L"\\" + name, entry.dwFileAttributes) && ok;
    } while (FindNextFileW(find.get(), &entry));
  }
  find.reset();
  return RemoveDirectoryW(extended.c_str()) != FALSE && ok;
}

}  // namespace

bool RemoveTree(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(Extended(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  if (RemoveEntry(path, attributes)) return true;
  // Wine does not list a dangling Unix symlink at all, so a directory holding
  // one cannot be emptied through Win32. rm -rf never follows links.
  if (RunningOnWine()) RunUnix({L"rm", L"-rf", L"--", UnixPath(path)});
  return !Exists(path);
}

// --- the scratch fixture -------------------------------------------------------

void Scratch::SetUp() {
  root_ = BenchDirectory() + L"\\" + UniqueName(L"scratch");
  RemoveTree(root_);  // left by an earlier run that had the same process id
  ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr))
      << "cannot create scratch directory " << root_ << ", error " << GetLastError();
}

void Scratch::TearDown() {
  if (root_.empty()) return;
  EXPECT_TRUE(RemoveTree(root_)) << "scratch directory not fully removed: " << root_;
}

std::wstring Scratch::Path(const std::wstring& relative) const {
  return relative.empty() ? root_ : root_ + L"\\" + relative;
}

std::wstring Scratch::MakeDir(const std::wstring& relative) {
  std::wstring partial = root_;
  std::size_t start = 0;
  while (start <= relative.size()) {
    const std::size_t end = relative.find(L'\\', start);
    const std::wstring part = relative.substr(
        start, end == std::wstring::npos ? std::wstring::npos : end - start);
    if (!part.empty()) {
      partial += L"\\" + part;
      if (!CreateDirectoryW(partial.c_str(), nullptr) &&
          GetLastError() != ERROR_ALREADY_EXISTS)
        ADD_FAILURE() << "cannot create directory " << partial << ", error "
                      << GetLastError();
    }
    if (end == std::wstring::npos) break;
    start = end + 1;
  }
  return partial;
}

std::wstring Scratch::MakeFile(const std::wstring& relative, const std::string& content) {
  const std::size_t slash = relative.rfind(L'\\');
  if (slash != std::wstring::npos) MakeDir(relative.substr(0, slash));
  const std::wstring path = Path(relative);
  Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    ADD_FAILURE() << "cannot create file " << path << ", error " << GetLastError();
    return path;
  }
  DWORD written = 0;
  if (!content.empty() &&
      (!WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()),
                  &written, nullptr) ||
       written != content.size()))
    ADD_FAILURE() << "cannot write file " << path << ", error " << GetLastError();
  return path;
}

std::wstring Scratch::MakeDirLink(const std::wstring& relative, const std::wstring& target) {
  const std::size_t slash = relative.rfind(L'\\');
  if (slash != std::wstring::npos) MakeDir(relative.substr(0, slash));
  const std::wstring link = Path(relative);
  if (RunningOnWine()) {
    const int status = RunUnix({L"ln", L"-s", L"--", UnixPath(target), UnixPath(link)});
    EXPECT_EQ(status, 0) << "ln -s failed for " << link;
  } else {
    EXPECT_TRUE(CreateSymbolicLinkW(link.c_str(), target.c_str(),
                                    SYMBOLIC_LINK_FLAG_DIRECTORY |
                                        SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE))
        << "CreateSymbolicLinkW failed for " << link << ", error " << GetLastError();
  }
  const DWORD attributes = GetFileAttributesW(link.c_str());
  EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES &&
              (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
      << "no link at " << link;
  return link;
}

}  // namespace Host
