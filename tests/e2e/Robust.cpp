#include "Robust.h"

#include <algorithm>
#include <cstdio>
#include <functional>

namespace Robust {
namespace {

::testing::AssertionResult Broken(const char* rule, const Outcome& outcome) {
  return ::testing::AssertionFailure() << rule << " (answer " << outcome.result << ", "
                                       << outcome.boxes << " box(es))\nBox:\n"
                                       << outcome.box.text << "\nReport:\n" << outcome.report;
}

::testing::AssertionResult Sound(const Outcome& outcome, bool plainZero) {
  if (outcome.boxes > 1) return Broken("more than one box", outcome);
  if (outcome.quiet && outcome.boxes != 0) return Broken("a box on a quiet thread", outcome);
  if (outcome.boxes == 1 && outcome.box.caption != L"Sedgefold.dll")
    return Broken("a box with another caption", outcome);
  if (outcome.boxes == 1 && outcome.report != outcome.box.text)
    return Broken("the kept report differs from the box", outcome);
  if (!outcome.report.empty() && outcome.result != 0)
    return Broken("a failure reported, but a success answer", outcome);
  if (outcome.result == 0 && outcome.report.empty() && !plainZero)
    return Broken("a 0 without a reason in the report", outcome);
  return ::testing::AssertionSuccess();
}

}  // namespace

void PlantTree(const std::wstring& root) {
  const std::wstring directories[] = {L"", L"\\Sub", L"\\Sub\\Глубже", L"\\Каталог", L"\\Empty"};
  for (const std::wstring& directory : directories)
    ASSERT_TRUE(CreateDirectoryW((root + directory).c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS)
        << root + directory;
  Host::PutFile(root + L"\\a.txt", "alpha");
  Host::PutFile(root + L"\\файл.dat", std::string(5000, 'f'));
  Host::PutFile(root + L"\\Sub\\locked.txt", "read-only", FILE_ATTRIBUTE_READONLY);
  Host::PutFile(root + L"\\Sub\\Глубже\\hidden.bin", "hidden", FILE_ATTRIBUTE_HIDDEN);
  Host::PutFile(root + L"\\Каталог\\b.txt", "beta");
}

bool HasWildcard(const std::wstring& path) { return path.find_first_of(L"*?") != std::wstring::npos; }

bool ExpectSound(const Outcome& outcome, const std::string& call, bool plainZero) {
  const ::testing::AssertionResult sound = Sound(outcome, plainZero);
  EXPECT_TRUE(sound) << call;
  return sound;
}

void ExpectBorneOut(const std::string& op, const std::wstring& path, const Outcome& outcome,
                    const std::wstring& sandbox) {
  if (path.rfind(sandbox + L"\\", 0) != 0 || HasWildcard(path) || outcome.boxes > 0) return;
  const int64_t r = outcome.result;
  const std::string label = op + " of " + Host::Ansi(path.substr(0, 80));
  if (op == "PathCheck") {
    EXPECT_EQ(r, IsDirectory(path) ? 1 : 0) << label;
  } else if (op == "PathIsEmpty") {
    EXPECT_EQ(r, IsEmptyDirectory(path) ? 1 : 0) << label;
  } else if (r == 1) {
    const bool borneOut = op == "PathCreate"        ? IsDirectory(path)
                          : op == "PathDelete"      ? !Exists(path)
                          : op == "PathDeleteEmpty" ? !IsDirectory(path)
                                                : IsDirectory(path);  // clearing
    EXPECT_TRUE(borneOut) << label << " answered 1";
  } else if (op == "PathCreate" || op == "PathDeleteEmpty") {
    // 0: no directory could be made there, or the one there stays.
    EXPECT_EQ(IsDirectory(path), op == "PathDeleteEmpty") << label << " answered 0:\n" << Host::Ansi(outcome.report);
  }
}

void Sandbox::SetUp() {
  Host::Scratch::SetUp();
  sandbox_ = Path(L"sandbox");
  PlantTree(Path(L"sentinel"));
  sentinel_ = Digest(Path(L"sentinel"));
  Replant();
  GetCurrentDirectoryW(MAX_PATH, previous_);
  SetCurrentDirectoryW(sandbox_.c_str());
}

void Sandbox::TearDown() {
  SetCurrentDirectoryW(previous_);
  EXPECT_EQ(Digest(Path(L"sentinel")), sentinel_) << "the sentinel tree changed";
  Host::Scratch::TearDown();
}

void Sandbox::Replant() {
  Host::RemoveTestTree(sandbox_);
  for (const wchar_t* tree : {L"", L"\\data", L"\\Sub\\Глубже\\Sub"}) PlantTree(sandbox_ + tree);
}

Watchdog::Watchdog(DWORD stallMs, std::size_t workers)
    : workers_(workers, Worker{"(no call yet)", GetTickCount64(), false}),
      thread_([this, stallMs] { Watch(stallMs); }) {}

Watchdog::~Watchdog() {
  done_ = true;
  thread_.join();
}

void Watchdog::Mark(const std::string& what, std::size_t worker) {
  std::lock_guard<std::mutex> lock(mutex_);
  workers_[worker].last = what;
  workers_[worker].markedAt = GetTickCount64();
}

void Watchdog::Finish(std::size_t worker) {
  std::lock_guard<std::mutex> lock(mutex_);
  workers_[worker].finished = true;
}

void Watchdog::Watch(DWORD stallMs) {
  for (; !done_; Sleep(200)) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (std::size_t i = 0; i < workers_.size(); ++i) {
      if (workers_[i].finished || GetTickCount64() - workers_[i].markedAt < stallMs) continue;
      std::fprintf(stderr, "WATCHDOG: worker %u made no progress for %lu ms; its last call: %s\n",
                   static_cast<unsigned>(i), stallMs, workers_[i].last.c_str());
      std::fflush(stderr);
      TerminateProcess(GetCurrentProcess(), 3);
    }
  }
}

}  // namespace Robust
