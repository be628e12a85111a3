// Eight threads calling at once, each on a subtree of its own and all on one
// shared tree that nobody changes, with failures mixed in, half of the
// threads in box mode and half quiet: no deadlock, no crash, every answer
// what a lone caller would get, and every thread's reports its own.
#include <random>
#include <set>
#include <thread>

#include "Robust.h"

namespace {

using Host::As;
using Host::Record;

constexpr int kThreads = 8;
constexpr int kCallsPerThread = 5000;

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
    const Host::ReportMode mode(Host::Api(), quiet_ ? 1 : 0);
    if (!hook.Installed() || Host::Quiet() != quiet_) Fail("no box hook, or the mode did not take");
    CreateDirectoryW(own_.c_str(), nullptr);
    while (calls_ < kCallsPerThread && errors_.size() < 10) {
      const int dice = Below(100);
      if (dice < 79)
        Below(2) ? ReadShared<char>() : ReadShared<wchar_t>();
      else if (dice < 99)
        Below(2) ? ChangeOwn<char>() : ChangeOwn<wchar_t>();
      else
        Below(2) ? FailOnPurpose<char>() : FailOnPurpose<wchar_t>();
    }
    watchdog_.Finish(index_);
  }

  int Calls() const { return calls_; }
  const std::vector<std::string>& Errors() const { return errors_; }

 private:
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  void Fail(const std::string& what) { errors_.push_back("thread " + std::to_string(index_) + ": " + what); }

  // One export call, counted and watched, that must answer `expected`. A
  // call that fails shows a box on a box thread only, its text kept as the
  // report; any other call reports nothing.
  template <class F> void Expect(const char* what, int64_t expected, F&& call, bool fails = false) {
    watchdog_.Mark(what, index_);
    ++calls_;
    const Robust::Outcome outcome = Robust::Observe(*hook_, call);
    const bool boxed = fails && !quiet_;
    if (outcome.result != expected || outcome.boxes != (boxed ? 1u : 0u) || outcome.report.empty() == fails ||
        (boxed && (outcome.box.caption != L"Sedgefold.dll" || outcome.box.text != outcome.report)))
      Fail(std::string(what) + " answered " + std::to_string(outcome.result) + " with " +
           std::to_string(outcome.boxes) + " box(es), report:\n" + Host::Ansi(outcome.report));
  }

  template <class C> std::set<std::wstring> ListShared(int mode) {
    std::vector<C> texts(8 * 260);
    std::vector<Record<C>> records(8);
    for (int i = 0; i < 8; ++i) records[i] = {260, &texts[i * 260]};
    const auto pattern = As<C>(shared_ + L"\\*");
    int64_t count = 0;
    Expect("getListM shared", mode == 3 ? 5 : 3, [&] {
      return count = Host::ApiOf<C>().getListM(pattern.c_str(), mode, records.data(), 8);
    });
    std::set<std::wstring> names;
    for (int64_t i = 0; i < std::min<int64_t>(count, 8); ++i)
      names.insert(Robust::WideOf(std::basic_string<C>(records[i].text)));
    return names;
  }

  template <class C> void ReadShared() {
    const Host::Forms<C>& api = Host::ApiOf<C>();
    const auto dir = As<C>(shared_ + L"\\Sub"), file = As<C>(shared_ + L"\\a.txt");
    const auto empty = As<C>(shared_ + L"\\Empty");
    switch (Below(3)) {
      case 0:
        Expect("check of a shared directory", 1, [&] { return api.check(dir.c_str()); });
        Expect("check of a shared file", 0, [&] { return api.check(file.c_str()); });
        break;
      case 1:
        Expect("isEmpty of an empty directory", 1, [&] { return api.isEmpty(empty.c_str()); });
        Expect("isEmpty of a full one", 0, [&] { return api.isEmpty(dir.c_str()); });
        break;
      default:
        if (ListShared<C>(3) != std::set<std::wstring>{L"a.txt", L"файл.dat", L"Sub", L"Каталог", L"Empty"} ||
            ListShared<C>(1) != std::set<std::wstring>{L"Sub", L"Каталог", L"Empty"})
          Fail("the shared listing came back wrong");
    }
  }

  // The next step of a cycle that builds, copies, moves, clears and removes
  // a work tree in this thread's own subtree; each answer is known.
  template <class C> void ChangeOwn() {
    const Host::Forms<C>& api = Host::ApiOf<C>();
    const auto work = As<C>(own_ + L"\\work"), deep = As<C>(own_ + L"\\work\\Глубже\\deep");
    const auto copy = As<C>(own_ + L"\\work\\copy"), moved = As<C>(own_ + L"\\work\\moved");
    const auto source = As<C>(shared_ + L"\\Каталог");
    switch (step_++ % 7) {
      case 0: Expect("create", 1, [&] { return api.create(deep.c_str()); }); break;
      case 1: Expect("copy", 1, [&] { return api.copy(source.c_str(), copy.c_str()); }); break;
      case 2: Expect("move", 1, [&] { return api.move(copy.c_str(), moved.c_str()); }); break;
      case 3:
        Expect("clearFromFiles", 1, [&] { return api.clearFromFiles(work.c_str()); });
        if (Robust::Exists(own_ + L"\\work\\moved\\b.txt") || !Robust::IsDirectory(own_ + L"\\work\\moved"))
          Fail("clearing files left a file or took a directory");
        break;
      case 4: Expect("clearContents", 1, [&] { return api.clearContents(work.c_str()); }); break;
      case 5: Expect("deleteEmpty", 1, [&] { return api.deleteEmpty(work.c_str()); }); break;
      default:
        Expect("check after the removal", 0, [&] { return api.check(work.c_str()); });
        Expect("create again", 1, [&] { return api.create(work.c_str()); });
        Expect("remove", 1, [&] { return api.remove(work.c_str()); });
    }
  }

  template <class C> void FailOnPurpose() {
    const Host::Forms<C>& api = Host::ApiOf<C>();
    const auto pattern = As<C>(shared_ + L"\\*");
    C slot[260];
    Expect("a failing call", 0, [&] {
      return Below(2) ? api.check(nullptr) : int64_t(api.getList(pattern.c_str(), 0, slot, 1, sizeof slot));
    }, true);
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
  Host::Loaded();  // resolved once, before the threads race for it
  Robust::Watchdog watchdog(30000, kThreads);
  std::vector<Worker> workers;
  for (int i = 0; i < kThreads; ++i)
    workers.emplace_back(i, Path(L"shared"), Path(L"own" + std::to_wstring(i)), watchdog);
  std::vector<std::thread> threads;
  for (Worker& worker : workers) threads.emplace_back([&worker] { worker.Run(); });
  for (std::thread& thread : threads) thread.join();
  for (const Worker& worker : workers) {
    EXPECT_GE(worker.Calls(), kCallsPerThread);
    for (const std::string& error : worker.Errors()) ADD_FAILURE() << error;
  }
  EXPECT_EQ(Robust::Digest(Path(L"shared")), sharedBefore) << "the shared tree changed";
}

}  // namespace
