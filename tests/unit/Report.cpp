// Composition of failure reports: titles, closing marks, tags, tails and the
// last-error description.
#include <gtest/gtest.h>
#include <windows.h>

#include "utils/Utils.Error.h"

namespace {

using Utils::Error::ReportA;
using Utils::Error::ReportW;

const std::wstring kLocation = L"\r\nFile: \"Unit\"\r\nLine: 7\r\n";

std::wstring Header(const std::wstring& signatureAndTags) {
  return signatureAndTags + kLocation;
}

std::wstring FirstLine(const std::wstring& text) {
  return text.substr(0, text.find(L"\r\n"));
}

TEST(ReportTitle, EveryTagCombinationChoosesItsTitle) {
  struct Case {
    const wchar_t* tags;
    const wchar_t* title;
  } cases[] = {
      {L"", L"Ошибка в методе \""},
      {L"[d]", L"Обнаружена ошибка методом \""},
      {L"[w]", L"Предупреждение метода \""},
      {L"[d][w]", L"Обнаружена ошибка методом \""},
      {L"[o]", L"Ошибка в операторе \""},
      {L"[O][D]", L"Обнаружена ошибка оператором \""},
      {L"[o][W]", L"Предупреждение оператора \""},
      {L"[f]", L"Ошибка в функции \""},
      {L"[F][d]", L"Обнаружена ошибка функцией \""},
      {L"[f][w]", L"Предупреждение функции \""},
      {L"[f][d][w]", L"Обнаружена ошибка функцией \""},
      {L"[f][o]", L"Ошибка в функции \""},
  };
  for (const Case& c : cases) {
    const std::wstring report = ReportW(Header(std::wstring(L"void __cdecl X::Y(int)") + c.tags), L"", false);
    EXPECT_EQ(FirstLine(report), std::wstring(c.title) + L"void __cdecl X::Y(int)\"!")
        << "tags " << c.tags;
  }
}

TEST(ReportTitle, ParenthesisOperatorMarkCountsAndStays) {
  const std::wstring report = ReportW(Header(L"bool __cdecl X::operator==(o)(int)"), L"", false);
  EXPECT_EQ(FirstLine(report), L"Ошибка в операторе \"bool __cdecl X::operator==(o)(int)\"!");
}

TEST(ReportClosingMark, BareNameLooksLikeACall) {
  EXPECT_EQ(FirstLine(ReportW(Header(L"Init"), L"", false)), L"Ошибка в методе \"Init()\"!");
  EXPECT_EQ(FirstLine(ReportW(Header(L"Init(x"), L"", false)), L"Ошибка в методе \"Init(x()\"!");
}

TEST(ReportClosingMark, HeaderWithoutLocationGetsItAtTheEnd) {
  EXPECT_EQ(ReportW(L"void f(int)[f]", L"", false), L"Ошибка в функции \"void f(int)\"!");
}

TEST(ReportTags, OnlyTheGroupAfterTheLastEmptyPairIsRemoved) {
  const std::wstring report = ReportW(Header(L"void f(int [],char [])[f][d]"), L"", false);
  EXPECT_EQ(FirstLine(report), L"Обнаружена ошибка функцией \"void f(int [],char [])\"!");
}

TEST(ReportTags, EverythingFromTheFirstBracketToTheLastIsOneGroup) {
  const std::wstring report = ReportW(Header(L"void f(int)[f] x [d]"), L"", false);
  EXPECT_EQ(FirstLine(report), L"Обнаружена ошибка функцией \"void f(int)\"!");
}

TEST(ReportTail, LayoutsForMessageAndDescription) {
  const std::wstring header = Header(L"void f(int)[f]");
  const std::wstring shown = L"Ошибка в функции \"void f(int)\"!" + kLocation;
  EXPECT_EQ(ReportW(header, L"", false), shown);
  EXPECT_EQ(ReportW(header, L"Сообщение", false), shown + L"\nСообщение\n");

  SetLastError(2);
  const std::wstring description = Utils::Error::SystemTextW(2);
  SetLastError(2);
  EXPECT_EQ(ReportW(header, L"", true), shown + description);
  SetLastError(2);
  EXPECT_EQ(ReportW(header, L"Сообщение", true), shown + description + L"Сообщение\n");
}

TEST(ReportTail, FlagFalseNeverDescribesTheLastError) {
  SetLastError(5);
  const std::wstring report = ReportW(Header(L"void f(int)"), L"m", false);
  EXPECT_EQ(report.find(L"Last Error"), std::wstring::npos);
}

TEST(ReportNarrow, SameCompositionInCodePage1251) {
  const std::string report =
      ReportA("void f(int)[f][d]\r\nFile: \"Unit\"\r\nLine: 7\r\n", "msg");
  // "Обнаружена ошибка функцией" in code page 1251.
  const std::string title = "\xCE\xE1\xED\xE0\xF0\xF3\xE6\xE5\xED\xE0 \xEE\xF8\xE8\xE1\xEA\xE0 "
                            "\xF4\xF3\xED\xEA\xF6\xE8\xE5\xE9 \"";
  EXPECT_EQ(report, title + "void f(int)\"!\r\nFile: \"Unit\"\r\nLine: 7\r\n\nmsg\n");
}

TEST(LastErrorDescription, CodeTwoAndCodeZero) {
  SetLastError(2);
  const std::wstring two = Utils::Error::DescriptionW<bool>(true);
  ASSERT_EQ(two.rfind(L"\nLast Error: 2.\n", 0), 0u) << two;
  EXPECT_GT(two.size(), 17u) << "the system has a text for code 2";
  EXPECT_EQ(two.back(), L'\n');
  EXPECT_NE(two.find(L"\r\n\n"), std::wstring::npos) << "system text keeps its own CR LF";

  SetLastError(0);
  EXPECT_EQ(Utils::Error::DescriptionW<bool>(true).rfind(L"\nLast Error: 0.\n", 0), 0u);

  SetLastError(2);
  EXPECT_EQ(Utils::Error::DescriptionW<bool>(false), L"");
  EXPECT_EQ(GetLastError(), 2u) << "flag false must not touch the last error";
}

TEST(Raise, DescribesTheLastErrorOfTheFailedCallNotOfTheHeaderConversion) {
  SetLastError(3);
  try {
    Utils::Error::Raise(SF_SITE("void __cdecl f(void)", "[f]"), L"m", true);
    FAIL() << "Raise returned";
  } catch (const std::wstring& report) {
    EXPECT_NE(report.find(L"Last Error: 3."), std::wstring::npos) << report;
    EXPECT_NE(report.find(L"File: \"tests/unit/Report.cpp\""), std::wstring::npos)
        << "source names are relative to the source root: " << report;
  }
}

}  // namespace
