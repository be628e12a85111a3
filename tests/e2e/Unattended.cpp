// Unattended use: a thread's report mode and last report are its own; every
// export empties the report as it starts and keeps the very text its box
// shows; the copies out of the report never pass their buffer; and thread
// records last no longer than their threads.
#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <functional>
#include <thread>
#include <tuple>
#include <vector>

#include "Robust.h"

namespace {

using Host::ApiOf;
using Host::As;
using Robust::Guarded;

constexpr int kAsk = -1, kBoxes = 0, kQuiet = 1;

// A failure whose report names path: clearing a folder that is not there.
int FailOn(const std::wstring& path) { return ApiOf<wchar_t>().clearContents(path.c_str()); }

class Unattended : public Host::Scratch {};

// Two threads fail at the same moment, one quiet, one with boxes: only the
// box thread shows a box, whose text is its report character for character
// (the A form: that text in the ANSI code page); each reads its own report,
// which lasts until its next export call whatever other threads do, and a
// mode call keeps it.
TEST_F(Unattended, ModeAndReportBelongToTheThread) {
  struct Seen {
    int answer = -1;
    std::size_t boxes = 0;
    std::wstring box, report, afterMode, afterSuccess;
    std::string narrow;
  } quiet, boxed;
  std::atomic<int> ready{0}, failed{0};
  const auto run = [&](int mode, const std::wstring& path, Seen& seen) {
    Host::BoxHook hook;
    const Host::ReportMode set(Host::Api(), mode);
    for (++ready; ready < 2;) Sleep(0);
    seen.answer = FailOn(path);
    seen.boxes = hook.Count();
    if (seen.boxes > 0) seen.box = hook.Last().text;
    for (++failed; failed < 2;) Sleep(0);  // the other thread's failure is in
    seen.report = Host::LastReport();
    seen.narrow = Host::LastReportOf<char>();
    Host::Api().reportMode(kAsk);
    seen.afterMode = Host::LastReport();
    ApiOf<wchar_t>().create(path.c_str());
    seen.afterSuccess = Host::LastReport();
  };
  const std::wstring quietPath = Path(L"нет-quiet"), boxPath = Path(L"нет-box");
  std::thread one(run, kQuiet, quietPath, std::ref(quiet)), two(run, kBoxes, boxPath, std::ref(boxed));
  one.join();
  two.join();
  EXPECT_TRUE(quiet.answer == 0 && boxed.answer == 0);
  EXPECT_EQ(quiet.boxes, 0u) << quiet.box;
  ASSERT_EQ(boxed.boxes, 1u);
  EXPECT_EQ(boxed.report, boxed.box);
  for (const auto& [seen, own, other] : {std::make_tuple(&quiet, quietPath, boxPath),
                                         std::make_tuple(&boxed, boxPath, quietPath)}) {
    EXPECT_NE(seen->report.find(own), std::wstring::npos) << seen->report;
    EXPECT_EQ(seen->report.find(other), std::wstring::npos) << seen->report;
    EXPECT_EQ(seen->narrow, Host::Ansi(seen->report));
    EXPECT_EQ(seen->afterMode, seen->report) << "asking for the mode cleared the report";
    EXPECT_EQ(seen->afterSuccess, L"") << "a successful call left the report of the one before";
  }
  EXPECT_NE(boxed.box.find(boxPath), std::wstring::npos) << boxed.box;
}

// A 0 that used to say nothing now leaves its reason, in terms of the call,
// on a quiet thread and on a box thread alike, and still shows no box; the
// plain answers of PathCheck and PathIsEmpty leave the report empty.
TEST_F(Unattended, EveryZeroLeavesItsReasonWithoutABoxButThePlainAnswers) {
  const std::wstring src = MakeDir(L"src\\inner"), deeper = Path(L"src\\inner\\deeper"), full = Path(L"src"),
                     file = MakeFile(L"file.txt", "f"), held = MakeFile(L"busy\\held.txt", "h"),
                     heldToo = MakeFile(L"files\\held.txt", "h"), other = MakeFile(L"busy\\Sub\\other.txt", "o"),
                     otherToo = MakeFile(L"files\\Sub\\other.txt", "o");
  // Held as a program writing them holds them: nobody may delete them.
  const auto hold = [](const std::wstring& path) {
    return Utils::FileHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  };
  const Utils::FileHandle holding[] = {hold(held), hold(heldToo)};
  ASSERT_TRUE(holding[0] && holding[1]);
  const auto& api = ApiOf<wchar_t>();
  const struct {
    const char* what;
    std::function<int()> call;
    std::wstring says;  // empty: a plain answer, and no report
  } rows[] = {
      {"copy into itself", [&] { return api.copy(full.c_str(), deeper.c_str()); }, deeper},
      {"move into itself", [&] { return api.move(full.c_str(), deeper.c_str()); }, deeper},
      {"create over a file", [&] { return api.create(file.c_str()); }, file},
      {"a link not made", [&] { return api.link(full.c_str(), Path(L"links\\to").c_str()); }, Path(L"links\\to")},
      {"delete of nothing", [&] { return api.remove(Path(L"missing").c_str()); }, Path(L"missing")},
      {"delete-empty of a full folder", [&] { return api.deleteEmpty(full.c_str()); }, full},
      {"clear past a held file", [&] { return api.clearContents(Path(L"busy").c_str()); }, held},
      {"clear files past a held file", [&] { return api.clearFromFiles(Path(L"files").c_str()); }, heldToo},
      {"check of nothing", [&] { return api.check(Path(L"missing").c_str()); }, L""},
      {"is-empty of a full folder", [&] { return api.isEmpty(full.c_str()); }, L""},
  };
  for (const int mode : {kQuiet, kBoxes})
    std::thread([&] {
      Host::BoxHook hook;
      const Host::ReportMode set(Host::Api(), mode);
      for (const auto& row : rows) {
        const Robust::Outcome outcome = Robust::Observe(hook, row.call);
        EXPECT_EQ(outcome.result, 0) << row.what;
        EXPECT_EQ(outcome.boxes, 0u) << row.what << ": " << outcome.box.text;
        EXPECT_EQ(outcome.report.empty(), row.says.empty()) << row.what << ": " << outcome.report;
        EXPECT_NE(outcome.report.find(row.says), std::wstring::npos) << row.what << ": " << outcome.report;
      }
    }).join();
  // A clear goes on past what it cannot remove; clearing files keeps every folder.
  EXPECT_FALSE(Robust::Exists(other) || Robust::Exists(Path(L"busy\\Sub")) || Robust::Exists(otherToo));
  EXPECT_TRUE(Robust::IsDirectory(Path(L"files\\Sub")));
}

// Capacities around the report's length, in both widths: the answer is
// always the length, at most capacity - 1 characters and a terminator are
// written, never half a character, and nothing else of the buffer changes.
template <class C> void ExpectCopies(const std::basic_string<C>& report, std::size_t pairAt) {
  const int length = static_cast<int>(report.size()), pair = static_cast<int>(pairAt);
  const auto lastReport = ApiOf<C>().lastReport;
  EXPECT_EQ(lastReport(nullptr, length + 1), length) << "a null buffer is only asked its length";
  for (const int capacity : {0, -1, INT_MIN, 1, 2, pair + 2, length, length + 1, length + 100}) {
    Guarded<C> buffer(static_cast<std::size_t>(length) + 100);
    EXPECT_EQ(lastReport(capacity == 0 ? nullptr : buffer.data(), capacity), length) << capacity;
    const std::vector<C> after = buffer.Contents();
    std::size_t copied = capacity <= 0 ? 0 : std::min(length, capacity - 1);
    if (sizeof(C) == 2 && pairAt != std::wstring::npos && copied == pairAt + 1) --copied;
    EXPECT_EQ(std::basic_string<C>(after.begin(), after.begin() + copied), report.substr(0, copied)) << capacity;
    const std::size_t written = capacity <= 0 ? 0 : copied + 1;
    if (written > 0) {
      EXPECT_EQ(after[copied], C(0)) << capacity;
    }
    EXPECT_TRUE(std::all_of(after.begin() + written, after.end(), [](C c) { return c == C('#'); }))
        << "capacity " << capacity << " wrote past the terminator";
    EXPECT_TRUE(buffer.GuardsIntact()) << capacity;
  }
}

TEST_F(Unattended, CopiesAnswerTheLengthAndNeverPassTheirCapacityNorSplitACharacter) {
  const Host::ReportMode quiet(Host::Api(), kQuiet);
  ASSERT_EQ(FailOn(Path(L"Отчёты \xD83D\xDE00 here")), 0);
  const std::wstring wide = Host::LastReportOf<wchar_t>();
  ExpectCopies(wide, wide.find(L'\xD83D'));
  ExpectCopies(Host::LastReportOf<char>(), std::wstring::npos);
  ASSERT_EQ(ApiOf<wchar_t>().check(Root().c_str()), 1);
  ExpectCopies(std::wstring(), std::wstring::npos);
}

// Threads that each set quiet mode, fail once with a long report and end,
// a few at a time; the number whose report came back empty.
int FailOnThreads(int count, const std::wstring& path) {
  std::atomic<int> missing{0};
  for (int started = 0; started < count; started += 64) {
    std::vector<std::thread> threads;
    for (int i = 0; i < 64 && started + i < count; ++i)
      threads.emplace_back([&] {
        Host::Api().reportMode(kQuiet);
        if (FailOn(path) != 0 || Host::LastReport().empty()) ++missing;
      });
    for (std::thread& thread : threads) thread.join();
  }
  return missing;
}

// The least of the readings of two seconds: the system takes back the
// stacks of ended threads in its own time, which a single reading can catch
// half done, and on a busy machine late.
std::size_t SettledPrivateBytes() {
  std::size_t least = SIZE_MAX;
  for (int reading = 0; reading < 20; ++reading, Sleep(100)) least = std::min(least, Host::PrivateBytes());
  return least;
}

TEST_F(Unattended, TenThousandShortThreadsThatEachFailLeaveNoMemoryBehind) {
  const std::wstring path = Path(std::wstring(200, L'ж'));
  EXPECT_EQ(FailOnThreads(1000, path), 0);  // the heap and the loader settle
  const std::size_t before = SettledPrivateBytes();
  ASSERT_GT(before, 0u) << "the private bytes cannot be read";
  EXPECT_EQ(FailOnThreads(10000, path), 0);
  const std::size_t after = SettledPrivateBytes();
  // A record kept past its thread holds this path's report: 10,000 of them
  // grow the process by some 13 MB. What a busy machine's Wine has been
  // seen to keep of ended threads stays near 1 MB.
  EXPECT_LT(after, before + (4u << 20)) << "grew by " << (after - before) << " bytes";
}

}  // namespace
