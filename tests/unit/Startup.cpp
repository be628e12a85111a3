// The start-up guard, the module name and load/unload.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "exports/Project.h"
#include "utils/Utils.Module.h"

namespace {

TEST(StartupGuard, ConcurrentFirstCallsShareOneLockAndLeaveOneReference) {
  Project::Detach();  // back to a freshly loaded library
  EXPECT_FALSE(Project::Started());
  std::atomic<bool> go{false};
  std::vector<g_CInitCS*> locks(6);
  std::vector<int> results(6);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < locks.size(); ++t)
    threads.emplace_back([&, t] {
      while (!go) std::this_thread::yield();
      results[t] = Project::Init(0);
      locks[t] = Project::StartupLock().Get();
    });
  go = true;
  for (auto& thread : threads) thread.join();
  for (std::size_t t = 0; t < locks.size(); ++t) {
    EXPECT_EQ(results[t], 1);
    EXPECT_EQ(locks[t], locks[0]);
  }
  EXPECT_TRUE(Project::Started());
  EXPECT_EQ(locks[0]->Count(), 1) << "only the static pointer keeps a reference";
}

TEST(StartupGuard, UnloadResetsTheFlagAndKeepsWorking) {
  ASSERT_TRUE(Project::Init(0));
  Project::Detach();
  EXPECT_FALSE(Project::Started());
  EXPECT_TRUE(Project::Init(0));
  EXPECT_TRUE(Project::Started());
}

TEST(ModuleName, FileNamePartOfThePath) {
  bool pin = false;
  EXPECT_EQ(Project::ModuleNameOf(L"C:\\Terminal\\MQL5\\Libraries\\Sedgefold.dll", &pin),
            L"Sedgefold.dll");
  EXPECT_TRUE(pin);
  EXPECT_EQ(Project::ModuleNameOf(L"Sedgefold.dll", &pin), L"Sedgefold.dll");
  EXPECT_EQ(Project::ModuleNameOf(L"C:\\x\\lib\\", &pin), L"lib");
}

TEST(ModuleName, ExeBecomesDllAndTheLibraryIsNotPinned) {
  bool pin = true;
  EXPECT_EQ(Project::ModuleNameOf(L"C:\\x\\lib.exe", &pin), L"lib.dll");
  EXPECT_FALSE(pin);
  // The search resumes one character past each replacement.
  EXPECT_EQ(Project::ModuleNameOf(L"C:\\x\\a.exe.exe", &pin), L"a.dll.exe");
  EXPECT_EQ(Project::ModuleNameOf(L"C:\\x\\lib.EXE", &pin), L"lib.EXE") << "case-sensitive";
  EXPECT_TRUE(pin);
}

TEST(ModuleHelpers, FullPathAndIncrement) {
  const std::wstring path = Utils::Module::FullPath(GetModuleHandleW(L"kernel32.dll"));
  ASSERT_GE(path.size(), 12u);
  EXPECT_EQ(_wcsicmp(path.c_str() + path.size() - 12, L"kernel32.dll"), 0) << path;
  EXPECT_EQ(Utils::Module::Increment(L"kernel32.dll"), GetModuleHandleW(L"kernel32.dll"));
}

TEST(ModuleHelpers, IncrementOfAModuleNotLoadedNamesIt) {
  try {
    Utils::Module::Increment(L"NotLoaded.dll");
    FAIL() << "no report";
  } catch (const std::wstring& report) {
    EXPECT_EQ(report.rfind(L"Ошибка в функции \"struct HINSTANCE__ *__cdecl Utils::Module::Increment(", 0), 0u)
        << report;
    EXPECT_NE(report.find(L"Last Error: 126."), std::wstring::npos) << report;
    EXPECT_NE(report.find(L"Не загружен модуль \"NotLoaded.dll\".\n"), std::wstring::npos);
  }
  EXPECT_EQ(GetModuleHandleW(L"NotLoaded.dll"), nullptr);
}

}  // namespace
