// Before the first test, the program checks that it runs in the jail: with a
// Z: drive (the Unix root) or without the mark tests/wine-run.sh sets, a test
// that deletes, clears, copies or moves could reach the machine's own files,
// so it runs nothing. Listing the tests (--gtest_list_tests) runs no
// environment and needs no check.
#include "Jail.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "host/Tree.h"
#include "utils/runtime/Utils.Handle.h"

namespace {

const char* Refusal() {
  // Wine's drive list is made when its server starts; a path is looked up
  // in the prefix's drive links when it is used.
  if ((GetLogicalDrives() & (1u << ('Z' - 'A'))) || GetFileAttributesW(L"Z:\\") != INVALID_FILE_ATTRIBUTES)
    return "drive Z: exists";
  if (GetEnvironmentVariableW(L"SF_JAIL", nullptr, 0) == 0) return "SF_JAIL is not set";
  return nullptr;
}

class Guard : public ::testing::Environment {
 public:
  void SetUp() override {
    if (const char* reason = Refusal()) {
      std::fprintf(stderr,
                   "Not in the test jail (%s): no test run. Run it with "
                   "bash tests/wine-run.sh BUILD_DIR PROGRAM [ARGS...]\n",
                   reason);
      std::fflush(stderr);
      std::exit(3);
    }
  }
};

[[maybe_unused]] ::testing::Environment* const gGuard =
    ::testing::AddGlobalTestEnvironment(new Guard);

}  // namespace

namespace Jail {
namespace {

// One argument of a command line, quoted so that the Windows rules (which
// Wine also applies when it builds a Unix argv) give it back verbatim. The
// arguments are words, scripts and Unix paths: no backslash to double
// before a quote.
std::wstring Quote(std::wstring argument) {
  for (std::size_t at = 0; (at = argument.find(L'"', at)) != std::wstring::npos; at += 2)
    argument.insert(at, 1, L'\\');
  return L"\"" + argument + L"\"";
}

// A new status marker beside the jail's shell.
std::wstring MarkerName() {
  static std::atomic<unsigned> counter{0};
  return L"C:\\unix\\status-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(++counter);
}

}  // namespace

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

int RunUnix(const std::vector<std::wstring>& argv, unsigned long timeoutMs) {
  if (!Host::RunningOnWine() || argv.empty()) return -1;
  // Wine gives no waitable handle for a Unix process: its shell writes the
  // status to a side file last and renames it, so the marker never shows up
  // half written.
  const std::wstring marker = MarkerName();
  std::wstring command =
      L"sh -c " + Quote(L"m=$1; shift; \"$@\"; s=$?; echo $s >\"$m.tmp\" && mv -f \"$m.tmp\" \"$m\"") +
      L" sh " + Quote(UnixPath(marker));
  for (const std::wstring& argument : argv) command += L" " + Quote(argument);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(kShell, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return -1;
  const Utils::KernelHandle owned[] = {Utils::KernelHandle(process.hProcess),
                                       Utils::KernelHandle(process.hThread)};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (; !Host::Exists(marker); Sleep(10))
    if (std::chrono::steady_clock::now() >= deadline) return -1;
  int status = -1;
  if (FILE* file = _wfopen(marker.c_str(), L"r")) {
    if (std::fscanf(file, "%d", &status) != 1) status = -1;
    std::fclose(file);
  }
  DeleteFileW(marker.c_str());
  return status;
}

int RunScript(const std::wstring& directory, const std::wstring& script, unsigned long timeoutMs) {
  return RunUnix({L"sh", L"-c", L"cd \"$1\" && " + script, L"sh", UnixPath(directory)}, timeoutMs);
}

}  // namespace Jail
