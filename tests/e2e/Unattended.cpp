// Unattended use: a thread's report mode and last report are its own; every
// export empties the report as it starts and keeps the very text its box
// shows; the copies out of the report never pass their buffer; and thread
// records last no longer than their threads.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <functional>
#include <thread>
#include <vector>

#include "Robust.h"

namespace {

using Host::ApiOf;
using Robust::As;
using Robust::Guarded;

constexpr int kAsk = -1, kBoxes = 0, kQuiet = 1;

// Runs body on a thread of its own, which starts in the default mode.
void OnNewThread(const std::function<void()>& body) { std::thread(body).join(); }

// What a thread left behind: its answer, its boxes and its report.
struct Seen {
  int answer = -1;
  std::size_t boxes = 0;
  Host::Box box;
  std::wstring report;
};

class Unattended : public Host::Scratch {
 protected:
  // A failure whose report names path: clearing a folder that is not there.
  static int FailOn(const std::wstring& path) { return ApiOf<wchar_t>().clearContents(path.c_str()); }
};

TEST_F(Unattended, TheModeBelongsToTheThreadAndEachThreadReadsItsOwnReport) {
  const std::wstring quietPath = Path(L"missing-quiet"), boxPath = Path(L"missing-box");
  ASSERT_EQ(ApiOf<wchar_t>().check(Root().c_str()), 1);  // this thread's report emptied
  Host::BoxWatcher watcher;
  std::atomic<int> ready{0};
  Seen quiet, boxed;
  const auto fail = [&](int mode, const std::wstring& path, Seen& seen) {
    Host::BoxHook hook;
    const Host::ReportMode set(mode);
    if (++ready < 2) while (ready < 2) Sleep(0);  // both fail at the same moment
    seen.answer = FailOn(path);
    seen.boxes = hook.Count();
    if (seen.boxes > 0) seen.box = hook.Last();
    seen.report = Host::LastReport();
  };
  std::thread quietThread(fail, kQuiet, quietPath, std::ref(quiet));
  std::thread boxThread(fail, kBoxes, boxPath, std::ref(boxed));
  quietThread.join();
  boxThread.join();
  EXPECT_EQ(quiet.answer, 0);
  EXPECT_EQ(quiet.boxes, 0u) << quiet.box.text;
  EXPECT_NE(quiet.report.find(quietPath), std::wstring::npos) << quiet.report;
  EXPECT_EQ(quiet.report.find(boxPath), std::wstring::npos) << quiet.report;
  EXPECT_EQ(boxed.answer, 0);
  ASSERT_EQ(boxed.boxes, 1u);
  EXPECT_EQ(boxed.report, boxed.box.text);
  EXPECT_NE(boxed.report.find(boxPath), std::wstring::npos) << boxed.report;
  const Host::Box box = Host::ExpectOneBox(watcher);
  EXPECT_NE(box.text.find(boxPath), std::wstring::npos) << "the quiet thread's failure showed a box";
  EXPECT_EQ(Host::LastReport(), L"") << "another thread's report reached this one";
}

// Each row on the same fresh thread, in order: what SedgefoldReportMode
// answers, and the mode in force after it.
TEST_F(Unattended, ReportModeAnswersTheModeBeforeAndRefusesUnknownModes) {
  struct Row {
    int mode, answer, after;
  };
  const Row rows[] = {{kAsk, kBoxes, kBoxes}, {kBoxes, kBoxes, kBoxes}, {kQuiet, kBoxes, kQuiet},
                      {kAsk, kQuiet, kQuiet}, {2, -1, kQuiet},          {-2, -1, kQuiet},
                      {INT_MIN, -1, kQuiet},  {INT_MAX, -1, kQuiet},    {kQuiet, kQuiet, kQuiet},
                      {kBoxes, kQuiet, kBoxes}, {kAsk, kBoxes, kBoxes}};
  Host::BoxWatcher watcher;
  OnNewThread([&] {
    const auto mode = ApiOf<wchar_t>().reportMode;
    for (const Row& row : rows) {
      EXPECT_EQ(mode(row.mode), row.answer) << "mode " << row.mode;
      EXPECT_EQ(mode(kAsk), row.after) << "after mode " << row.mode;
    }
  });
  Host::ExpectNoBox(watcher);
}

// Only a Path export clears: asking for the mode, setting it and reading the
// report leave the report as it is.
TEST_F(Unattended, TheReportLastsUntilTheThreadsNextExportCallAndNoOtherThreadTouchesIt) {
  OnNewThread([&] {
    const Host::ReportMode quiet(kQuiet);
    ASSERT_EQ(FailOn(Path(L"first")), 0);
    const std::wstring first = Host::LastReport();
    ASSERT_NE(first.find(Path(L"first")), std::wstring::npos) << first;
    ApiOf<wchar_t>().reportMode(kAsk);
    ApiOf<wchar_t>().reportMode(kQuiet);
    EXPECT_EQ(Host::LastReport(), first);
    OnNewThread([&] {
      const Host::ReportMode alsoQuiet(kQuiet);
      EXPECT_EQ(FailOn(Path(L"elsewhere")), 0);
      EXPECT_NE(Host::LastReport(), L"");
    });
    EXPECT_EQ(Host::LastReport(), first) << "a failure on another thread changed this one's report";
    EXPECT_EQ(ApiOf<wchar_t>().create(Path(L"made").c_str()), 1);
    EXPECT_EQ(Host::LastReport(), L"") << "a successful call left the report of the one before";
  });
}

// Every one of the 26 exports, in both widths, on a quiet thread: a failure
// from before is gone once the export starts, a call that answers without
// a failure leaves no report, and a failing call keeps one that names it.
template <class C> class EveryExport : public Host::Scratch {
 protected:
  struct Case {
    const char* name;                    // the export, without its width
    std::function<int64_t()> harmless;   // answers without a failure
    std::function<int64_t()> failing;    // a null where text belongs
  };

  static const Host::Api<C>& Api() { return ApiOf<C>(); }

  std::vector<Case> Cases() {
    dir_ = As<C>(MakeDir(L"dir"));
    pattern_ = As<C>(Path(L"dir\\*"));
    missing_ = As<C>(Path(L"missing"));
    target_ = As<C>(MakeDir(L"target"));
    link_ = As<C>(Path(L"links\\link"));
    cut_ = As<C>(L"C:\\dir\\file.txt");
    const C* const n = nullptr;
    return {
        {"PathIsEmpty", [this] { return Api().isEmpty(missing_.c_str()); }, [=] { return Api().isEmpty(n); }},
        {"PathTrimNameFile", [this] { return Api().trimName(&cut_[0]) != nullptr; },
         [] { return Api().trimName(nullptr) != nullptr; }},
        {"PathCheck", [this] { return Api().check(missing_.c_str()); }, [=] { return Api().check(n); }},
        {"PathGetList", [this] { return Api().getList(pattern_.c_str(), 3, nullptr, 0, 0); },
         [=] { return Api().getList(n, 3, nullptr, 0, 0); }},
        {"PathGetListM", [this] { return Api().getListM(pattern_.c_str(), 3, nullptr, 0); },
         [=] { return Api().getListM(n, 3, nullptr, 0); }},
        {"PathCreate", [this] { return Api().create(dir_.c_str()); }, [=] { return Api().create(n); }},
        {"PathDelete", [this] { return Api().remove(missing_.c_str()); }, [=] { return Api().remove(n); }},
        {"PathDeleteEmpty", [this] { return Api().deleteEmpty(missing_.c_str()); },
         [=] { return Api().deleteEmpty(n); }},
        {"PathClearContents", [this] { return Api().clearContents(dir_.c_str()); },
         [=] { return Api().clearContents(n); }},
        {"PathClearFromFiles", [this] { return Api().clearFromFiles(dir_.c_str()); },
         [=] { return Api().clearFromFiles(n); }},
        {"PathCopy", [this] { return Api().copy(missing_.c_str(), dir_.c_str()); },
         [=] { return Api().copy(n, n); }},
        {"PathMove", [this] { return Api().move(missing_.c_str(), dir_.c_str()); },
         [=] { return Api().move(n, n); }},
        {"PathSymbolicLink", [this] { return Api().link(target_.c_str(), link_.c_str()); },
         [=] { return Api().link(n, n); }},
    };
  }

  std::basic_string<C> dir_, pattern_, missing_, target_, link_, cut_;
};

using Widths = ::testing::Types<char, wchar_t>;
TYPED_TEST_SUITE(EveryExport, Widths);

TYPED_TEST(EveryExport, EmptiesTheReportAsItStartsAndKeepsItsOwnFailure) {
  const Host::ReportMode quiet(kQuiet);
  Host::BoxHook hook;
  const char width = sizeof(TypeParam) == 1 ? 'A' : 'W';
  for (const auto& c : this->Cases()) {
    const std::string name = std::string(c.name) + width;
    ASSERT_EQ(ApiOf<wchar_t>().check(nullptr), 0);
    ASSERT_NE(Host::LastReport(), L"") << "no failure to clear before " << name;
    const Robust::Outcome harmless = Robust::Observe(hook, c.harmless);
    Robust::ExpectSound(harmless, name);
    EXPECT_EQ(harmless.report, L"") << name << " left the report of the call before it";
    const Robust::Outcome failing = Robust::Observe(hook, c.failing);
    Robust::ExpectSound(failing, name);
    EXPECT_EQ(failing.result, 0) << name;
    EXPECT_NE(failing.report.find(std::wstring(name.begin(), name.end()) + L"("), std::wstring::npos)
        << name << " kept no report of its own:\n" << failing.report;
  }
  EXPECT_EQ(hook.Count(), 0u) << "a quiet thread showed a box";
}

// The report of a box thread is the box's text, character for character;
// the A form is that text in the ANSI code page.
TEST_F(Unattended, TheKeptReportIsTheTextOfTheBoxAndTheNarrowFormItsConversion) {
  const std::wstring pattern = Path(L"Нет такой папки\\*");
  Host::BoxWatcher watcher;
  Host::BoxHook hook;
  wchar_t slot[260];
  EXPECT_EQ(ApiOf<wchar_t>().getList(pattern.c_str(), 3, slot, 1, sizeof slot), 0u);
  const std::wstring wide = Host::LastReport();
  const std::string narrow = Host::LastReportOf<char>();
  ASSERT_EQ(hook.Count(), 1u);
  EXPECT_EQ(wide, hook.Last().text);
  EXPECT_NE(wide.find(L"Нет такой папки"), std::wstring::npos) << wide;
  EXPECT_EQ(narrow, Host::Ansi(wide));
  EXPECT_EQ(Host::Wide(narrow), wide) << "code page 1251 spells every character of this report";
  Host::ExpectOneBox(watcher);
}

// Capacities around the report's length, in both widths: the answer is
// always the length, at most capacity - 1 characters and a terminator are
// written, and nothing else of the buffer or its guards changes.
template <class C> void ExpectCopies(const std::basic_string<C>& report) {
  const int length = static_cast<int>(report.size());
  const int capacities[] = {0, -1, INT_MIN, 1, 2, length, length + 1, length + 100};
  const auto lastReport = ApiOf<C>().lastReport;
  EXPECT_EQ(lastReport(nullptr, 0), length);
  EXPECT_EQ(lastReport(nullptr, length + 1), length);
  for (const int capacity : capacities) {
    Guarded<C> buffer(static_cast<std::size_t>(length) + 100);
    EXPECT_EQ(lastReport(buffer.data(), capacity), length) << "capacity " << capacity;
    const std::vector<C> after = buffer.Contents();
    const std::size_t copied = capacity <= 0 ? 0 : std::min(length, capacity - 1);
    const std::size_t written = capacity <= 0 ? 0 : copied + 1;
    EXPECT_EQ(std::basic_string<C>(after.begin(), after.begin() + copied), report.substr(0, copied))
        << "capacity " << capacity;
    if (capacity > 0) {
      EXPECT_EQ(after[copied], C(0)) << "capacity " << capacity;
    }
    EXPECT_EQ(std::count(after.begin() + written, after.end(), C('#')),
              static_cast<std::ptrdiff_t>(after.size() - written))
        << "capacity " << capacity << " wrote past the terminator";
    EXPECT_TRUE(buffer.GuardsIntact()) << "capacity " << capacity;
  }
}

TEST_F(Unattended, TheCopyAnswersTheLengthAndNeverPassesItsCapacity) {
  const Host::ReportMode quiet(kQuiet);
  ASSERT_EQ(FailOn(Path(L"Отчёты")), 0);
  ExpectCopies(Host::LastReportOf<wchar_t>());
  ExpectCopies(Host::LastReportOf<char>());
  ASSERT_EQ(ApiOf<wchar_t>().check(Root().c_str()), 1);
  ExpectCopies(std::wstring());
  ExpectCopies(std::string());
}

// A cut that would split a surrogate pair stops before it.
TEST_F(Unattended, ACopyNeverEndsInHalfACharacter) {
  const Host::ReportMode quiet(kQuiet);
  ASSERT_EQ(FailOn(Path(L"smile \xD83D\xDE00 here")), 0);
  const std::wstring report = Host::LastReport();
  const std::size_t high = report.find(L'\xD83D');
  ASSERT_NE(high, std::wstring::npos) << report;
  Guarded<wchar_t> buffer(high + 4);
  const int capacity = static_cast<int>(high) + 2;  // room up to the high half
  EXPECT_EQ(ApiOf<wchar_t>().lastReport(buffer.data(), capacity), int(report.size()));
  EXPECT_EQ(std::wstring(buffer.data()), report.substr(0, high));
  EXPECT_TRUE(buffer.GuardsIntact());
}

// Threads that each set quiet mode, fail once with a long report and end,
// a few at a time; the number whose report came back empty.
int FailOnThreads(int count, const std::wstring& path) {
  constexpr int kAtOnce = 64;
  std::atomic<int> missing{0};
  for (int started = 0; started < count; started += kAtOnce) {
    std::vector<std::thread> threads;
    for (int i = 0; i < kAtOnce && started + i < count; ++i)
      threads.emplace_back([&] {
        ApiOf<wchar_t>().reportMode(kQuiet);
        if (ApiOf<wchar_t>().clearContents(path.c_str()) != 0 || Host::LastReport().empty()) ++missing;
      });
    for (std::thread& thread : threads) thread.join();
  }
  return missing;
}

TEST_F(Unattended, TenThousandShortThreadsThatEachFailLeaveNoMemoryBehind) {
  const std::wstring path = Path(std::wstring(200, L'ж'));
  Host::BoxWatcher watcher;
  EXPECT_EQ(FailOnThreads(1000, path), 0);  // the heap and the loader settle
  const std::size_t before = Host::PrivateBytes();
  ASSERT_GT(before, 0u) << "the private bytes cannot be read";
  EXPECT_EQ(FailOnThreads(10000, path), 0);
  const std::size_t after = Host::PrivateBytes();
  EXPECT_LT(after, before + (1u << 20)) << "grew by " << (after - before) << " bytes";
  Host::ExpectNoBox(watcher);
}

}  // namespace
