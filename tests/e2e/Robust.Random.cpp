// Every export fed what a careless or broken host might pass, inside a
// sandbox with a sentinel tree next to it that no call may reach: first every
// malformed string in every place of every export, then thousands of
// generated calls. Generated paths are built from names, wildcards, dots and
// climbs that never lead above the sandbox when read literally; what a
// wildcard or a rule might make of them is exactly what is under test. Each
// call must give its failure value or an answer the file system bears out,
// keep the rules of boxes and reports, and write nothing outside the strings
// and buffers it was given. Eight shards of 2,500 calls, fixed seeds; the odd
// shards run quiet, so every rule is also held against the report alone.
#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <random>

#include "Robust.h"

namespace {

using Host::Record;
using Robust::Guarded;
using Robust::Outcome;

constexpr int kCallsPerShard = 2500;  // eight shards: 20,000 calls
constexpr int kExports = 13;          // of each width

const char* const kExportNames[kExports] = {
    "PathCheck",      "PathIsEmpty",      "PathCreate",       "PathDelete",   "PathDeleteEmpty",
    "PathClearContents", "PathClearFromFiles", "PathCopy",     "PathMove",     "PathSymbolicLink",
    "PathTrimNameFile", "PathGetList",     "PathGetListM"};

// Where a call gets a null instead of a text: nowhere, now and then, or in
// the first or the second place.
enum Nulls { kNoNull, kRandomNulls, kFirstNull, kSecondNull };

// A path of exactly `length` characters: prefix, then short components.
std::wstring Huge(const std::wstring& prefix, std::size_t length) {
  std::wstring path = prefix;
  while (path.size() < length) path += path.size() % 9 == 0 ? L'\\' : L'n';
  path.resize(length);
  return path;
}

// Strings no host should pass, each anchored in the sandbox or relative to
// it: no rule may let them act elsewhere. The W forms also get unpaired and
// paired surrogates; the A forms bytes that code page 1251 maps oddly or not
// at all (0x98 has no character there).
template <class C> std::vector<std::basic_string<C>> HostileTexts(const std::wstring& sandbox) {
  const std::wstring s = sandbox + L"\\";
  std::vector<std::wstring> wide = {
      L"", L"*", L"?", L"..*", L".", L"..", L":", L"C:", L"\\", L"\\\\", L"\\\\?\\", L"\\\\.\\",
      L"relative\\x", Huge(s, 32767), Huge(L"\\\\?\\" + s, 32767), s + std::wstring(300, L'n'),
      s + L"data\\*", s + L"data\\..*", s + L"data\\..\\data", s + L"dots...", s + L"blank ",
      s + L"CON", s + L"nul.txt", s + L"ctl\x01\x1f\x7f", s + L"tab\tcr\rlf\n", s + L"|",
      s + L"\xFFFF\xFFFE"};
  if (sizeof(C) == 2)
    for (const wchar_t* odd : {L"lone\xD800", L"\xDC00lone", L"pair\xD83D\xDE00"}) wide.push_back(s + odd);
  std::vector<std::basic_string<C>> texts;
  for (const std::wstring& text : wide) texts.push_back(Host::As<C>(text));
  if (sizeof(C) == 1)
    for (const char* odd : {"\x98\x88\xAD\xA0", "\xFF\xC0\xE0", "\x81\x83\x8A\x9A"})
      texts.push_back(Host::As<C>(s) + std::basic_string<C>(odd, odd + std::strlen(odd)));
  return texts;
}

class Generator {
 public:
  Generator(unsigned seed, std::wstring sandbox) : rng_(seed), sandbox_(std::move(sandbox)) {}

  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  bool Chance(int percent) { return Below(100) < percent; }
  template <class T> const T& Pick(const std::vector<T>& from) { return from[Below(int(from.size()))]; }

  // Mostly a path in the sandbox; now and then one that no rule should let
  // through, or that only names something by wildcard or trailing marks.
  template <class C> std::basic_string<C> Text() {
    if (Chance(4)) return Pick(HostileTexts<C>(sandbox_));
    static const std::vector<std::wstring> names = {
        L"Sub", L"Каталог", L"Empty", L"a.txt", L"файл.dat", L"Глубже", L"new", L"x y",
        L"trail.", L"*",   L"?.txt",   L"*.*",   L".*",      L"..*",    L"..",  L"."};
    std::wstring path = sandbox_;
    for (int depth = 0, parts = Below(4); parts > 0; --parts) {
      const std::wstring& name = Pick(names);
      if (name == L".." && depth == 0) continue;
      depth += name == L".." ? -1 : name == L"." ? 0 : 1;
      path += L"\\" + name;
    }
    return Host::As<C>(Chance(5) ? path + L"\\" : path);
  }

  // Mostly a good mode; now and then one no mode should be.
  int Mode() { return Chance(90) ? 1 + Below(3) : Pick(std::vector<int>{INT_MIN, -1, 0, 4, INT_MAX}); }

 private:
  std::mt19937 rng_;
  std::wstring sandbox_;
};

class RandomCalls : public Robust::Sandbox {
 protected:
  // One call of export `which` (0..12) in width C on texts that the library
  // reads from guarded copies, which must come back as they were.
  template <class C>
  Outcome Step(int which, const std::basic_string<C>& first, const std::basic_string<C>& second,
               Generator& gen, Nulls nulls) {
    const Host::Forms<C>& api = Host::ApiOf<C>();
    Guarded<C> a = Guarded<C>::Holding(first), b = Guarded<C>::Holding(second);
    const std::vector<C> before = a.Contents();
    const C* pa = nulls == kFirstNull || (nulls == kRandomNulls && gen.Chance(2)) ? nullptr : a.data();
    const C* pb = nulls == kSecondNull || (nulls == kRandomNulls && gen.Chance(2)) ? nullptr : b.data();
    const std::string label = std::string(kExportNames[which]) + (sizeof(C) == 1 ? "A(" : "W(") +
                              Host::Ansi(Robust::WideOf(first).substr(0, 120)) + ", " +
                              Host::Ansi(Robust::WideOf(second).substr(0, 120)) + ")";
    if (watchdog_ != nullptr) watchdog_->Mark(label);
    using F = Host::Forms<C>;
    const decltype(F::check) F::*one[] = {&F::check, &F::isEmpty, &F::create, &F::remove,
                                          &F::deleteEmpty, &F::clearContents, &F::clearFromFiles};
    const decltype(F::copy) F::*two[] = {&F::copy, &F::move, &F::link};
    const Outcome outcome = which < 7    ? Observe([&] { return (api.*one[which])(pa); })
                            : which < 10 ? Observe([&] { return (api.*two[which - 7])(pa, pb); })
                            : which == 10 ? TrimName<C>(first, nulls == kFirstNull || (nulls == kRandomNulls && gen.Chance(2)))
                            : which == 11 ? ListIntoBuffer<C>(pa, gen, label)
                                          : ListIntoRecords<C>(pa, gen, label);
    Robust::ExpectSound(outcome, label, which <= 1 || which >= 11);
    EXPECT_TRUE(a.GuardsIntact() && b.GuardsIntact() && (which == 10 || a.Contents() == before))
        << label << ": an input string was written";
    if (pa != nullptr && which <= 6) Robust::ExpectBorneOut(kExportNames[which], Robust::WideOf(first), outcome, sandbox_);
    if ((which == 7 || which == 8) && outcome.result == 1 && !Robust::HasWildcard(Robust::WideOf(first))) {
      EXPECT_TRUE(Robust::Exists(Robust::WideOf(second))) << label << " answered 1, nothing at the destination";
    }
    return outcome;
  }

  template <class F> Outcome Observe(F&& call) { return Robust::Observe(hook_, call); }

  // A cut writes one terminator after a backslash of the old text, or
  // nothing; it hands back the very buffer, or null with it untouched.
  template <class C> Outcome TrimName(const std::basic_string<C>& text, bool null) {
    Guarded<C> buffer = Guarded<C>::Holding(text);
    const std::vector<C> before = buffer.Contents();
    const Outcome outcome = Observe([&] {
      C* const returned = Host::ApiOf<C>().trimName(null ? nullptr : buffer.data());
      return returned == nullptr ? 0 : returned == buffer.data() ? 1 : 2;
    });
    const std::vector<C> after = buffer.Contents();
    const std::size_t end = std::find(after.begin(), after.end(), C(0)) - after.begin();
    EXPECT_NE(outcome.result, 2) << "a cut returned another buffer";
    EXPECT_TRUE(buffer.GuardsIntact()) << "a cut wrote outside its buffer";
    EXPECT_TRUE(std::equal(after.begin(), after.begin() + end, before.begin()) &&
                std::equal(after.begin() + end + 1, after.end(), before.begin() + end + 1))
        << "a cut wrote more than its terminator";
    if (outcome.result == 0 || end != text.size()) {
      EXPECT_TRUE(outcome.result == 1 ? end > 0 && after[end - 1] == C('\\') : after == before);
    }
    return outcome;
  }

  template <class C>
  Outcome ListIntoBuffer(const C* pattern, Generator& gen, const std::string& label) {
    const uint64_t count = gen.Below(9), size = gen.Pick(std::vector<uint64_t>{2, 16, 520}) * sizeof(C) / 2;
    Guarded<C> buffer(count * size / sizeof(C));
    C* const data = gen.Chance(3) ? nullptr : buffer.data();
    const Outcome outcome = Observe([&] { return Host::ApiOf<C>().getList(pattern, modes_ ? 3 : gen.Mode(), data, count, size); });
    EXPECT_TRUE(buffer.GuardsIntact() && uint64_t(outcome.result) <= count) << label;
    return outcome;
  }

  template <class C>
  Outcome ListIntoRecords(const C* pattern, Generator& gen, const std::string& label) {
    const uint64_t count = gen.Below(9);
    Guarded<C> texts(8 * 260);
    Guarded<Record<C>> records(8, Record<C>{0, nullptr});
    for (std::size_t i = 0; i < 8; ++i)
      records.data()[i] = {gen.Pick(std::vector<int32_t>{260, 260, 260, 260, 0, -1, 3, INT_MIN}),
                           gen.Chance(3) ? nullptr : texts.data() + i * 260};
    Record<C>* const data = gen.Chance(3) ? nullptr : records.data();
    const Outcome outcome = Observe([&] { return Host::ApiOf<C>().getListM(pattern, modes_ ? 3 : gen.Mode(), data, count); });
    EXPECT_TRUE(texts.GuardsIntact() && records.GuardsIntact() && uint64_t(outcome.result) <= count) << label;
    return outcome;
  }

  // Every hostile text in the first place of every export, and in either
  // place of the two-path ones, beside a good path.
  template <class C> void EveryHostileText() {
    Generator gen(1, sandbox_);
    const auto target = Host::As<C>(sandbox_ + L"\\target"), existing = Host::As<C>(sandbox_ + L"\\data\\a.txt");
    for (const auto& text : HostileTexts<C>(sandbox_)) {
      for (int which = 0; which < kExports; ++which) Step<C>(which, text, target, gen, kNoNull);
      for (int which = 7; which <= 9; ++which) Step<C>(which, existing, text, gen, kNoNull);
      // What a move carried off is put back, so later texts meet the same tree.
      if (!Robust::Exists(Robust::WideOf(existing))) Replant();
    }
    // A null where a text belongs fails with a report of the export's own
    // that says so (a bad mode would be found first).
    modes_ = true;
    for (int which = 0; which < kExports; ++which)
      for (const Nulls place : {kFirstNull, kSecondNull}) {
        if (place == kSecondNull && (which < 7 || which > 9)) continue;
        const std::string name = std::string(kExportNames[which]) + (sizeof(C) == 1 ? "A(" : "W(");
        const std::wstring report = Step<C>(which, existing, target, gen, place).report;
        EXPECT_NE(report.find(std::wstring(name.begin(), name.end())), std::wstring::npos) << name << report;
        EXPECT_NE(report.find(which == 10 ? L"Отсутствует путь." : L"Вместо строки передан нулевой указатель."),
                  std::wstring::npos) << name << report;
      }
  }

  Robust::Watchdog* watchdog_ = nullptr;
  bool modes_ = false;  // listings get the mode 3, never a generated one
};

TEST_F(RandomCalls, EveryHostileStringInEveryPlace) {
  EveryHostileText<char>();
  EveryHostileText<wchar_t>();
}

class Shards : public RandomCalls, public ::testing::WithParamInterface<int> {};

TEST_P(Shards, NoCrashNoHangNoBrokenRuleAndTheSentinelUntouched) {
  const Host::ReportMode mode(Host::Api(), GetParam() % 2);
  ASSERT_EQ(Host::Quiet(), GetParam() % 2 == 1);
  Robust::Watchdog watchdog(30000);
  watchdog_ = &watchdog;
  Generator gen(20261206u + GetParam(), sandbox_);
  for (int call = 0; call < kCallsPerShard && !HasFailure(); ++call) {
    if (call % 200 == 0 && !Robust::IsDirectory(sandbox_ + L"\\Sub")) Replant();
    const int which = gen.Below(2 * kExports);
    if (which < kExports)
      Step<char>(which, gen.Text<char>(), gen.Text<char>(), gen, kRandomNulls);
    else
      Step<wchar_t>(which - kExports, gen.Text<wchar_t>(), gen.Text<wchar_t>(), gen, kRandomNulls);
    if (HasFailure()) ADD_FAILURE() << "stopped after the first failing call (#" << call << ")";
  }
  watchdog.Finish();
}

INSTANTIATE_TEST_SUITE_P(Generated, Shards, ::testing::Range(0, 8));

}  // namespace
