// Path string helpers: file-name cuts, reverse search, upper-casing, replacing.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "ReportTesting.h"
#include "utils/Utils.Checking.h"
#include "utils/Utils.CodingStr.h"
#include "utils/Utils.Strings.h"

namespace {

namespace S = Utils::String;
namespace P = Utils::String::Path;
using u64 = unsigned long long;

constexpr u64 kAll = Utils::Checking::All<u64>;
const std::wstring kNoPath = L"\nОтсутствует путь.\n";
const std::wstring kNoSubstring = L"\nОтсутсвует искомая подстрока.\n";
const std::wstring kZeroTotal = L"Количество всех элементов равно нулю.";

// The terminal's narrow strings are in code page 1251.
std::string Ansi(const std::wstring& text) { return Utils::CodingStr::UnicodeToAnsi(text, 1251); }

wchar_t* Trim(wchar_t* path, u64 number) { return P::TrimNameFileW(path, number, L'\\'); }
char* Trim(char* path, u64 number) { return P::TrimNameFileA(path, number, '\\'); }

// Cuts path in place in a caller's buffer with guard characters behind its
// terminator and returns what the buffer then holds. The cut may write its
// terminator and nothing else; a refused cut must touch nothing.
template <class C> std::basic_string<C> CutInPlace(const std::basic_string<C>& path, u64 number) {
  std::vector<C> buffer(path.c_str(), path.c_str() + path.size() + 1);
  buffer.insert(buffer.end(), 8, C(0x5A));
  const std::vector<C> before = buffer;
  try {
    EXPECT_EQ(Trim(buffer.data(), number), buffer.data());
  } catch (...) {
    EXPECT_EQ(buffer, before) << "a refused cut changed the buffer";
    throw;
  }
  const std::basic_string<C> text = buffer.data();
  buffer[text.size()] = before[text.size()];
  EXPECT_EQ(buffer, before) << "the cut wrote more than its terminator";
  return text;
}

TEST(TrimNameFile, ThreeCutsKeepTheDirectoryWithItsSeparator) {
  // One trailing backslash is ignored; number counts separators from the end,
  // and 0 or more than there are leaves the path as given. Generated paths
  // test the first cut further.
  const struct { const wchar_t* path; u64 number; const wchar_t* cut; } cases[] = {
      {L"C:\\dir\\file.txt", 1, L"C:\\dir\\"},     {L"C:\\dir\\sub\\", 1, L"C:\\dir\\"},
      {L"\\\\", 1, L"\\"},                         {L"C:\\Папка\\файл.txt", 1, L"C:\\Папка\\"},
      {L"C:\\a\\b\\c\\", 2, L"C:\\a\\"},           {L"C:\\a\\b\\c", 3, L"C:\\"},
      {L"C:\\a\\b\\c", 4, L"C:\\a\\b\\c"},         {L"C:\\a\\b\\c\\", 0, L"C:\\a\\b\\c\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::wstring(c.path) + L" " + std::to_wstring(c.number));
    EXPECT_EQ(CutInPlace<wchar_t>(c.path, c.number), c.cut);
    EXPECT_EQ(CutInPlace(Ansi(c.path), c.number), Ansi(c.cut));
    EXPECT_EQ(P::TrimNameFileCW(c.path, c.number, L'\\'), c.cut);
  }
  // The copy cuts at the separator it is given, yet drops only a backslash.
  EXPECT_EQ(P::TrimNameFileCW(L"srv/a/b/c", 2, L'/'), L"srv/a/");
  EXPECT_EQ(P::TrimNameFileCW(L"srv/dir/", 1, L'/'), L"srv/dir/");
}

TEST(PosByReverse, CountsOccurrencesBackFromStart) {
  // A miss leaves in number how many were found; number 0 answers the start;
  // overlapping occurrences count separately; nothing above start is seen.
  const struct { const char *text, *sub; u64 number, start, at, found; } cases[] = {
      {"a\\b\\c", "\\", 1, kAll, 3, 1},    {"a\\b\\c", "\\", 2, kAll, 1, 2},
      {"a\\b\\c", "\\", 3, kAll, kAll, 2}, {"a\\b\\c", "\\", 0, kAll, 4, 0},
      {"ab", "abc", 1, kAll, kAll, 0},     {"\\a\\b\\", "\\", 3, kAll, 0, 3},
      {"aaa", "aa", 2, kAll, 0, 2},        {"xaaaa", "aaa", 2, kAll, 1, 2},
      {"a\\b\\c", "\\", 1, 3, 3, 1},       {"a\\b\\c", "\\", 1, 2, 1, 1},
      {"a\\b\\c", "\\", 0, 99, 4, 0},      {"ab\\", "b\\", 1, 0, kAll, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + c.sub + " #" + std::to_string(c.number));
    const std::string text = c.text, sub = c.sub;
    u64 narrow = c.number, wide = c.number;
    EXPECT_EQ(S::PosByReverseNumberSubStringsA(text, sub, narrow, c.start), c.at);
    EXPECT_EQ(S::PosByReverseNumberSubStringsW({text.begin(), text.end()},
                                               {sub.begin(), sub.end()}, wide, c.start),
              c.at);
    EXPECT_EQ(narrow, c.found);
    EXPECT_EQ(wide, c.found);
  }
}

TEST(Strings, RefusalsNameTheRoutineThatAsked) {
  ReportTesting::WcoutCapture out;
  std::wstring empty, text = L"abc";
  u64 number = 1;
  // Each routine raises under its own name or hands the range check its own
  // header; only the range check echoes its report.
  const std::tuple<const wchar_t*, std::function<void()>, std::wstring> calls[] = {
      {L"Path::TrimNameFileW(", [] { CutInPlace(std::wstring(), 1); }, kNoPath},
      {L"Path::TrimNameFileW(", [] { P::TrimNameFileW(nullptr, 1, L'\\'); }, kNoPath},
      {L"Path::TrimNameFileA(", [] { CutInPlace(std::string("\\"), 1); }, kNoPath},
      {L"Path::TrimNameFileCW(", [] { P::TrimNameFileCW(L"\\", 1, L'\\'); }, kNoPath},
      {L"PosByReverseNumberSubStringsW(",
       [&] { S::PosByReverseNumberSubStringsW(text, L"", number); }, kNoSubstring},
      {L"UpperW(", [&] { S::UpperW(empty, 0, 5); }, kZeroTotal},
      {L"ReplaceW(", [&] { S::ReplaceW(empty, 0, kAll, L"a", L"b", true); }, kZeroTotal},
  };
  for (const auto& [routine, call, reason] : calls) {
    out.Clear();
    const std::wstring report = ReportTesting::Thrown(call);
    EXPECT_NE(report.find(std::wstring(L"Utils::String::") + routine), std::wstring::npos)
        << report;
    EXPECT_NE(report.find(reason), std::wstring::npos) << report;
    EXPECT_EQ(out.Text().empty(), reason != kZeroTotal) << report;
  }
  EXPECT_EQ(number, 1u);
}

TEST(Upper, InTheUserLocaleWithinTheRange) {
  EXPECT_EQ(S::UpperCopyW(L"ftp://x путь ёж"), L"FTP://X ПУТЬ ЁЖ");
  constexpr unsigned long kAll32 = Utils::Checking::All<unsigned long>;
  const struct { unsigned long start, count; const wchar_t* result; } ranges[] = {
      {0, kAll32, L"ABCDEF"}, {0, 2, L"ABcdef"}, {4, kAll32, L"abcdEF"}};
  for (const auto& r : ranges) {
    std::wstring text = L"abcdef";
    EXPECT_EQ(S::UpperW(text, r.start, r.count), r.result) << r.start;
  }
}

TEST(Replace, FirstOrAllWithinTheCountedRegion) {
  // The search goes on one character behind the inserted text, and only
  // occurrences that begin inside the first count characters are replaced.
  const struct { const wchar_t *text, *what, *with; bool all; u64 count; const wchar_t* result; }
      cases[] = {
          {L"C:\\x\\lib.exe", L".exe", L".dll", true, kAll, L"C:\\x\\lib.dll"},
          {L"lib.EXE", L".exe", L".dll", true, kAll, L"lib.EXE"},
          {L"a.exe_b.exe", L".exe", L".dll", false, kAll, L"a.dll_b.exe"},
          {L"aa", L"a", L"b", true, kAll, L"ba"},       {L"a--b--c", L"--", L"", true, kAll, L"abc"},
          {L"abab", L"b", L"c", true, 3, L"acab"},      {L"abab", L"b", L"cc", true, 4, L"accacc"},
      };
  for (const auto& c : cases) {
    std::wstring text = c.text;
    EXPECT_EQ(S::ReplaceW(text, 0, c.count, c.what, c.with, c.all), c.result)
        << c.text << L" " << c.what << L"->" << c.with << L" count " << c.count;
  }
}

}  // namespace
