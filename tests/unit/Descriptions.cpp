// Typed error descriptions: which table or system text each type of error
// value gets, when the thread's last error is read, and the two warnings.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/unit/WarningBoxes.h"
#include "utils/Utils.Error.h"

namespace {

namespace Error = Utils::Error;

bool StartsWith(const std::wstring& text, const std::wstring& start) {
  return text.compare(0, start.size(), start) == 0;
}

bool EndsWith(const std::wstring& text, const std::wstring& end) {
  return text.size() >= end.size() &&
         text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::wstring DescribeLastErrorW(DWORD lastError) {
  SetLastError(lastError);
  return Error::DescriptionW<bool>(true);
}

std::string DescribeLastErrorA(DWORD lastError) {
  SetLastError(lastError);
  return Error::DescriptionA<bool>(true);
}

constexpr wchar_t kWideResult[] =
    L"class std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    L"std::allocator<wchar_t> > __cdecl Utils::Error::DescriptionW<";
constexpr wchar_t kNarrowResult[] =
    L"class std::basic_string<char,struct std::char_traits<char>,class "
    L"std::allocator<char> > __cdecl Utils::Error::DescriptionA<";

TEST(LastErrorDescription, WinInetRangeUsesTheTableEverythingElseTheSystemText) {
  struct Case {
    DWORD lastError;
    bool table;
  } cases[] = {{0, false},    {2, false},    {12000, false}, {12001, true},
               {12002, true}, {12175, true}, {12176, false}};
  for (const Case& c : cases) {
    const std::wstring wide = DescribeLastErrorW(c.lastError);
    const std::string narrow = DescribeLastErrorA(c.lastError);
    const long code = static_cast<long>(c.lastError);
    if (c.table) {
      EXPECT_EQ(wide, Error::InternetW(code)) << code;
      EXPECT_TRUE(StartsWith(wide, L"\r\nLast Error: " + std::to_wstring(code) + L".\r\n\r\n"))
          << code;
      EXPECT_EQ(narrow, Error::InternetA(code)) << code;
    } else {
      EXPECT_EQ(wide, Error::SystemTextW(c.lastError)) << code;
      EXPECT_TRUE(StartsWith(wide, L"\nLast Error: " + std::to_wstring(code) + L".\n")) << code;
      EXPECT_EQ(narrow, Error::SystemTextA(c.lastError)) << code;
    }
  }
  EXPECT_EQ(DescribeLastErrorW(12002),
            L"\r\nLast Error: 12002.\r\n\r\nThe request has timed out.\r\n\r\n"
            L"Запрос просрочен.\r\n\r\n");
}

TEST(LastErrorDescription, FalseDescribesNothingWhateverTheLastError) {
  SetLastError(12002);
  EXPECT_EQ(Error::DescriptionW<bool>(false), L"");
  EXPECT_EQ(Error::DescriptionA<bool>(false), "");
  EXPECT_EQ(GetLastError(), 12002u);
}

TEST(CodeDescription, MinusOneDescribesTheLastError) {
  SetLastError(12002);
  EXPECT_EQ(Error::DescriptionW<LONG>(-1), Error::InternetW(12002));
  SetLastError(12002);
  EXPECT_EQ(Error::DescriptionA<LONG>(-1), Error::InternetA(12002));
  SetLastError(5);
  EXPECT_EQ(Error::DescriptionW<LONG>(-1), Error::SystemTextW(5));
  SetLastError(5);
  EXPECT_EQ(Error::DescriptionA<LONG>(-1), Error::SystemTextA(5));
}

// A different last error is set first: only the given code may show.
TEST(CodeDescription, AnyOtherCodeIsDescribedAsGiven) {
  SetLastError(12002);
  EXPECT_EQ(Error::DescriptionW<LONG>(2), Error::SystemTextW(2));
  SetLastError(12002);
  EXPECT_EQ(Error::DescriptionA<LONG>(2), Error::SystemTextA(2));
  SetLastError(2);
  EXPECT_EQ(Error::DescriptionW<LONG>(12001), Error::InternetW(12001));
  SetLastError(2);
  EXPECT_EQ(Error::DescriptionW<LONG>(12175), Error::InternetW(12175));
  SetLastError(12001);
  EXPECT_EQ(Error::DescriptionW<LONG>(0), Error::SystemTextW(0));
  SetLastError(12001);
  EXPECT_EQ(Error::DescriptionW<LONG>(12176), Error::SystemTextW(12176));
}

TEST(CodeDescription, WordValuesAreCommonDialogCodesAsGiven) {
  SetLastError(2);
  EXPECT_EQ(Error::DescriptionW<WORD>(0xFFFF), Error::CommonDialogW(0xFFFF));
  EXPECT_TRUE(StartsWith(Error::DescriptionW<WORD>(0xFFFF), L"\r\nLast Error: 0xFFFF.\r\n"));
  EXPECT_EQ(Error::DescriptionA<WORD>(0x3003), Error::CommonDialogA(0x3003));
  EXPECT_EQ(Error::DescriptionW<WORD>(0x000D), Error::SystemTextW(0x000D));
}

TEST(CodeDescription, IntValuesAreShellResultsWithoutWarning) {
  UnitTest::WarningBoxes boxes;
  EXPECT_EQ(Error::DescriptionW<INT>(0x71), Error::ShellW(0x71));
  EXPECT_TRUE(StartsWith(Error::DescriptionW<INT>(0x71), L"\r\nLast Error: 0x00071.\r\n"));
  EXPECT_EQ(Error::DescriptionA<INT>(0x10074), Error::ShellA(0x10074));
  EXPECT_EQ(Error::DescriptionW<INT>(0x77), Error::SystemTextW(0x77));
  EXPECT_TRUE(boxes.Stop().empty());
}

// A box that never appears fails the test at once (the call does not block);
// one with another caption is still closed by the watcher, so nothing hangs.
TEST(DescriptionWarning, ShellMinusOneWarnsThenDescribesMinusOne) {
  UnitTest::WarningBoxes boxes;
  const std::wstring wide = Error::DescriptionW<INT>(-1);
  const std::string narrow = Error::DescriptionA<INT>(-1);
  const std::vector<UnitTest::ShownBox> shown = boxes.Stop();

  EXPECT_EQ(wide, Error::SystemTextW(0xFFFFFFFF));
  EXPECT_EQ(narrow, Error::SystemTextA(0xFFFFFFFF));
  ASSERT_EQ(shown.size(), 2u);
  const std::wstring message =
      L"\r\n\r\nДля функций библиотеки \"Shell32.dll\" не предусмотренно автоматическое "
      L"получение кода ошибки.";
  EXPECT_EQ(shown[0].caption, L"Utils::Error::DescriptionW");
  EXPECT_TRUE(StartsWith(shown[0].text, std::wstring(kWideResult) +
                                            L"int>(int)\r\nFile: \"utils/Utils.Error.cpp\"\r\nLine: "))
      << shown[0].text;
  EXPECT_TRUE(EndsWith(shown[0].text, message)) << shown[0].text;
  EXPECT_EQ(shown[1].caption, L"Utils::Error::DescriptionA");
  EXPECT_TRUE(StartsWith(shown[1].text, std::wstring(kNarrowResult) + L"int>(int)\r\n"))
      << shown[1].text;
  EXPECT_TRUE(EndsWith(shown[1].text, message)) << shown[1].text;
}

TEST(DescriptionWarning, UnexpectedTypeWarnsAndDescribesNothing) {
  UnitTest::WarningBoxes boxes;
  SetLastError(1234);
  const std::wstring wide = Error::DescriptionW<double>(1.5);
  const DWORD lastErrorAfter = GetLastError();
  const std::string narrow = Error::DescriptionA<char>('x');
  const std::vector<UnitTest::ShownBox> shown = boxes.Stop();

  // Reports are composed around warnings; their last error must survive.
  EXPECT_EQ(lastErrorAfter, 1234u);
  EXPECT_EQ(wide, L"");
  EXPECT_EQ(narrow, "");
  ASSERT_EQ(shown.size(), 2u);
  const std::wstring message =
      L"\r\n\r\nНепредусмотренный тип данных ошибки. Тип может быть LONG или WORD или INT.";
  EXPECT_EQ(shown[0].caption, L"Utils::Error::DescriptionW");
  EXPECT_TRUE(StartsWith(shown[0].text, std::wstring(kWideResult) + L"double>(double)\r\nFile: \""))
      << shown[0].text;
  EXPECT_TRUE(EndsWith(shown[0].text, message)) << shown[0].text;
  EXPECT_EQ(shown[1].caption, L"Utils::Error::DescriptionA");
  EXPECT_TRUE(StartsWith(shown[1].text, std::wstring(kNarrowResult) + L"char>(char)\r\n"))
      << shown[1].text;
  EXPECT_TRUE(EndsWith(shown[1].text, message)) << shown[1].text;
}

TEST(DescriptionWarning, TypeNamesAreCutFromTheProbeSignature) {
  using Error::Detail::TypeNameIn;
  EXPECT_EQ(TypeNameIn("std::string Probe() [with T = double; std::string = x]"), "double");
  EXPECT_EQ(TypeNameIn("std::string Probe() [with T = int [3]]"), "int [3]");
  EXPECT_EQ(TypeNameIn("std::string Probe() [with T = std::map<int, int>; U = v]"),
            "std::map<int, int>");
  EXPECT_EQ(TypeNameIn("no template here"), "T");
  EXPECT_EQ(Error::Detail::TypeName<unsigned long>(), "long unsigned int");
}

}  // namespace
