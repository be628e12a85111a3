// Thousands of generated calls over all 26 exports, inside a sandbox, with
// a sentinel tree next to it that no call may reach. Paths are built from
// names, wildcards, dots and climbs that never lead above the sandbox when
// read literally; what a wildcard or a rule might make of them is exactly
// what is under test. Eight shards of 2,500 calls, fixed seeds; the odd
// shards run quiet, so every rule is also held against the report alone.
#include <climits>
#include <functional>
#include <random>

#include "Robust.h"

namespace {

using Host::Record;
using Robust::Guarded;
using Robust::Outcome;

constexpr int kCallsPerShard = 2500;  // eight shards: 20,000 calls

class Generator {
 public:
  Generator(unsigned seed, std::wstring sandbox) : rng_(seed), sandbox_(std::move(sandbox)) {}

  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  bool Chance(int percent) { return Below(100) < percent; }
  template <class T> const T& Pick(const std::vector<T>& from) { return from[Below(int(from.size()))]; }

  // Mostly a path in the sandbox; now and then one that no rule should let
  // through, or that only names something by wildcard or trailing marks.
  std::wstring Text() {
    if (Chance(4)) return Pick(Hostile());
    std::wstring path = sandbox_;
    for (int depth = 0, parts = Below(4); parts > 0; --parts) {
      const std::wstring& name = Pick(Names());
      if (name == L"..") {
        if (depth == 0) continue;
        --depth;
      } else if (name != L".") {
        ++depth;
      }
      path += L"\\" + name;
    }
    if (Chance(5)) path += L"\\";
    return path;
  }

 private:
  static const std::vector<std::wstring>& Names() {
    static const std::vector<std::wstring> names = {
        L"Sub", L"Каталог", L"Empty", L"a.txt", L"файл.dat", L"Глубже", L"new", L"x y",
        L"trail.", L"*",   L"?.txt",   L"*.*",   L".*",      L"..*",    L"..",  L"."};
    return names;
  }
  const std::vector<std::wstring>& Hostile() {
    if (hostile_.empty())
      hostile_ = {L"", L"relative", L"*", L"..", L"\\", L"C:", L"\\\\?\\", L"\\\\.\\",
                  sandbox_ + L"\\" + std::wstring(300, L'n'), sandbox_ + L"\\c\x01", sandbox_ + L"\\|"};
    return hostile_;
  }

  std::mt19937 rng_;
  std::wstring sandbox_;
  std::vector<std::wstring> hostile_;
};

class RandomCalls : public Robust::Sandbox, public ::testing::WithParamInterface<int> {
 protected:
  // One generated call of export `which` (0..12) in width C.
  template <class C> void Step(int which, Generator& gen) {
    const Host::Forms<C>& api = Host::ApiOf<C>();
    const std::wstring first = gen.Text(), second = gen.Text();
    const std::basic_string<C> a = Robust::As<C>(first), b = Robust::As<C>(second);
    const C* pa = gen.Chance(2) ? nullptr : a.c_str();
    const C* pb = gen.Chance(2) ? nullptr : b.c_str();
    static const char* const kOps[] = {"check", "isEmpty", "create", "remove", "deleteEmpty",
                                       "clearContents", "clearFromFiles", "copy", "move",
                                       "link", "trimName", "getList", "getListM"};
    const std::string label = std::string(kOps[which]) + (sizeof(C) == 1 ? "A(" : "W(") +
                              Host::Ansi(first.substr(0, 120)) + ", " +
                              Host::Ansi(second.substr(0, 120)) + ")";
    watchdog_->Mark(label);
    const std::wstring wideFirst = Robust::WideOf(a);  // what the library reads
    Outcome outcome{};
    switch (which) {
      case 0: outcome = Call([&] { return api.check(pa); }); break;
      case 1: outcome = Call([&] { return api.isEmpty(pa); }); break;
      case 2: outcome = Call([&] { return api.create(pa); }); break;
      case 3: outcome = Call([&] { return api.remove(pa); }); break;
      case 4: outcome = Call([&] { return api.deleteEmpty(pa); }); break;
      case 5: outcome = Call([&] { return api.clearContents(pa); }); break;
      case 6: outcome = Call([&] { return api.clearFromFiles(pa); }); break;
      case 7: outcome = Call([&] { return api.copy(pa, pb); }); break;
      case 8: outcome = Call([&] { return api.move(pa, pb); }); break;
      case 9: outcome = Call([&] { return api.link(pa, pb); }); break;
      case 10: outcome = TrimName<C>(a, gen.Chance(2)); break;
      case 11: outcome = ListIntoBuffer<C>(pa, gen, label); break;
      default: outcome = ListIntoRecords<C>(pa, gen, label); break;
    }
    Robust::ExpectSound(outcome, label);
    if (pa != nullptr && which <= 6) Robust::ExpectBorneOut(kOps[which], wideFirst, outcome, sandbox_);
    const std::wstring wideSecond = Robust::WideOf(b);
    if ((which == 7 || which == 8) && outcome.result == 1 && !Robust::HasWildcard(first)) {
      EXPECT_TRUE(Robust::Exists(wideSecond)) << label << " answered 1, nothing at the destination";
    }
  }

  template <class F> Outcome Call(F&& call) {
    try {
      return Robust::Observe(hook_, call);
    } catch (...) {
      ADD_FAILURE() << "an exception crossed the library's boundary";
      return Outcome{};
    }
  }

  template <class C> Outcome TrimName(const std::basic_string<C>& text, bool null) {
    Guarded<C> buffer = Guarded<C>::Holding(text);
    const Outcome outcome = Call([&] {
      C* const returned = Host::ApiOf<C>().trimName(null ? nullptr : buffer.data());
      return returned == nullptr ? 0 : returned == buffer.data() ? 1 : 2;
    });
    EXPECT_NE(outcome.result, 2) << "a cut returned another buffer";
    EXPECT_TRUE(buffer.GuardsIntact()) << "a cut wrote outside its buffer";
    return outcome;
  }

  template <class C> int Mode(Generator& gen) {
    static const std::vector<int> extremes = {INT_MIN, -1, 0, 4, INT_MAX};
    return gen.Chance(90) ? 1 + gen.Below(3) : gen.Pick(extremes);
  }

  template <class C>
  Outcome ListIntoBuffer(const C* pattern, Generator& gen, const std::string& label) {
    static const std::vector<uint64_t> sizes = {2, 16, 520};
    const uint64_t count = gen.Below(9), size = gen.Pick(sizes) * sizeof(C) / 2;
    Guarded<C> buffer(count * size / sizeof(C));
    C* const data = gen.Chance(3) ? nullptr : buffer.data();
    const Outcome outcome = Call([&] { return Host::ApiOf<C>().getList(pattern, Mode<C>(gen), data, count, size); });
    EXPECT_TRUE(buffer.GuardsIntact()) << label;
    EXPECT_LE(uint64_t(outcome.result), count) << label;
    return outcome;
  }

  template <class C>
  Outcome ListIntoRecords(const C* pattern, Generator& gen, const std::string& label) {
    static const std::vector<int32_t> capacities = {260, 260, 260, 260, 0, -1, 3, INT_MIN};
    const uint64_t count = gen.Below(9);
    Guarded<C> texts(8 * 260);
    Guarded<Record<C>> records(8, Record<C>{0, nullptr});
    for (std::size_t i = 0; i < 8; ++i)
      records.data()[i] = {gen.Pick(capacities), gen.Chance(3) ? nullptr : texts.data() + i * 260};
    Record<C>* const data = gen.Chance(3) ? nullptr : records.data();
    const Outcome outcome = Call([&] { return Host::ApiOf<C>().getListM(pattern, Mode<C>(gen), data, count); });
    EXPECT_TRUE(texts.GuardsIntact() && records.GuardsIntact()) << label;
    EXPECT_LE(uint64_t(outcome.result), count) << label;
    return outcome;
  }

  Robust::Watchdog* watchdog_ = nullptr;
};

TEST_P(RandomCalls, NoCrashNoHangNoBrokenRuleAndTheSentinelUntouched) {
  const Host::ReportMode mode(Host::Api(), GetParam() % 2);
  ASSERT_EQ(Host::Quiet(), GetParam() % 2 == 1);
  Robust::Watchdog watchdog(30000);
  watchdog_ = &watchdog;
  Generator gen(20261206u + GetParam(), sandbox_);
  for (int call = 0; call < kCallsPerShard && !HasFatalFailure(); ++call) {
    if (call % 200 == 0 && !Robust::IsDirectory(sandbox_ + L"\\Sub")) Replant();
    const int which = gen.Below(26);
    if (which < 13)
      Step<char>(which, gen);
    else
      Step<wchar_t>(which - 13, gen);
    if (HasFailure()) {
      ADD_FAILURE() << "stopped after the first failing call (#" << call << ")";
      break;
    }
  }
  watchdog.Finish();
}

INSTANTIATE_TEST_SUITE_P(Shards, RandomCalls, ::testing::Range(0, 8));

}  // namespace
