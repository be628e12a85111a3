// Failure reports: composition (title, closing mark, tags, message and
// last-error tail), the library's own error-text tables, and the layout of
// a warning box.

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
  // WinINet's own texts inside its range, the system's around it.
  const std::pair<DWORD, const wchar_t*> codes[] = {{12000, L"\nLast Error: 12000.\n"},
                                                    {12001, L"\r\nLast Error: 12001.\r\n\r\nNo more handles"},
                                                    {12175, L"\r\nLast Error: 12175.\r\n\r\n"},
                                                    {12176, L"\nLast Error: 12176.\n"}};
  for (const auto& [code, start] : codes) {
    SetLastError(code);
    EXPECT_EQ(Error::DescriptionW<bool>(true).rfind(start, 0), 0u) << code;
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

// The tables' rows as the reports show them: the code as its table writes
// codes, both texts, and the narrow twin in code page 1251.
TEST(Report, TableRowsCarryTheirCodeBothTextsAndANarrowTwin) {
  EXPECT_EQ(Tables::Internet().size, 94u);
  EXPECT_EQ(Tables::Shell().size, 26u);
  EXPECT_EQ(Tables::CommonDialog().size, 32u);
  const std::wstring success = L"\r\nLast Error: 0.\r\n\r\nThe operation completed successfully.\r\n\r\n"
                               L"Операция успешно завершена.\r\n\r\n";
  const std::pair<std::wstring, std::wstring> rows[] = {
      {Error::InternetW(0), success},
      {Error::ShellW(0), success},
      {Error::CommonDialogW(0), success},
      {Error::InternetW(12002), L"\r\nLast Error: 12002.\r\n\r\nThe request has timed out.\r\n\r\nЗапрос просрочен.\r\n\r\n"},
      {Error::ShellW(0x71), L"\r\nLast Error: 0x00071.\r\n\r\nThe source and destination files are the same file."
                            L"\r\n\r\nПути исходного и конечного файлов одинаковы.\r\n\r\n"},
      {Error::CommonDialogW(0x3002),
       L"\r\nLast Error: 0x3002.\r\n\r\nA file name is invalid.\r\n\r\nНедопустимое имя файла.\r\n\r\n"}};
  for (const auto& [row, expected] : rows) EXPECT_EQ(row, expected);
  EXPECT_EQ(Error::ShellW(0x10074).rfind(L"\r\nLast Error: 0x10074.\r\n\r\n", 0), 0u);
  EXPECT_EQ(Host::Wide(Error::ShellA(0x71)), Error::ShellW(0x71));
  EXPECT_EQ(Host::Wide(Error::InternetA(12175)), Error::InternetW(12175));
  // Codes without a row (a gap in WinINet's list, the others' unknown ones)
  // get the system text.
  EXPECT_EQ(Error::InternetA(12035), Error::SystemTextA(12035));
  EXPECT_EQ(Error::ShellW(0x77), Error::SystemTextW(0x77));
  EXPECT_EQ(Error::CommonDialogW(0x000D), Error::SystemTextW(0x000D));
}

}  // namespace
