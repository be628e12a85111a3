// Range checks and string helpers: file-name cuts, reverse search,
// upper-casing, replacing, and the conversions through the code pages.
#include "ReportTesting.h"
#include "utils/text/Utils.Checking.h"
#include "utils/text/Utils.CodingStr.h"
#include "utils/text/Utils.Strings.h"

namespace {

namespace S = Utils::String;
namespace P = Utils::String::Path;
using namespace Utils::CodingStr;
using namespace Utils::Checking;
using namespace ReportTesting;
using u64 = unsigned long long;
constexpr u64 kAll = All<u64>;
const Utils::Error::Site kCaller{"void __cdecl Caller(int)", Utils::Error::kMethod, "caller", 1};

// The range check's heading, with the caller's header behind it, and the
// figures that close its report.
std::wstring Heading(const std::wstring& check, const std::wstring& start) {
  return Header(L"Обнаружена ошибка функцией \"",
                L"unsigned __int64 __cdecl Utils::Checking::" + check +
                    L"<unsigned __int64,unsigned __int64,unsigned __int64>(const class std::basic_string<wchar_t,"
                    L"struct std::char_traits<wchar_t>,class std::allocator<wchar_t> > &,const unsigned __int64," +
                    start + L",const unsigned __int64)",
                L"utils/text/Utils.Checking.cpp") +
         L"\n\r\n\nВ методеvoid __cdecl Caller(int)\r\nFile: \"caller\"\r\nLine: #\r\n";
}
std::wstring Figures(const wchar_t* total, const wchar_t* start, const wchar_t* count) {
  return L"Количество всех элементов: " + std::wstring(total) + L"\nСтартовый элемент: " + start +
         L"\nКоличество элементов: " + count + L"\n";
}
// The masked report `action` throws, which must also have been echoed whole (or not at all).
template <class Action>
std::wstring Refusal(Action&& action, bool echoed = true) {
  WcoutCapture out;
  const std::wstring report = Thrown(action);
  EXPECT_EQ(out.Text(), echoed ? report : L"");
  return MaskLines(report);
}

TEST(Strings, RangeChecksCountForwardAndBackwardOrRefuse) {
  // {total, start, count, expected}: All or a count past the end means up to the end.
  const u64 direct[][4] = {{10, 0, kAll, 10}, {10, 0, 3, 3}, {10, 0, 20, 10}, {1, 0, kAll, 1}};
  for (const auto& c : direct)
    EXPECT_EQ(CountDirect(kCaller, c[0], c[1], c[2]), c[3]) << c[0] << ' ' << c[1] << ' ' << c[2];
  EXPECT_EQ(CountDirect(kCaller, u64(10), 0ul, ~0ul), 10u);
  // {total, start, count, window, start after}: a start of All or past the
  // end moves to the last element.
  const u64 reverse[][5] = {{5, kAll, kAll, 5, 4}, {5, 2, kAll, 3, 2}, {5, 5, kAll, 5, 4}, {1, 0, kAll, 1, 0}};
  for (const auto& c : reverse) {
    u64 start = c[1];
    EXPECT_EQ(CountReverse(kCaller, c[0], start, c[2]), c[3]) << c[0] << ' ' << c[1];
    EXPECT_EQ(start, c[4]) << c[0] << ' ' << c[1];
  }
  const std::wstring heading = Heading(L"CountDirect", L"const unsigned __int64"),
                     zero = L"Количество всех элементов равно нулю.\n",
                     pastEnd = L"Номер стартового элемента больше или равен количеству всех элементов.\n";
  for (const u64 total : {10u, 0u})  // count 0 is looked at first, and not echoed
    EXPECT_EQ(Refusal([&] { CountDirect(kCaller, total, u64(0), u64(0)); }, false),
              heading + L"\r\nОтсутствует количество элементов.");
  EXPECT_EQ(Refusal([] { CountDirect(kCaller, u64(0), u64(0), kAll); }),
            L"\n" + heading + zero + pastEnd + L"\n\n" + Figures(L"0", L"0", L"18446744073709551615"));
  EXPECT_EQ(Refusal([] { CountDirect(kCaller, u64(5), u64(5), u64(2)); }),
            L"\n" + heading + pastEnd + L"\n\n" + Figures(L"5", L"5", L"2"));
  u64 start = kAll;
  EXPECT_EQ(Refusal([&] { CountReverse(kCaller, u64(0), start, u64(7)); }),
            L"\n" + Heading(L"CountReverse", L"unsigned __int64 &") + L"\n\n" + zero + L"\n" +
                Figures(L"0", L"18446744073709551615", L"7"));
  EXPECT_EQ(start, kAll) << "a refusal must leave start alone";
}

TEST(Strings, ThreeCutsKeepTheDirectoryWithItsSeparator) {
  // One trailing backslash is ignored; without another the path stays as given.
  const struct {
    const wchar_t* path;
    u64 number;
    const wchar_t* cut;
  } cases[] = {{L"C:\\dir\\file.txt", 1, L"C:\\dir\\"},
               {L"C:\\dir\\sub\\", 1, L"C:\\dir\\"},
               {L"\\\\", 1, L"\\"},
               {L"C:\\Папка\\файл.txt", 1, L"C:\\Папка\\"},
               {L"file.txt", 1, L"file.txt"},
               {L"C:\\", 1, L"C:\\"}};
  for (const auto& c : cases) {  // the first two cut in place: the end-to-end tests watch the host's buffer
    std::wstring wide = c.path;
    std::string narrow = UnicodeToAnsi(c.path, 1251);
    EXPECT_EQ(std::wstring(P::TrimNameFileW(wide.data(), c.number, L'\\')), c.cut)
        << c.path << L" " << c.number;
    EXPECT_EQ(std::string(P::TrimNameFileA(narrow.data(), c.number, '\\')), UnicodeToAnsi(c.cut, 1251))
        << c.path;
    EXPECT_EQ(P::TrimNameFileCW(c.path, c.number, L'\\'), c.cut) << c.path << L" " << c.number;
  }
  // The copy cuts at the separator it is given, yet drops only a backslash.
  EXPECT_EQ(P::TrimNameFileCW(L"srv/dir/file", 1, L'/'), L"srv/dir/");
  EXPECT_EQ(P::TrimNameFileCW(L"srv/dir/", 1, L'/'), L"srv/dir/");
  // Nothing left to cut: the cut raises under its own name.
  const std::wstring noPath = Thrown([] { P::TrimNameFileA(std::string("\\").data(), 1, '\\'); });
  EXPECT_NE(noPath.find(L"Utils::String::Path::TrimNameFileA("), std::wstring::npos) << noPath;
  EXPECT_NE(noPath.find(L"\nОтсутствует путь.\n"), std::wstring::npos) << noPath;
}

TEST(Strings, PosByReverseCountsOccurrencesBackFromStart) {
  // A miss leaves in number how many were found; number 0 answers the start;
  // overlapping occurrences count separately; nothing above start is seen.
  const struct {
    const char *text, *sub;
    u64 number, start, at, found;
  } cases[] = {
      {"a\\b\\c", "\\", 1, kAll, 3, 1},    {"a\\b\\c", "\\", 2, kAll, 1, 2}, {"a\\b\\c", "\\", 3, kAll, kAll, 2},
      {"a\\b\\c", "\\", 0, kAll, 4, 0},    {"ab", "abc", 1, kAll, kAll, 0},  {"\\a\\b\\", "\\", 3, kAll, 0, 3},
      {"aaa", "aa", 2, kAll, 0, 2},        {"xaaaa", "aaa", 2, kAll, 1, 2}};
  for (const auto& c : cases) {
    const std::string text = c.text, sub = c.sub;
    u64 narrow = c.number, wide = c.number;
    EXPECT_EQ(S::PosByReverseNumberSubStringsA(text, sub, narrow, c.start), c.at) << text << " / " << sub;
    EXPECT_EQ(
        S::PosByReverseNumberSubStringsW({text.begin(), text.end()}, {sub.begin(), sub.end()}, wide, c.start),
        c.at);
    EXPECT_TRUE(narrow == c.found && wide == c.found)
        << text << " / " << sub << ": " << narrow << ' ' << wide;
  }
  u64 number = 1;
  const std::wstring noSub = Thrown([&] { S::PosByReverseNumberSubStringsW(L"abc", L"", number); });
  EXPECT_TRUE(noSub.find(L"\nОтсутсвует искомая подстрока.\n") != std::wstring::npos && number == 1u) << noSub;
}

TEST(Strings, UpperCaseAndReplaceWithinTheCountedRegion) {
  EXPECT_EQ(S::UpperCopyW(L"ftp://x путь ёж"), L"FTP://X ПУТЬ ЁЖ");  // in the user's locale
  // The search goes on one character behind the inserted text.
  const struct {
    const wchar_t *text, *what, *with;
    bool all;
    u64 count;
    const wchar_t* result;
  } cases[] = {{L"lib.EXE", L".exe", L".dll", true, kAll, L"lib.EXE"},
               {L"C:\\x\\lib.exe", L".exe", L".dll", true, kAll, L"C:\\x\\lib.dll"},
               {L"aa", L"a", L"b", true, kAll, L"ba"},
               {L"a--b--c", L"--", L"", true, kAll, L"abc"}};
  for (const auto& c : cases) {
    std::wstring text = c.text;
    EXPECT_EQ(S::ReplaceW(text, 0, c.count, c.what, c.with, c.all), c.result) << c.text << L" " << c.count;
  }
  std::wstring empty;  // refused by the range check, which names the routine that asked
  EXPECT_NE(Refusal([&] { S::ReplaceW(empty, 0, kAll, L"a", L"b", true); })
                .find(L"В методеclass std::basic_string<"
                      L"wchar_t,struct std::char_traits<wchar_t>,class std::allocator<wchar_t> > &__cdecl "
                      L"Utils::String::ReplaceW("),
            std::wstring::npos);
}

// A pattern means what a directory search makes of it, case blind: "*."
// stops at a name's last dot, "?" takes one character or none before a dot
// or the end. Names fold as the file system folds them, code unit by code
// unit: a letter written as a surrogate pair keeps its case.
TEST(Strings, PatternsMatchAsTheSystemReadsThemAndNamesFoldByCodeUnit) {
  const struct {
    const wchar_t *pattern, *name;
    bool matches;
  } cases[] = {{L"*.TXT", L"a.txt", true},    {L"*.txt", L"A.TXT", true},     {L"*.", L"ab", true},
               {L"*.", L"a.b", false},        {L"*.htm", L"a.html", false},   {L"a?", L"a", true},
               {L"a?.txt", L"a.txt", true},   {L"?", L"ab", false},           {L"*.*", L"ab", true},
               {L"ОТЧЁТ*", L"отчёт.csv", true}, {L"a*b", L"a.x.b", true},      {L"*~*", L"report.html", false}};
  for (const auto& c : cases) EXPECT_EQ(P::Matches(c.pattern, c.name), c.matches) << c.pattern << L" " << c.name;
  EXPECT_EQ(S::UpperInvariant(L"a\xD801\xDC37ё"), L"A\xD801\xDC37Ё");
  EXPECT_NE(S::UpperInvariant(L"\xD801\xDC37"), S::UpperInvariant(L"\xD801\xDC0F"));
}

// Code page 0 is the process's: 1251, as on our users' machines.
TEST(Strings, ConversionsThroughTheCodePages) {
  for (const int page : {0, 1251}) {
    EXPECT_EQ(AnsiToUnicode("\xCA\xE0\xF2\xE0\xEB\xEE\xE3 a", page), L"Каталог a");
    EXPECT_EQ(UnicodeToAnsi(L"Каталог a", page), "\xCA\xE0\xF2\xE0\xEB\xEE\xE3 a");
  }
  // Text stops at an embedded NUL; a character the page lacks, or has only a
  // look-alike of (a separator, a dot), becomes the default character.
  EXPECT_EQ(AnsiToUnicode(std::string("ab\0cd", 5), 0), L"ab");
  EXPECT_EQ(UnicodeToAnsi(std::wstring(L"a\u4E2Db\uFF3C\uFF0E\0cd", 8), 0), "a?b??");
  SetLastError(87);  // empty input is empty, with no error left behind
  EXPECT_TRUE(AnsiToUnicode("", 0).empty() && GetLastError() == 0u);
  SetLastError(87);
  EXPECT_TRUE(UnicodeToAnsi(L"", 0).empty() && GetLastError() == 0u);
  // A code page that Windows refuses: the conversion's report has a layout of its own.
  EXPECT_EQ(Thrown([] { AnsiToUnicode("a", 12345); }),
            L"Ошибка в методе:\r\n\"Utils::CodingStr::AnsiToUnicode(const class std::basic_string<char,struct "
            L"std::char_traits<char>,class std::allocator<char> > &,const int)\".\r\nFile: \"utils/text/"
            L"Utils.CodingStr.cpp\".\r\n\r\nВ строке отсутствуют символы.\r\n\r\n" +
                Utils::Error::SystemTextW(ERROR_INVALID_PARAMETER).substr(1));
}

}  // namespace
