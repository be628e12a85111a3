// What the library keeps per thread: made only when needed, freed with the
// thread or all at once at unload; warnings obey the mode and pile up in the
// last report in the order their boxes would have come. Here no DllMain
// runs, so each thread ends its own record.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/unit/WarningBoxes.h"
#include "utils/Utils.Error.h"
#include "utils/Utils.ThreadState.h"

namespace {

namespace State = Utils::ThreadState;

void OnNewThread(const std::function<void()>& body) {
  std::thread([&] {
    body();
    State::ThreadEnds();
  }).join();
}

TEST(ThreadRecord, MadeOnlyByAQuietModeOrAReportAndGoneWithItsThread) {
  const std::size_t before = State::Live();
  OnNewThread([&] {
    State::ClearReport();
    EXPECT_FALSE(State::Quiet());
    EXPECT_EQ(State::SetMode(State::kAsk), State::kBoxes);
    EXPECT_EQ(State::SetMode(State::kBoxes), State::kBoxes);
    EXPECT_EQ(State::SetMode(7), -1);
    EXPECT_TRUE(State::LastReport().empty());
    EXPECT_EQ(State::Live(), before) << "a thread that never failed nor went quiet has a record";
    EXPECT_EQ(State::SetMode(State::kQuiet), State::kBoxes);
    EXPECT_EQ(State::Live(), before + 1);
    State::ThreadEnds();
    EXPECT_EQ(State::Live(), before);
    EXPECT_FALSE(State::Quiet()) << "a record survived its thread's end";
    State::KeepReport(L"failure");
    EXPECT_EQ(State::Live(), before + 1) << "a report kept without a record";
    EXPECT_EQ(std::wstring(State::LastReport()), L"failure");
  });
  EXPECT_EQ(State::Live(), before);
}

// The last error that a report goes on to describe survives the lookups.
TEST(ThreadRecord, LookingItUpLeavesTheLastErrorAlone) {
  OnNewThread([] {
    SetLastError(1234);
    State::SetMode(State::kQuiet);
    State::KeepReport(L"x");
    State::ClearReport();
    State::Quiet();
    EXPECT_EQ(GetLastError(), 1234u);
  });
}

// Threads still alive lose their records at unload, and a call of theirs
// afterwards starts afresh on a new slot.
TEST(ThreadRecord, FreeAllTakesTheRecordsOfLiveThreadsAndLaterCallsStartAfresh) {
  constexpr int kThreads = 4;
  std::atomic<int> phase{0}, done{0};
  // Per thread, after FreeAll: still quiet, a report left, the mode before a new quiet one.
  struct After {
    bool quiet = true, report = true;
    int before = -2;
  };
  std::vector<After> after(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i)
    threads.emplace_back([&, i] {
      State::SetMode(State::kQuiet);
      State::KeepReport(L"kept before the unload");
      ++done;
      while (phase == 0) Sleep(1);
      after[i] = {State::Quiet(), !State::LastReport().empty(), State::SetMode(State::kQuiet)};
      ++done;
      while (phase == 1) Sleep(1);
      State::ThreadEnds();
    });
  while (done < kThreads) Sleep(1);
  EXPECT_GE(State::Live(), std::size_t(kThreads));
  State::FreeAll();
  EXPECT_EQ(State::Live(), 0u);
  phase = 1;
  while (done < 2 * kThreads) Sleep(1);
  EXPECT_EQ(State::Live(), std::size_t(kThreads)) << "the threads' new records";
  phase = 2;
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(State::Live(), 0u);
  for (const After& each : after) {
    EXPECT_FALSE(each.quiet || each.report) << "a record outlived FreeAll";
    EXPECT_EQ(each.before, State::kBoxes);
  }
}

// The warnings of the descriptions, shown in boxes on one thread and kept
// quietly on another: the kept texts are the boxes' texts, in order, one
// blank line apart, and the quiet thread shows nothing.
TEST(QuietWarnings, KeptInOrderAsTheirBoxesWouldShowThem) {
  const auto warnTwice = [] {
    State::ClearReport();
    Utils::Error::DescriptionW<INT>(-1);
    Utils::Error::DescriptionA<double>(1.5);
    return std::wstring(State::LastReport());
  };
  std::wstring boxed, quiet;
  UnitTest::WarningBoxes boxes;
  OnNewThread([&] { boxed = warnTwice(); });
  const std::vector<UnitTest::ShownBox> shown = boxes.Stop();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(boxed, shown[0].text + L"\r\n\r\n" + shown[1].text);

  UnitTest::WarningBoxes none;
  OnNewThread([&] {
    State::SetMode(State::kQuiet);
    quiet = warnTwice();
  });
  EXPECT_TRUE(none.Stop().empty()) << "a quiet thread showed a warning box";
  EXPECT_EQ(quiet, boxed);
}

}  // namespace
