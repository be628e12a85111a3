// Typed error descriptions: which table or system text each type of error
// value gets, when the thread's last error is read, and the two warnings.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>

#include "tests/unit/WarningBoxes.h"
#include "utils/Utils.Error.h"

namespace {

namespace Error = Utils::Error;

using Texts = std::pair<std::wstring, std::string>;

// Both forms, each right after the last error is set: making an expected
// text may set another.
template <class T> Texts Described(T value, DWORD lastError) {
  SetLastError(lastError);
  const std::wstring wide = Error::DescriptionW<T>(value);
  SetLastError(lastError);
  return {wide, Error::DescriptionA<T>(value)};
}

// A Windows code's texts: the WinINet table inside its range, the system
// text elsewhere.
Texts Expected(DWORD code) {
  if (code >= 12001 && code <= 12175)
    return {Error::InternetW(static_cast<long>(code)), Error::InternetA(static_cast<long>(code))};
  return {Error::SystemTextW(code), Error::SystemTextA(code)};
}

// Only true and LONG -1 read the last error; any other LONG is described as
// given even when a different last error is set. WORDs are common-dialog
// codes, INTs shell results.
TEST(CodeDescription, EachTypeGetsItsTextAndOnlyTrueAndMinusOneReadTheLastError) {
  UnitTest::WarningBoxes boxes;
  for (DWORD lastError : {0u, 2u, 12000u, 12001u, 12002u, 12175u, 12176u})
    EXPECT_EQ(Described(true, lastError), Expected(lastError)) << lastError;
  EXPECT_EQ(Described(false, 12002), Texts());
  EXPECT_EQ(GetLastError(), 12002u);
  const std::pair<LONG, DWORD> codeAndLastError[] = {{-1, 12002}, {-1, 5},       {2, 12002},
                                                     {12001, 2},  {12175, 2},    {0, 12001},
                                                     {12176, 12001}};
  for (const auto& [code, lastError] : codeAndLastError)
    EXPECT_EQ(Described(code, lastError), Expected(code == -1 ? lastError : code)) << code;
  EXPECT_EQ(Described<WORD>(0xFFFF, 2),
            Texts(Error::CommonDialogW(0xFFFF), Error::CommonDialogA(0xFFFF)));
  EXPECT_EQ(Described<INT>(0x10074, 2), Texts(Error::ShellW(0x10074), Error::ShellA(0x10074)));
  EXPECT_TRUE(boxes.Stop().empty());
}

// A box that never appears fails the test at once (the call does not block).
TEST(DescriptionWarning, ShellMinusOneAndUnexpectedTypesWarn) {
  UnitTest::WarningBoxes boxes;
  EXPECT_EQ(Error::DescriptionW<INT>(-1), Error::SystemTextW(0xFFFFFFFF));
  EXPECT_EQ(Error::DescriptionA<INT>(-1), Error::SystemTextA(0xFFFFFFFF));
  SetLastError(1234);
  EXPECT_EQ(Error::DescriptionW<double>(1.5), L"");
  EXPECT_EQ(Error::DescriptionA<char>('x'), "");
  // Reports are composed around warnings; their last error must survive.
  EXPECT_EQ(GetLastError(), 1234u);
  const std::vector<UnitTest::ShownBox> shown = boxes.Stop();

  // Each box: caption, the routine's signature, the message.
  const wchar_t* const shell =
      L"\r\n\r\nДля функций библиотеки \"Shell32.dll\" не предусмотренно автоматическое получение кода ошибки.";
  const wchar_t* const type =
      L"\r\n\r\nНепредусмотренный тип данных ошибки. Тип может быть LONG или WORD или INT.";
  const wchar_t* const expected[][3] = {
      {L"Utils::Error::DescriptionW", L"DescriptionW<bool>(bool)\r\nFile: \"utils/Utils.Error.cpp\"", shell},
      {L"Utils::Error::DescriptionA", L"DescriptionA<bool>(bool)\r\n", shell},
      {L"Utils::Error::DescriptionW", L"DescriptionW<bool>(bool)\r\n", type},
      {L"Utils::Error::DescriptionA", L"DescriptionA<bool>(bool)\r\n", type}};
  ASSERT_EQ(shown.size(), 4u);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    EXPECT_EQ(shown[i].caption, expected[i][0]);
    EXPECT_NE(shown[i].text.find(expected[i][1]), std::wstring::npos) << shown[i].text;
    EXPECT_TRUE(shown[i].EndsWith(expected[i][2])) << shown[i].text;
  }
}

}  // namespace
