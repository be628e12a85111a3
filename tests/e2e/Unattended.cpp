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
// box thread shows a box, each reads its own report, which lasts until its
// next export call whatever other threads do, and a mode call keeps it.
TEST_F(Unattended, ModeAndReportBelongToTheThread) {
  struct Seen {
    int answer = -1;
    std::size_t boxes = 0;
    std::wstring box, report, afterMode, afterSuccess;
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
    Host::Api().reportMode(kAsk);
    seen.afterMode = Host::LastReport();
    ApiOf<wchar_t>().create(path.c_str());
    seen.afterSuccess = Host::LastReport();
  };
  const std::wstring quietPath = Path(L"missing-quiet"), boxPath = Path(L"missing-box");
  Host::BoxWatcher watcher;
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
    EXPECT_EQ(seen->afterMode, seen->report) << "asking for the mode cleared the report";
    EXPECT_EQ(seen->afterSuccess, L"") << "a successful call left the report of the one before";
  }
  EXPECT_NE(Host::ExpectOneBox(watcher).text.find(boxPath), std::wstring::npos);
}

// Each row in order on a fresh thread: what SedgefoldReportMode answers and
// the mode in force after it.
TEST(UnattendedMode, AnswersTheModeBeforeAndRefusesUnknownModes) {
  const int rows[][3] = {{kAsk, kBoxes, kBoxes}, {kQuiet, kBoxes, kQuiet}, {2, -1, kQuiet},
                         {-2, -1, kQuiet},       {INT_MIN, -1, kQuiet},   {INT_MAX, -1, kQuiet},
                         {kQuiet, kQuiet, kQuiet}, {kBoxes, kQuiet, kBoxes}};
  std::thread([&] {
    for (const auto& row : rows) {
      EXPECT_EQ(Host::Api().reportMode(row[0]), row[1]) << "mode " << row[0];
      EXPECT_EQ(Host::Api().reportMode(kAsk), row[2]) << "after mode " << row[0];
    }
  }).join();
}

// Every export, in both widths, on a quiet thread: a failure from before is
// gone once it starts, a call that answers without a failure leaves no
// report, and a failing call (a null in each place where text belongs)
// answers 0 and keeps a report naming it and the null.
template <class C> class EveryExport : public Host::Scratch {};
using Widths = ::testing::Types<char, wchar_t>;
TYPED_TEST_SUITE(EveryExport, Widths);

TYPED_TEST(EveryExport, EmptiesTheReportAsItStartsAndKeepsItsOwnFailure) {
  using C = TypeParam;
  const Host::Forms<C>& api = ApiOf<C>();
  const auto dir = As<C>(this->MakeDir(L"dir")), pattern = As<C>(this->Path(L"dir\\*"));
  const auto missing = As<C>(this->Path(L"missing")), target = As<C>(this->MakeDir(L"target"));
  const auto link = As<C>(this->Path(L"links\\link"));
  auto cut = As<C>(L"C:\\dir\\file.txt");
  const C* const n = nullptr;
  const C* const m = missing.c_str();
  using Call = std::function<int64_t()>;
  const std::vector<std::tuple<const char*, Call, std::vector<Call>>> cases = {
      {"PathIsEmpty", [&] { return api.isEmpty(m); }, {[&] { return api.isEmpty(n); }}},
      {"PathTrimNameFile", [&] { return api.trimName(&cut[0]) != nullptr; },
       {[&] { return api.trimName(nullptr) != nullptr; }}},
      {"PathCheck", [&] { return api.check(m); }, {[&] { return api.check(n); }}},
      {"PathGetList", [&] { return api.getList(pattern.c_str(), 3, nullptr, 0, 0); },
       {[&] { return api.getList(n, 3, nullptr, 0, 0); }}},
      {"PathGetListM", [&] { return api.getListM(pattern.c_str(), 3, nullptr, 0); },
       {[&] { return api.getListM(n, 3, nullptr, 0); }}},
      {"PathCreate", [&] { return api.create(dir.c_str()); }, {[&] { return api.create(n); }}},
      {"PathDelete", [&] { return api.remove(m); }, {[&] { return api.remove(n); }}},
      {"PathDeleteEmpty", [&] { return api.deleteEmpty(m); }, {[&] { return api.deleteEmpty(n); }}},
      {"PathClearContents", [&] { return api.clearContents(dir.c_str()); },
       {[&] { return api.clearContents(n); }}},
      {"PathClearFromFiles", [&] { return api.clearFromFiles(dir.c_str()); },
       {[&] { return api.clearFromFiles(n); }}},
      {"PathCopy", [&] { return api.copy(m, dir.c_str()); },
       {[&] { return api.copy(n, m); }, [&] { return api.copy(m, n); }, [&] { return api.copy(n, n); }}},
      {"PathMove", [&] { return api.move(m, dir.c_str()); },
       {[&] { return api.move(n, m); }, [&] { return api.move(m, n); }, [&] { return api.move(n, n); }}},
      {"PathSymbolicLink", [&] { return api.link(target.c_str(), link.c_str()); },
       {[&] { return api.link(n, m); }, [&] { return api.link(m, n); }, [&] { return api.link(n, n); }}},
  };
  const Host::ReportMode quiet(Host::Api(), kQuiet);
  Host::BoxHook hook;
  for (const auto& [base, harmless, failing] : cases) {
    const std::string name = std::string(base) + (sizeof(C) == 1 ? 'A' : 'W');
    const std::wstring said = name == "PathTrimNameFileA" || name == "PathTrimNameFileW"
                                  ? L"Отсутствует путь."
                                  : L"Вместо строки передан нулевой указатель.";
    for (const Call& fail : failing) {
      ASSERT_EQ(ApiOf<wchar_t>().check(nullptr), 0);
      const Robust::Outcome calm = Robust::Observe(hook, harmless);
      EXPECT_EQ(calm.report, L"") << name << " left the report of the call before it";
      const Robust::Outcome failed = Robust::Observe(hook, fail);
      EXPECT_EQ(failed.result, 0) << name;
      EXPECT_NE(failed.report.find(std::wstring(name.begin(), name.end()) + L"("), std::wstring::npos)
          << name << " kept no report of its own:\n" << failed.report;
      EXPECT_NE(failed.report.find(said), std::wstring::npos) << name << ":\n" << failed.report;
    }
  }
  EXPECT_EQ(hook.Count(), 0u) << "a quiet thread showed a box";
  EXPECT_TRUE(Robust::IsDirectory(this->Path(L"dir")) && !Robust::Exists(this->Path(L"missing")))
      << "a call acted on a null";
}

// The report of a box thread is its box's text, character for character;
// the A form is that text in the ANSI code page.
TEST_F(Unattended, TheKeptReportIsTheTextOfTheBoxAndTheNarrowFormItsConversion) {
  const std::wstring pattern = Path(L"Нет такой папки\\*");
  Host::BoxWatcher watcher;
  Host::BoxHook hook;
  wchar_t slot[260];
  EXPECT_EQ(ApiOf<wchar_t>().getList(pattern.c_str(), 3, slot, 1, sizeof slot), 0u);
  const std::wstring wide = Host::LastReport();
  ASSERT_EQ(hook.Count(), 1u);
  EXPECT_EQ(wide, hook.Last().text);
  EXPECT_NE(wide.find(L"Нет такой папки"), std::wstring::npos) << wide;
  EXPECT_EQ(Host::LastReportOf<char>(), Host::Ansi(wide));
  Host::ExpectOneBox(watcher);
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

// The least of a few readings: the system takes back the stacks of ended
// threads in its own time, which a single reading can catch half done.
std::size_t SettledPrivateBytes() {
  std::size_t least = SIZE_MAX;
  for (int reading = 0; reading < 5; ++reading, Sleep(100)) least = std::min(least, Host::PrivateBytes());
  return least;
}

TEST_F(Unattended, TenThousandShortThreadsThatEachFailLeaveNoMemoryBehind) {
  const std::wstring path = Path(std::wstring(200, L'ж'));
  Host::BoxWatcher watcher;
  EXPECT_EQ(FailOnThreads(1000, path), 0);  // the heap and the loader settle
  const std::size_t before = SettledPrivateBytes();
  ASSERT_GT(before, 0u) << "the private bytes cannot be read";
  EXPECT_EQ(FailOnThreads(10000, path), 0);
  const std::size_t after = SettledPrivateBytes();
  EXPECT_LT(after, before + (1u << 20)) << "grew by " << (after - before) << " bytes";
  Host::ExpectNoBox(watcher);
}

}  // namespace
