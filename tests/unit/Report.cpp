// Failure reports: composition (title, closing mark, tags, message and
// last-error tail), the library's own error-text tables, and the layout of
// a warning box.
#include <cwchar>

#include "ReportTesting.h"
#include "host/Text.h"
#include "utils/errors/Utils.Error.h"
#include "utils/errors/Utils.ErrorTables.h"

namespace {

namespace Error = Utils::Error;
namespace Tables = Utils::Error::Tables;
using Error::ReportW;
const std::wstring kLocation = L"\r\nFile: \"Unit\"\r\nLine: 7\r\n";

TEST(Report, TagsAndSignatureChooseTheTitleAndClosingMark) {
  const wchar_t* const cases[][2] = {
      {L"X::Y(int)", L"Ошибка в методе \"X::Y(int)\"!"},
      {L"X::Y(int)[d]", L"Обнаружена ошибка методом \"X::Y(int)\"!"},
      {L"X::Y(int)[w]", L"Предупреждение метода \"X::Y(int)\"!"},
      {L"f(int)[F][o]", L"Ошибка в функции \"f(int)\"!"},
      {L"X::Y(int)[O][D][w]", L"Обнаружена ошибка оператором \"X::Y(int)\"!"},
      {L"X::Y(int)[o][W]", L"Предупреждение оператора \"X::Y(int)\"!"},
      {L"bool X::operator==(o)(int)", L"Ошибка в операторе \"bool X::operator==(o)(int)\"!"},
      {L"f(int)[f][D]", L"Обнаружена ошибка функцией \"f(int)\"!"},
      {L"f(int)[f][w]", L"Предупреждение функции \"f(int)\"!"},
      // No parentheses: made to look like a call.
      {L"Init", L"Ошибка в методе \"Init()\"!"},
      {L"Init(x", L"Ошибка в методе \"Init(x()\"!"},
      // Tags are the group after the last "[]", first '[' to last ']'.
      {L"void f(int [],char [])[f][d]", L"Обнаружена ошибка функцией \"void f(int [],char [])\"!"},
      {L"void f(int)[f] x [d]", L"Обнаружена ошибка функцией \"void f(int)\"!"}};
  for (const auto& [signature, title] : cases) {
    EXPECT_EQ(ReportW(signature + kLocation, L"", false), title + kLocation) << signature;
    EXPECT_EQ(ReportW(signature, L"", false), title) << "no location: the mark goes at the end";
  }
}

TEST(Report, MessageAndLastErrorTails) {
  const std::wstring header = L"f(int)[f]" + kLocation, shown = L"Ошибка в функции \"f(int)\"!" + kLocation;
  SetLastError(2);
  const std::wstring two = Error::DescriptionW<bool>(true);
  EXPECT_TRUE(two.rfind(L"\nLast Error: 2.\n", 0) == 0 && two.size() > 17 &&
              two.find(L"\r\n\n") == two.size() - 3)
      << "the system's own text with its CR LF: " << two;
  EXPECT_EQ(ReportW(header, L"Сообщение", false), shown + L"\nСообщение\n");
  SetLastError(2);
  EXPECT_EQ(ReportW(header, L"", true), shown + two);
  SetLastError(2);
  EXPECT_EQ(ReportW(header, L"m", true), shown + two + L"m\n");
  SetLastError(5);
  EXPECT_TRUE(Error::DescriptionW<bool>(false).empty() && GetLastError() == 5u)
      << "none asked: the last error stays";
  for (const DWORD code : {12000ul, 12001ul, 12175ul, 12176ul}) {  // WinINet's own texts inside its range
    const std::wstring expected =
        code >= 12001 && code <= 12175 ? Error::InternetW(code) : Error::SystemTextW(code);
    SetLastError(code);
    EXPECT_EQ(Error::DescriptionW<bool>(true), expected);
  }
  // Raise describes the failed call's last error, not that of composing the header.
  SetLastError(3);
  const std::wstring raised =
      ReportTesting::Thrown([] { Error::Raise(SF_SITE("f(void)", Error::kFunction), L"m", true); });
  EXPECT_EQ(ReportTesting::MaskLines(raised).rfind(
                L"Ошибка в функции \"f(void)\"!\r\nFile: \"tests/unit/Report.cpp\"\r\n"
                L"Line: #\r\n\nLast Error: 3.\n",
                0),
            0u)
      << raised;
}

// Every row of every table: its code written as its table writes codes, the
// layout around the two texts, and its narrow twin in code page 1251.
TEST(Report, EveryTableRowHasItsCodeFormatLayoutAndNarrowTwin) {
  const auto check = [](const Tables::Table& table, std::size_t rows, const wchar_t* format, auto wide,
                        auto narrow) {
    EXPECT_EQ(table.size, rows);
    for (const Tables::Row& row : table) {
      const std::wstring decoded = Host::Wide(narrow(row.code));  // the process's code page is 1251
      EXPECT_EQ(decoded, wide(row.code));
      if (row.code == Tables::kServerResponseCode) continue;
      wchar_t code[16] = L"0";
      if (row.code != 0) std::swprintf(code, 16, format, row.code);
      EXPECT_EQ(decoded, L"\r\nLast Error: " + std::wstring(code) + L".\r\n\r\n" + row.english + L"\r\n\r\n" +
                             row.russian + L"\r\n\r\n");
      for (const std::wstring part : {row.english, row.russian})  // a blank line would break the paragraphs
        EXPECT_EQ(part.find(L"\r\n\r\n"), std::wstring::npos) << part;
    }
  };
  check(Tables::Internet(), 94, L"%ld", Error::InternetW, Error::InternetA);
  check(Tables::Shell(), 26, L"0x%05lX", Error::ShellW, Error::ShellA);
  check(
      Tables::CommonDialog(), 32, L"0x%04lX", [](long c) { return Error::CommonDialogW(WORD(c)); },
      [](long c) { return Error::CommonDialogA(WORD(c)); });
  EXPECT_EQ(Error::CommonDialogW(0x3002),
            L"\r\nLast Error: 0x3002.\r\n\r\nA file name is invalid.\r\n\r\n"
            L"Недопустимое имя файла.\r\n\r\n");
  // Codes without a row (a gap in WinINet's list, codes around it, the
  // others' unknown ones) get the system text.
  for (const long code : {12000l, 12035l, 12058l, 12109l, 12176l}) {
    EXPECT_EQ(Tables::Internet().Find(code), nullptr) << code;
    EXPECT_EQ(Error::InternetA(code), Error::SystemTextA(DWORD(code))) << code;
  }
  EXPECT_EQ(Error::ShellW(0x77), Error::SystemTextW(0x77));
  EXPECT_EQ(Error::CommonDialogW(0x000D), Error::SystemTextW(0x000D));
}

// A description asked of a type that carries no error code warns in a box:
// the routine's signature and location, a blank line, the message; the last
// error that a report goes on to describe is left alone.
TEST(Report, AWarningBoxHasItsOwnLayout) {
  ReportTesting::Boxes boxes;
  SetLastError(1234);
  EXPECT_TRUE(Error::DescriptionW<double>(1.5).empty() && GetLastError() == 1234u);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].caption, L"Utils::Error::DescriptionW");
  EXPECT_EQ(
      ReportTesting::MaskLines(boxes.shown[0].text),
      L"class std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class std::allocator<wchar_t> > "
      L"__cdecl Utils::Error::DescriptionW<bool>(bool)\r\nFile: \"utils/contract/Utils.Error.Typed.cpp\"\r\nLine: #\r\n\r\n"
      L"Непредусмотренный тип данных ошибки. Тип может быть LONG или WORD или INT.");
}

}  // namespace
