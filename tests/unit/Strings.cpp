// Path string helpers: the file-name cuts, the reverse search for the N-th
// occurrence, upper-casing and replacing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ReportTesting.h"
#include "utils/Utils.Checking.h"
#include "utils/Utils.Strings.h"

namespace {

using ReportTesting::MaskLines;
using ReportTesting::Thrown;
using ReportTesting::WcoutCapture;
namespace S = Utils::String;
namespace P = Utils::String::Path;

constexpr unsigned long long kAll = Utils::Checking::All<unsigned long long>;
const std::wstring kStringsFile = L"utils/Utils.Strings.cpp";
const std::wstring kMethod = L"Ошибка в методе \"";

const std::wstring kTrimWSignature =
    L"wchar_t *__cdecl Utils::String::Path::TrimNameFileW(wchar_t *,unsigned "
    L"__int64,const wchar_t)";
const std::wstring kTrimASignature =
    L"char *__cdecl Utils::String::Path::TrimNameFileA(char *,unsigned __int64,const char)";
const std::wstring kPosWSignature =
    L"unsigned __int64 __cdecl Utils::String::PosByReverseNumberSubStringsW(const "
    L"class std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    L"std::allocator<wchar_t> > &,const class std::basic_string<wchar_t,struct "
    L"std::char_traits<wchar_t>,class std::allocator<wchar_t> > &,unsigned "
    L"__int64 &,unsigned __int64,const unsigned __int64)";
const std::wstring kReplaceSignature =
    L"class std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    L"std::allocator<wchar_t> > &__cdecl Utils::String::ReplaceW(class "
    L"std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    L"std::allocator<wchar_t> > &,const unsigned __int64,unsigned "
    L"__int64,const class std::basic_string<wchar_t,struct "
    L"std::char_traits<wchar_t>,class std::allocator<wchar_t> > &,const class "
    L"std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    L"std::allocator<wchar_t> > &,const bool)";
const std::wstring kUpperSignature =
    L"class std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    L"std::allocator<wchar_t> > &__cdecl Utils::String::UpperW(class "
    L"std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    L"std::allocator<wchar_t> > &,const unsigned long,const unsigned long)";

// A caller's buffer: the text, its terminator, and guard characters behind it
// that no cut may touch.
template <class C> struct Buffer {
  static constexpr C kGuard = C(0x5A);
  explicit Buffer(const std::basic_string<C>& text) : chars(text.begin(), text.end()) {
    chars.push_back(C(0));
    chars.insert(chars.end(), 8, kGuard);
  }
  C* data() { return chars.data(); }
  std::basic_string<C> Text() const { return chars.data(); }
  bool GuardsIntact() const {
    for (std::size_t i = chars.size() - 8; i < chars.size(); ++i)
      if (chars[i] != kGuard) return false;
    return true;
  }
  std::vector<C> chars;
};

std::wstring TrimW(const std::wstring& path, unsigned long long number = 1) {
  Buffer<wchar_t> buffer(path);
  wchar_t* result = P::TrimNameFileW(buffer.data(), number, L'\\');
  EXPECT_EQ(result, buffer.data()) << path;
  EXPECT_TRUE(buffer.GuardsIntact()) << path;
  return buffer.Text();
}

std::string TrimA(const std::string& path, unsigned long long number = 1) {
  Buffer<char> buffer(path);
  char* result = P::TrimNameFileA(buffer.data(), number, '\\');
  EXPECT_EQ(result, buffer.data()) << path;
  EXPECT_TRUE(buffer.GuardsIntact()) << path;
  return buffer.Text();
}

TEST(TrimNameFileW, KeepsTheDirectoryWithItsBackslash) {
  EXPECT_EQ(TrimW(L"C:\\dir\\file.txt"), L"C:\\dir\\");
  EXPECT_EQ(TrimW(L"C:\\dir\\sub\\"), L"C:\\dir\\");
  EXPECT_EQ(TrimW(L"C:\\dir\\sub\\\\"), L"C:\\dir\\sub\\");  // one backslash only
  EXPECT_EQ(TrimW(L"file.txt"), L"file.txt");
  EXPECT_EQ(TrimW(L"C:\\"), L"C:\\");
  EXPECT_EQ(TrimW(L"abc\\"), L"abc\\");
  EXPECT_EQ(TrimW(L"\\file"), L"\\");
  EXPECT_EQ(TrimW(L"\\\\"), L"\\");
  EXPECT_EQ(TrimW(L"C:\\Папка\\файл.txt"), L"C:\\Папка\\");
  EXPECT_EQ(TrimW(L"srv/dir/file"), L"srv/dir/file");  // the export's cut is at '\'
}

TEST(TrimNameFileW, NumberCountsSeparatorsFromTheEnd) {
  EXPECT_EQ(TrimW(L"C:\\a\\b\\c", 2), L"C:\\a\\");
  EXPECT_EQ(TrimW(L"C:\\a\\b\\c\\", 2), L"C:\\a\\");
  EXPECT_EQ(TrimW(L"C:\\a\\b\\c", 3), L"C:\\");
  EXPECT_EQ(TrimW(L"C:\\a\\b\\c", 4), L"C:\\a\\b\\c");
  EXPECT_EQ(TrimW(L"C:\\a\\b\\c", 0), L"C:\\a\\b\\c");
  EXPECT_EQ(TrimW(L"C:\\a\\b\\c\\", 0), L"C:\\a\\b\\c\\");
}

TEST(TrimNameFileW, NoPathRaisesAndLeavesTheBufferAlone) {
  for (const std::wstring& path : {std::wstring(), std::wstring(L"\\")}) {
    Buffer<wchar_t> buffer(path);
    const std::vector<wchar_t> before = buffer.chars;
    WcoutCapture out;
    const std::wstring report =
        Thrown([&] { P::TrimNameFileW(buffer.data(), 1, L'\\'); });
    EXPECT_EQ(MaskLines(report),
              ReportTesting::Header(kMethod, kTrimWSignature, kStringsFile) +
                  L"\nОтсутствует путь.\n");
    EXPECT_EQ(buffer.chars, before);
    EXPECT_EQ(out.Text(), L"");
  }
  const std::wstring report = Thrown([] { P::TrimNameFileW(nullptr, 1, L'\\'); });
  EXPECT_NE(report.find(L"\nОтсутствует путь.\n"), std::wstring::npos);
}

TEST(TrimNameFileA, SameCutOnBytes) {
  EXPECT_EQ(TrimA("C:\\dir\\file.txt"), "C:\\dir\\");
  EXPECT_EQ(TrimA("C:\\dir\\sub\\"), "C:\\dir\\");
  EXPECT_EQ(TrimA("file.txt"), "file.txt");
  EXPECT_EQ(TrimA("abc\\"), "abc\\");
  EXPECT_EQ(TrimA("C:\\a\\b\\c", 2), "C:\\a\\");
  // "C:\Папка\файл" in code page 1251
  EXPECT_EQ(TrimA("C:\\\xCF\xE0\xEF\xEA\xE0\\\xF4\xE0\xE9\xEB"), "C:\\\xCF\xE0\xEF\xEA\xE0\\");

  Buffer<char> buffer("\\");
  const std::vector<char> before = buffer.chars;
  const std::wstring report = Thrown([&] { P::TrimNameFileA(buffer.data(), 1, '\\'); });
  EXPECT_EQ(MaskLines(report), ReportTesting::Header(kMethod, kTrimASignature, kStringsFile) +
                                   L"\nОтсутствует путь.\n");
  EXPECT_EQ(buffer.chars, before);
  EXPECT_FALSE(Thrown([] { P::TrimNameFileA(nullptr, 1, '\\'); }).empty());
}

TEST(TrimNameFileCW, CopyCutAtTheGivenSeparator) {
  EXPECT_EQ(P::TrimNameFileCW(L"C:\\dir\\file.txt", 1, L'\\'), L"C:\\dir\\");
  EXPECT_EQ(P::TrimNameFileCW(L"C:\\dir\\sub\\", 1, L'\\'), L"C:\\dir\\");
  EXPECT_EQ(P::TrimNameFileCW(L"srv/dir/file", 1, L'/'), L"srv/dir/");
  // Only a trailing backslash is dropped before the search.
  EXPECT_EQ(P::TrimNameFileCW(L"srv/dir/", 1, L'/'), L"srv/dir/");
  EXPECT_EQ(P::TrimNameFileCW(L"srv/a/b/c", 2, L'/'), L"srv/a/");
  // Without a separator the path comes back as given, its backslash included.
  EXPECT_EQ(P::TrimNameFileCW(L"file\\", 1, L'\\'), L"file\\");
  EXPECT_EQ(P::TrimNameFileCW(L"file", 1, L'\\'), L"file");
  const std::wstring report = Thrown([] { P::TrimNameFileCW(L"\\", 1, L'\\'); });
  EXPECT_NE(report.find(L"TrimNameFileCW"), std::wstring::npos);
  EXPECT_NE(report.find(L"\nОтсутствует путь.\n"), std::wstring::npos);
}

TEST(PosByReverse, CountsOccurrencesBackFromTheEnd) {
  unsigned long long number = 1;
  EXPECT_EQ(S::PosByReverseNumberSubStringsW(L"a\\b\\c", L"\\", number), 3u);
  number = 2;
  EXPECT_EQ(S::PosByReverseNumberSubStringsW(L"a\\b\\c", L"\\", number), 1u);
  EXPECT_EQ(number, 2u);
  number = 3;
  EXPECT_EQ(S::PosByReverseNumberSubStringsW(L"a\\b\\c", L"\\", number), kAll);
  EXPECT_EQ(number, 2u);
  number = 0;
  EXPECT_EQ(S::PosByReverseNumberSubStringsW(L"a\\b\\c", L"\\", number), 4u);
  number = 1;
  EXPECT_EQ(S::PosByReverseNumberSubStringsW(L"abc", L"x", number), kAll);
  EXPECT_EQ(number, 0u);
  number = 1;
  EXPECT_EQ(S::PosByReverseNumberSubStringsW(L"ab", L"abc", number), kAll);
  // An occurrence at index 0 is found and ends the search.
  number = 3;
  EXPECT_EQ(S::PosByReverseNumberSubStringsW(L"\\a\\b\\", L"\\", number), 0u);
}

TEST(PosByReverse, OverlappingOccurrencesCountSeparately) {
  unsigned long long number = 2;
  EXPECT_EQ(S::PosByReverseNumberSubStringsW(L"aaa", L"aa", number), 0u);
  number = 3;
  EXPECT_EQ(S::PosByReverseNumberSubStringsW(L"aaa", L"aa", number), kAll);
  EXPECT_EQ(number, 2u);
  number = 2;
  EXPECT_EQ(S::PosByReverseNumberSubStringsA("xaaaa", "aaa", number), 1u);
}

TEST(PosByReverse, StartBoundsTheSearch) {
  unsigned long long number = 1;
  EXPECT_EQ(S::PosByReverseNumberSubStringsW(L"a\\b\\c", L"\\", number, 3), 3u);
  number = 1;
  EXPECT_EQ(S::PosByReverseNumberSubStringsW(L"a\\b\\c", L"\\", number, 2), 1u);
  number = 0;
  EXPECT_EQ(S::PosByReverseNumberSubStringsW(L"a\\b\\c", L"\\", number, 99), 4u);
  number = 1;
  EXPECT_EQ(S::PosByReverseNumberSubStringsW(L"ab\\", L"b\\", number, 1), 1u);
  number = 1;
  EXPECT_EQ(S::PosByReverseNumberSubStringsW(L"ab\\", L"b\\", number, 0), kAll);
}

TEST(PosByReverse, NarrowFormMatchesTheWideOne) {
  unsigned long long number = 1;
  EXPECT_EQ(S::PosByReverseNumberSubStringsA("a\\b\\c", "\\", number), 3u);
  number = 3;
  EXPECT_EQ(S::PosByReverseNumberSubStringsA("a\\b\\c", "\\", number), kAll);
  EXPECT_EQ(number, 2u);
}

TEST(PosByReverse, EmptyTextOrSubstringRaises) {
  WcoutCapture out;
  unsigned long long number = 1;
  const std::wstring emptyText =
      Thrown([&] { S::PosByReverseNumberSubStringsW(L"", L"\\", number); });
  // The range check names this routine as its caller and echoes its report.
  EXPECT_NE(MaskLines(emptyText).find(L"В методе" + kPosWSignature +
                                      L"\r\nFile: \"utils/Utils.Strings.cpp\"\r\nLine: #\r\n"),
            std::wstring::npos);
  EXPECT_NE(emptyText.find(L"Количество всех элементов равно нулю."), std::wstring::npos);
  EXPECT_EQ(out.Text(), emptyText);
  out.Clear();

  const std::wstring emptySub =
      Thrown([&] { S::PosByReverseNumberSubStringsW(L"abc", L"", number); });
  EXPECT_EQ(MaskLines(emptySub), ReportTesting::Header(kMethod, kPosWSignature, kStringsFile) +
                                     L"\nОтсутсвует искомая подстрока.\n");
  EXPECT_EQ(out.Text(), L"");
  EXPECT_FALSE(Thrown([&] { S::PosByReverseNumberSubStringsA("abc", "", number); }).empty());
  EXPECT_EQ(number, 1u);
}

TEST(Upper, CopyInTheUserLocale) {
  const std::wstring argument = L"ftp://x";
  EXPECT_EQ(S::UpperCopyW(argument), L"FTP://X");
  EXPECT_EQ(argument, L"ftp://x");
  EXPECT_EQ(S::UpperCopyW(L"путь ёж"), L"ПУТЬ ЁЖ");
  EXPECT_EQ(S::UpperCopyW(L""), L"");

  std::wstring text = L"abcdef";
  EXPECT_EQ(&S::UpperW(text, 0, Utils::Checking::All<unsigned long>), &text);
  EXPECT_EQ(text, L"ABCDEF");
  text = L"abcdef";
  S::UpperW(text, 0, 2);
  EXPECT_EQ(text, L"ABcdef");
  text = L"abcdef";
  S::UpperW(text, 4, Utils::Checking::All<unsigned long>);
  EXPECT_EQ(text, L"abcdEF");
}

TEST(Upper, EmptyTextIsRefusedByTheRangeCheck) {
  WcoutCapture out;
  std::wstring text;
  const std::wstring report =
      Thrown([&] { S::UpperW(text, 0, Utils::Checking::All<unsigned long>); });
  EXPECT_NE(MaskLines(report).find(L"В методе" + kUpperSignature + L"\r\nFile: \""),
            std::wstring::npos);
  EXPECT_NE(report.find(L"Количество элементов: 4294967295\n"), std::wstring::npos);
  EXPECT_EQ(out.Text(), report);
}

std::wstring Replaced(std::wstring text, const std::wstring& what, const std::wstring& with,
                      bool all, unsigned long long count = kAll) {
  S::ReplaceW(text, 0, count == kAll ? text.size() : count, what, with, all);
  return text;
}

TEST(Replace, ExeBecomesDll) {
  EXPECT_EQ(Replaced(L"C:\\x\\lib.exe", L".exe", L".dll", true), L"C:\\x\\lib.dll");
  EXPECT_EQ(Replaced(L"lib.exe", L".exe", L".dll", false), L"lib.dll");
  EXPECT_EQ(Replaced(L"lib.EXE", L".exe", L".dll", true), L"lib.EXE");
  EXPECT_EQ(Replaced(L"lib.dll", L".exe", L".dll", true), L"lib.dll");
}

TEST(Replace, AllOrFirstAndTheSkippedCharacter) {
  EXPECT_EQ(Replaced(L"a.exe_b.exe", L".exe", L".dll", true), L"a.dll_b.dll");
  EXPECT_EQ(Replaced(L"a.exe_b.exe", L".exe", L".dll", false), L"a.dll_b.exe");
  // The search goes on one character behind the inserted text.
  EXPECT_EQ(Replaced(L"aa", L"a", L"b", true), L"ba");
  EXPECT_EQ(Replaced(L"aaa", L"a", L"b", true), L"bab");
  EXPECT_EQ(Replaced(L"x.exe.exe", L".exe", L".dll", true), L"x.dll.exe");
  // Longer and shorter replacements keep the search inside the text.
  EXPECT_EQ(Replaced(L"a-b-c", L"-", L"--", true), L"a--b--c");
  EXPECT_EQ(Replaced(L"a--b--c", L"--", L"", true), L"abc");
}

TEST(Replace, CountLimitsTheRegion) {
  // Only occurrences that begin inside the first count characters.
  EXPECT_EQ(Replaced(L"abab", L"b", L"c", true, 3), L"acab");
  EXPECT_EQ(Replaced(L"abab", L"b", L"cc", true, 4), L"accacc");
  EXPECT_EQ(Replaced(L"abab", L"b", L"c", true, 1), L"abab");

  std::wstring text = L"abc";
  const std::wstring report = Thrown([&] { S::ReplaceW(text, 0, 0, L"a", L"b", true); });
  EXPECT_NE(MaskLines(report).find(L"В методе" + kReplaceSignature +
                                   L"\r\nFile: \"utils/Utils.Strings.cpp\"\r\nLine: #\r\n"
                                   L"\r\nОтсутствует количество элементов."),
            std::wstring::npos);
  EXPECT_EQ(text, L"abc");
  WcoutCapture out;
  std::wstring empty;
  EXPECT_NE(Thrown([&] { S::ReplaceW(empty, 0, kAll, L"a", L"b", true); })
                .find(L"Количество всех элементов равно нулю."),
            std::wstring::npos);
}

}  // namespace
