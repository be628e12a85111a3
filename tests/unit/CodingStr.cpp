// Narrow/wide conversion through the Windows code pages.
#include <gtest/gtest.h>
#include <windows.h>

#include "utils/Utils.CodingStr.h"

namespace {

using Utils::CodingStr::AnsiToUnicode;
using Utils::CodingStr::UnicodeToAnsi;

TEST(CodingStr, EmptyInputIsEmptyAndResetsTheLastError) {
  SetLastError(87);
  EXPECT_EQ(AnsiToUnicode("", 0), L"");
  EXPECT_EQ(GetLastError(), 0u);
  SetLastError(87);
  EXPECT_EQ(UnicodeToAnsi(L"", 0), "");
  EXPECT_EQ(GetLastError(), 0u);
}

TEST(CodingStr, RoundTripsAsciiAndCyrillicInCodePage1251) {
  EXPECT_EQ(AnsiToUnicode("abc", 0), L"abc");
  EXPECT_EQ(UnicodeToAnsi(L"abc", 0), "abc");
  const std::string cyrillic1251 = "\xCA\xE0\xF2\xE0\xEB\xEE\xE3";  // Каталог
  EXPECT_EQ(AnsiToUnicode(cyrillic1251, 0), L"Каталог");
  EXPECT_EQ(UnicodeToAnsi(L"Каталог", 0), cyrillic1251);
}

TEST(CodingStr, StopsAtAnEmbeddedNul) {
  EXPECT_EQ(AnsiToUnicode(std::string("ab\0cd", 5), 0), L"ab");
  EXPECT_EQ(UnicodeToAnsi(std::wstring(L"ab\0cd", 5), 0), "ab");
  EXPECT_EQ(AnsiToUnicode(std::string("\0x", 2), 0), L"");
}

TEST(CodingStr, MissingCharacterBecomesTheDefaultCharacter) {
  EXPECT_EQ(UnicodeToAnsi(L"a\u4E2Db", 0), "a?b");
}

TEST(CodingStr, RefusedCodePageRaisesItsOwnReport) {
  try {
    AnsiToUnicode("abc", 12345);
    FAIL() << "no report";
  } catch (const std::wstring& report) {
    EXPECT_EQ(report.rfind(L"Ошибка в методе:\r\n\"Utils::CodingStr::AnsiToUnicode(", 0), 0u)
        << report;
    EXPECT_NE(report.find(L"\".\r\nFile: \"utils/Utils.CodingStr.cpp\".\r\n\r\n"
                          L"В строке отсутствуют символы.\r\n\r\nLast Error: "),
              std::wstring::npos)
        << report;
    EXPECT_EQ(report.find(L"Last Error: 0."), std::wstring::npos)
        << "the code of the refused call: " << report;
  }
  try {
    UnicodeToAnsi(L"abc", 12345);
    FAIL() << "no report";
  } catch (const std::wstring& report) {
    EXPECT_NE(report.find(L"UnicodeToAnsi("), std::wstring::npos) << report;
    EXPECT_NE(report.find(L"В строке отсутствуют символы."), std::wstring::npos);
  }
}

}  // namespace
