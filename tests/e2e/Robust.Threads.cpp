// Eight threads calling at once, each on a subtree of its own and all on one
// shared tree that nobody changes, with failures mixed in, half of the
// threads in box mode and half quiet: no deadlock, no crash, every answer
// what a lone caller would get, and every thread's reports its own.
#include <algorithm>
#include <random>
#include <set>
#include <thread>

#include "Robust.h"

namespace {

using Host::Record;

constexpr int kThreads = 8;
constexpr int kCallsPerThread = 5000;

const std::set<std::wstring> kSharedAll = {L"a.txt", L"файл.dat", L"Sub", L"Каталог", L"Empty"};
const std::set<std::wstring> kSharedDirectories = {L"Sub", L"Каталог", L"Empty"};

// One thread's calls and what went wrong in them; assertions are made on
// the main thread from these.
class Worker {
 public:
  Worker(int index, std::wstring shared, std::wstring own, Robust::Watchdog& watchdog)
      : index_(index), quiet_(index % 2 == 1), rng_(7919u * index + 1), shared_(std::move(shared)),
        own_(std::move(own)), watchdog_(watchdog) {}

  void Run() {
    Host::BoxHook hook;
    hook_ = &hook;
    if (!hook.Installed()) Fail("no box hook on this thread");
    const Host::ReportMode mode(Host::Api(), quiet_ ? 1 : 0);
    if (Host::Quiet() != quiet_) Fail("the report mode did not take");
    CreateDirectoryW(own_.c_str(), nullptr);
    while (calls_ < kCallsPerThread && errors_.size() < 10) {
      const int dice = Below(100);
      const bool narrow = Below(2) == 0;
      if (dice < 79)
        narrow ? ReadShared<char>() : ReadShared<wchar_t>();
      else if (dice < 99)
        narrow ? ChangeOwn<char>() : ChangeOwn<wchar_t>();
      else
        narrow ? FailOnPurpose<char>() : FailOnPurpose<wchar_t>();
    }
    watchdog_.Finish(index_);
  }

  int Calls() const { return calls_; }
  const std::vector<std::string>& Errors() const { return errors_; }

 private:
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  void Fail(const std::string& what) { errors_.push_back("thread " + std::to_string(index_) + ": " + what); }

  // One export call: counted, watched, and expected to report nothing.
  template <class F> int64_t Clean(const char* what, F&& call) {
    watchdog_.Mark(what, index_);
    ++calls_;
    const Robust::Outcome outcome = Robust::Observe(*hook_, call);
    if (outcome.boxes != 0) Fail(std::string(what) + " showed a box:\n" + Host::Ansi(outcome.box.text));
    if (!outcome.report.empty()) Fail(std::string(what) + " reported:\n" + Host::Ansi(outcome.report));
    return outcome.result;
  }
  void Expect(int64_t got, int64_t expected, const char* what) {
    if (got != expected)
      Fail(std::string(what) + " answered " + std::to_string(got) + ", not " + std::to_string(expected));
  }

  template <class C> std::basic_string<C> At(const std::wstring& path) { return Robust::As<C>(path); }

  template <class C> std::set<std::wstring> ListShared(int mode) {
    std::vector<C> texts(8 * 260);
    std::vector<Record<C>> records(8);
    for (int i = 0; i < 8; ++i) records[i] = {260, &texts[i * 260]};
    const auto pattern = At<C>(shared_ + L"\\*");
    const int64_t count = Clean("getListM shared", [&] {
      return Host::ApiOf<C>().getListM(pattern.c_str(), mode, records.data(), 8);
    });
    std::set<std::wstring> names;
    for (int64_t i = 0; i < std::min<int64_t>(count, 8); ++i)
      names.insert(Robust::WideOf(std::basic_string<C>(records[i].text)));
    return names;
  }

  template <class C> void ReadShared() {
    const Host::Forms<C>& api = Host::ApiOf<C>();
    switch (Below(5)) {
      case 0: {
        const auto dir = At<C>(shared_ + L"\\Sub"), file = At<C>(shared_ + L"\\a.txt");
        Expect(Clean("check shared dir", [&] { return api.check(dir.c_str()); }), 1, "check of a shared directory");
        Expect(Clean("check shared file", [&] { return api.check(file.c_str()); }), 0, "check of a shared file");
        break;
      }
      case 1: {
        const auto empty = At<C>(shared_ + L"\\Empty"), full = At<C>(shared_);
        Expect(Clean("isEmpty", [&] { return api.isEmpty(empty.c_str()); }), 1, "isEmpty of the empty directory");
        Expect(Clean("isEmpty", [&] { return api.isEmpty(full.c_str()); }), 0, "isEmpty of the shared tree");
        break;
      }
      case 2:
        if (ListShared<C>(3) != kSharedAll) Fail("the shared listing came back wrong");
        break;
      case 3:
        if (ListShared<C>(1) != kSharedDirectories) Fail("the shared directory listing came back wrong");
        break;
      default: {
        auto buffer = At<C>(shared_ + L"\\Sub\\locked.txt");
        Clean("trimName", [&] { return api.trimName(&buffer[0]) != nullptr; });
        if (Robust::WideOf(std::basic_string<C>(buffer.c_str())) != shared_ + L"\\Sub\\")
          Fail("a cut came back wrong");
      }
    }
  }

  // The next step of a cycle that builds, copies, moves, clears and removes
  // a work tree in this thread's own subtree; each answer is known.
  template <class C> void ChangeOwn() {
    const Host::Forms<C>& api = Host::ApiOf<C>();
    const auto work = At<C>(own_ + L"\\work"), deep = At<C>(own_ + L"\\work\\Глубже\\deep");
    const auto copy = At<C>(own_ + L"\\work\\copy"), moved = At<C>(own_ + L"\\work\\moved");
    const auto source = At<C>(shared_ + L"\\Каталог");
    switch (step_++ % 7) {
      case 0: Expect(Clean("create", [&] { return api.create(deep.c_str()); }), 1, "create"); break;
      case 1: Expect(Clean("copy", [&] { return api.copy(source.c_str(), copy.c_str()); }), 1, "copy"); break;
      case 2: Expect(Clean("move", [&] { return api.move(copy.c_str(), moved.c_str()); }), 1, "move"); break;
      case 3:
        Expect(Clean("clearFromFiles", [&] { return api.clearFromFiles(work.c_str()); }), 1, "clearFromFiles");
        if (Robust::Exists(own_ + L"\\work\\moved\\b.txt") || !Robust::IsDirectory(own_ + L"\\work\\moved"))
          Fail("clearing files left a file or took a directory");
        break;
      case 4: Expect(Clean("clearContents", [&] { return api.clearContents(work.c_str()); }), 1, "clearContents"); break;
      case 5: Expect(Clean("deleteEmpty", [&] { return api.deleteEmpty(work.c_str()); }), 1, "deleteEmpty"); break;
      default:
        Expect(Clean("check own", [&] { return api.check(work.c_str()); }), 0, "check after the removal");
        Expect(Clean("create", [&] { return api.create(work.c_str()); }), 1, "create again");
        Expect(Clean("remove", [&] { return api.remove(work.c_str()); }), 1, "remove");
    }
  }

  template <class C> void FailOnPurpose() {
    const Host::Forms<C>& api = Host::ApiOf<C>();
    const auto pattern = At<C>(shared_ + L"\\*");
    C slot[260];
    watchdog_.Mark("a failing call", index_);
    ++calls_;
    const Robust::Outcome outcome = Robust::Observe(*hook_, [&] {
      return Below(2) ? api.check(nullptr) : int64_t(api.getList(pattern.c_str(), 0, slot, 1, sizeof slot));
    });
    const std::size_t boxes = quiet_ ? 0 : 1;
    const bool sound = outcome.result == 0 && outcome.boxes == boxes && !outcome.report.empty() &&
                       (quiet_ || (outcome.box.caption == L"Sedgefold.dll" && outcome.box.text == outcome.report));
    if (!sound)
      Fail("a failing call gave " + std::to_string(outcome.result) + " with " +
           std::to_string(outcome.boxes) + " box(es) and the report:\n" + Host::Ansi(outcome.report));
  }

  int index_;
  bool quiet_;
  std::mt19937 rng_;
  std::wstring shared_, own_;
  Robust::Watchdog& watchdog_;
  Host::BoxHook* hook_ = nullptr;
  int calls_ = 0;
  unsigned step_ = 0;
  std::vector<std::string> errors_;
};

class Threads : public Host::Scratch {};

TEST_F(Threads, EightCallersAtOnceGetTheAnswersOfOne) {
  Robust::PlantTree(Path(L"shared"));
  const std::wstring sharedBefore = Robust::Digest(Path(L"shared"));
  Host::ApiOf<char>();  // resolved once, before the threads race for it
  Host::ApiOf<wchar_t>();
  Host::BoxWatcher watcher;
  Robust::Watchdog watchdog(30000, kThreads);
  std::vector<Worker> workers;
  for (int i = 0; i < kThreads; ++i)
    workers.emplace_back(i, Path(L"shared"), Path(L"own" + std::to_wstring(i)), watchdog);
  std::vector<std::thread> threads;
  for (Worker& worker : workers) threads.emplace_back([&worker] { worker.Run(); });
  for (std::thread& thread : threads) thread.join();
  watcher.Stop();

  for (const Worker& worker : workers) {
    EXPECT_GE(worker.Calls(), kCallsPerThread);
    for (const std::string& error : worker.Errors()) ADD_FAILURE() << error;
  }
  EXPECT_EQ(Robust::Digest(Path(L"shared")), sharedBefore) << "the shared tree changed";
}

}  // namespace
