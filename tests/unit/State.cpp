// Process and thread state: reference counts, the start-up guard, and what
// the library keeps per thread.
#include <atomic>
#include <climits>
#include <thread>

#include "ReportTesting.h"
#include "exports/Project.h"
#include "utils/runtime/Utils.Smart.h"
#include "utils/errors/Utils.ThreadState.h"

namespace {

using Utils::Smart::Pointer;
namespace State = Utils::ThreadState;

struct Counted : Utils::Smart::Base {
  explicit Counted(int* destroyed) : destroyed_(destroyed) {}
  ~Counted() override { ++*destroyed_; }
  int* destroyed_;
};

template <class Body>
void OnThreads(int count, Body body) {
  std::vector<std::thread> threads;
  for (int t = 0; t < count; ++t) threads.emplace_back(body, t);
  for (std::thread& thread : threads) thread.join();
}

TEST(Smart, CountsFollowCopiesAssignmentsAndThreadsAndTheLastReleaseDestroys) {
  int destroyed = 0;
  auto* object = new Counted(&destroyed);
  Pointer<Counted> held(object);
  {
    Pointer<Counted> copy(held), assigned;
    assigned = copy;
    EXPECT_EQ(object->Count(), 3);
    OnThreads(4, [&](int) {
      for (int i = 0; i < 2000; ++i) Pointer<Counted> another(held);
    });
  }
  EXPECT_EQ(object->Count(), 1);
  held.Assign(new Counted(&destroyed));
  EXPECT_EQ(destroyed, 1) << "assigning releases the previous object";
  held.Reset();
  EXPECT_TRUE(destroyed == 2 && !held);
  // A release below zero is reported and destroys nothing.
  Counted unheld(&destroyed);
  EXPECT_EQ(ReportTesting::MaskLines(ReportTesting::Thrown([&] { unheld.Release(); })),
            ReportTesting::Header(L"Ошибка в методе \"", L"void __cdecl Utils::Smart::Base::Release(void)",
                                  L"utils/runtime/Utils.Smart.cpp") +
                L"\nОтрицательное значение счётчика указателей.\n");
  EXPECT_TRUE(unheld.Count() == -1 && destroyed == 2);
}

// Threads that use the master lock for the very first time at once all get
// the one lock: a thread that kept a lock of its own would guard nothing.
TEST(Master, FirstUsersAtOnceShareOneLock) {
  for (int round = 0; round < 40; ++round) {
    Utils::Sync::DestroyMaster();
    std::atomic<int> ready{0};
    std::vector<Utils::Sync::CriticalSection*> seen(8);
    OnThreads(8, [&](int t) {
      for (++ready; ready < 8;) std::this_thread::yield();
      seen[t] = &Utils::Sync::Master();
    });
    EXPECT_EQ(seen, decltype(seen)(8, seen[0])) << "round " << round;
  }
}

TEST(Startup, ConcurrentFirstCallsShareOneLockAndUnloadResetsTheGuard) {
  for (int round = 0; round < 2; ++round) {
    Project::Detach();  // back to a freshly loaded library
    std::atomic<int> ready{0};
    std::vector<std::pair<bool, g_CInitCS*>> seen(6);  // each thread's answer and lock
    OnThreads(6, [&](int t) {
      for (++ready; ready < 6;) std::this_thread::yield();
      seen[t] = {Project::Init(0), Project::StartupLock().Get()};
    });
    EXPECT_EQ(seen, decltype(seen)(6, {true, seen[0].second}));
    EXPECT_EQ(seen[0].second->Count(), 1)
        << "only the static pointer keeps the lock";
  }
}

TEST(ThreadState, ARecordIsMadeOnlyByAQuietModeOrAReportAndGoesWithItsThread) {
  const std::size_t before = State::Live();
  OnThreads(1, [&](int) {
    State::ClearReport();
    EXPECT_TRUE(State::SetMode(State::kAsk) == State::kBoxes &&
                State::SetMode(State::kBoxes) == State::kBoxes);
    EXPECT_EQ(State::Live(), before) << "a thread that never failed nor went quiet has a record";
    SetLastError(1234);
    EXPECT_TRUE(State::SetMode(State::kQuiet) == State::kBoxes && State::Live() == before + 1);
    for (const int unknown : {2, -2, INT_MIN, INT_MAX})  // refused, the mode kept
      EXPECT_TRUE(State::SetMode(unknown) == -1 && State::SetMode(State::kAsk) == State::kQuiet) << unknown;
    State::ThreadEnds();
    EXPECT_TRUE(State::Live() == before && !State::Quiet()) << "a record survived its thread's end";
    State::KeepReport(L"failure");
    EXPECT_EQ(State::Live(), before + 1) << "a report kept without a record";
    EXPECT_TRUE(State::LastReport() == L"failure" && GetLastError() == 1234u)
        << "the last error a report describes stays";
    // At unload every record goes, and a later call starts afresh.
    State::FreeAll();
    EXPECT_TRUE(State::Live() == 0 && State::LastReport().empty());
    EXPECT_TRUE(State::SetMode(State::kQuiet) == State::kBoxes && State::Live() == 1u);
    State::ThreadEnds();  // no DllMain runs here: each thread ends its own record
  });
  EXPECT_EQ(State::Live(), 0u);
}

}  // namespace
