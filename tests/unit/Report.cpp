// Failure reports: composition (title, closing mark, message and
// last-error tail), the library's own error-text tables, and the typed
// descriptions kept for the contract.

#include <tuple>

#include "ReportTesting.h"
#include "host/Text.h"
#include "utils/contract/Utils.Error.Typed.h"
#include "utils/errors/Utils.Error.h"

namespace {

namespace Error = Utils::Error;
namespace Tables = Utils::Error::Tables;
const std::wstring kLocation = L"\r\nFile: \"Unit\"\r\nLine: 7\r\n";

std::wstring Report(const char* signature, unsigned tags, const wchar_t* message = L"", bool described = false) {
  return Error::Failure({signature, tags, "Unit", 7}, message, described).Text();
}

TEST(Report, TagsAndSignatureChooseTheTitleAndClosingMark) {
  const unsigned f = Error::kFunction, d = Error::kDetected, w = Error::kWarning;
  const std::tuple<const char*, unsigned, const wchar_t*> cases[] = {
      {"X::Y(int)", 0, L"Ошибка в методе \"X::Y(int)\"!"},
      {"X::Y(int)", d | w, L"Обнаружена ошибка методом \"X::Y(int)\"!"},
      {"X::Y(int)", w, L"Предупреждение метода \"X::Y(int)\"!"},
      {"f(int)", f, L"Ошибка в функции \"f(int)\"!"},
      {"f(int)", f | d, L"Обнаружена ошибка функцией \"f(int)\"!"},
      {"f(int)", f | w, L"Предупреждение функции \"f(int)\"!"},
      {"X::f()", 0, L"Ошибка в функции \"X::f()\"!"},  // "()" marks a function
      // No parentheses: made to look like a call.
      {"Init", 0, L"Ошибка в методе \"Init()\"!"},
      {"Init(x", 0, L"Ошибка в методе \"Init(x()\"!"}};
  for (const auto& [signature, tags, title] : cases) EXPECT_EQ(Report(signature, tags), title + kLocation) << signature;
}

TEST(Report, MessageAndLastErrorTails) {
  const std::wstring shown = L"Ошибка в функции \"f(int)\"!" + kLocation, two = Error::SystemTextW(2);
  EXPECT_TRUE(two.rfind(L"\nLast Error: 2.\n", 0) == 0 && two.size() > 17 &&
              two.find(L"\r\n\n") == two.size() - 3)
      << "the system's own text with its CR LF: " << two;
  EXPECT_EQ(Report("f(int)", Error::kFunction, L"Сообщение"), shown + L"\nСообщение\n");
  SetLastError(2);  // the code is the last error when the failure is made
  EXPECT_EQ(Report("f(int)", Error::kFunction, L"", true), shown + two);
  SetLastError(2);
  EXPECT_EQ(Report("f(int)", Error::kFunction, L"m", true), shown + two + L"m\n");
  // The typed descriptions give WinINet's own texts inside its range, the
  // system's around it; a report describes every code by the system's text.
  const std::pair<LONG, const wchar_t*> codes[] = {{12000, L"\nLast Error: 12000.\n"},
                                                   {12001, L"\r\nLast Error: 12001.\r\n\r\nNo more handles"},
                                                   {12175, L"\r\nLast Error: 12175.\r\n\r\n"},
                                                   {12176, L"\nLast Error: 12176.\n"}};
  for (const auto& [code, start] : codes) EXPECT_EQ(Error::DescriptionW<LONG>(code).rfind(start, 0), 0u) << code;
  const std::wstring internet = shown + Error::SystemTextW(12001);
  SetLastError(12001);
  EXPECT_EQ(Report("f(int)", Error::kFunction, L"", true), internet);
}

// The tables' rows as the reports show them: the code as its table writes
// codes, both texts, and the narrow twin in code page 1251.
TEST(Report, TableRowsCarryTheirCodeBothTextsAndANarrowTwin) {
  EXPECT_TRUE(Tables::Internet().size == 94u && Tables::Shell().size == 26u && Tables::CommonDialog().size == 32u);
  const std::wstring success = L"\r\nLast Error: 0.\r\n\r\nThe operation completed successfully.\r\n\r\n"
                               L"Операция успешно завершена.\r\n\r\n";
  const std::pair<std::wstring, std::wstring> rows[] = {
      {Error::InternetW(0), success}, {Error::ShellW(0), success}, {Error::CommonDialogW(0), success},
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
