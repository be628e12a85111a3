#pragma once
// Pieces shared by the robustness tests: guarded host buffers, a sentinel
// tree that must come through untouched, answers checked against the file
// system, and a watchdog that turns a hang into a failure.
#include <windows.h>

#include <atomic>
#include <cstring>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Host.h"

namespace Robust {

// n elements the library may write, between guard bands it must not touch;
// a buffer of n = 0 is all guard.
template <class T> class Guarded {
 public:
  explicit Guarded(std::size_t n, T fill = T('#')) : memory_(n + 2 * kGuard, Pattern()), n_(n) {
    for (std::size_t i = 0; i < n; ++i) memory_[kGuard + i] = fill;
  }
  template <class S> static Guarded Holding(const S& text) {  // text and its terminator
    Guarded buffer(text.size() + 1);
    for (std::size_t i = 0; i < text.size(); ++i) buffer.data()[i] = text[i];
    buffer.data()[text.size()] = T(0);
    return buffer;
  }
  T* data() { return memory_.data() + kGuard; }
  std::size_t size() const { return n_; }
  bool GuardsIntact() const {
    for (std::size_t i = 0; i < kGuard; ++i)
      if (!Same(memory_[i]) || !Same(memory_[kGuard + n_ + i])) return false;
    return true;
  }
  std::vector<T> Contents() const { return {memory_.begin() + kGuard, memory_.end() - kGuard}; }

 private:
  static constexpr std::size_t kGuard = 64;
  static T Pattern() {
    T value;
    std::memset(static_cast<void*>(&value), 0xA5, sizeof value);
    return value;
  }
  static bool Same(const T& value) {
    const T pattern = Pattern();
    return std::memcmp(&value, &pattern, sizeof value) == 0;
  }
  std::vector<T> memory_;
  std::size_t n_;
};

// Text of either width from test data, and its wide reading (what the
// library works on): A forms get the data in the ANSI code page.
using Host::As;
inline std::wstring WideOf(const std::string& text) { return Host::Wide(text); }
inline std::wstring WideOf(const std::wstring& text) { return text; }

// A tree with names, sizes, contents and attributes worth comparing:
// Cyrillic names, a read-only and a hidden file, nested directories.
void PlantTree(const std::wstring& root);
// Everything a walk of the tree sees (never through links): relative names,
// attributes, sizes and content digests, in a stable order.
inline std::wstring Digest(const std::wstring& root) { return Host::Describe(Host::SnapshotOf(root)); }

// Facts of the file system, for checking answers.
using Host::Exists;
using Host::IsDirectory;
using Host::IsEmptyDirectory;
bool HasWildcard(const std::wstring& path);

// Every box caught by a BoxHook across a call, and the report the call
// left on its thread: the result is a failure value whenever a box was
// shown or a report kept, and no call shows more than one box.
struct Outcome {
  int64_t result;
  std::size_t boxes;
  Host::Box box;       // the last one, when boxes > 0
  std::wstring report;  // the thread's last report after the call
  bool quiet;          // the thread's report mode during the call
};
template <class Call> Outcome Observe(const Host::BoxHook& hook, Call&& call) {
  const std::size_t before = hook.Count();
  const int64_t result = static_cast<int64_t>(call());
  const std::size_t boxes = hook.Count() - before;
  return {result, boxes, boxes > 0 ? hook.Last() : Host::Box(), Host::LastReport(), Host::Quiet()};
}

// Fails the test on a broken rule: more than one box, a box with another
// caption, a box or a report with a success answer, a box on a quiet
// thread, a box without the same text kept as the report, and a 0 with no
// reason kept, unless a 0 is a plain answer of the call (plainZero: "no"
// of PathCheck or PathIsEmpty, no names of a listing). Returns true when
// it passed.
bool ExpectSound(const Outcome& outcome, const std::string& call, bool plainZero);

// What a one-path answer (op: the export's name, "PathCheck" to
// "PathClearFromFiles") claims must hold after
// the call. Only paths inside `sandbox` without wildcards are looked at:
// roots and patterns answer by other rules.
void ExpectBorneOut(const std::string& op, const std::wstring& path, const Outcome& outcome,
                    const std::wstring& sandbox);

// A sandbox holding a planted tree that calls may act on, with the
// process's current directory inside it (relative paths land there), and a
// sentinel tree beside it that must come through every test unchanged.
class Sandbox : public Host::Scratch {
 protected:
  void SetUp() override;
  void TearDown() override;
  // The planted tree again, after a call removed or emptied it.
  void Replant();

  std::wstring sandbox_;

 private:
  std::wstring sentinel_;
  wchar_t previous_[MAX_PATH] = {};
};

// Ends the process with a message when one of its workers marks no
// progress for `stallMs`: a hung or deadlocked export otherwise blocks the
// test until CTest's timeout, without saying where.
class Watchdog {
 public:
  Watchdog(DWORD stallMs, std::size_t workers = 1);
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;
  // Called by worker `worker` before each call: the description is printed
  // if that call never returns.
  void Mark(const std::string& what, std::size_t worker = 0);
  // The worker has no more calls to make.
  void Finish(std::size_t worker = 0);

 private:
  struct Worker {
    std::string last;
    ULONGLONG markedAt;
    bool finished;
  };
  void Watch(DWORD stallMs);
  std::mutex mutex_;
  std::vector<Worker> workers_;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

}  // namespace Robust
