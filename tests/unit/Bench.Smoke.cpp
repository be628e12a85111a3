// The bench itself: every test process must see what the terminal's users
// have. A wrong locale setup would silently turn every A-form test into a
// test of code page 1252.
#include <windows.h>

#include <gtest/gtest.h>

TEST(Bench, AnsiCodePageIs1251) {
  EXPECT_EQ(GetACP(), 1251u);
}

TEST(Bench, CyrillicSurvivesTheAnsiCodePage) {
  const wchar_t wide[] = L"\u041A\u0430\u0442\u0430\u043B\u043E\u0433";  // "Каталог"
  char ansi[16] = {};
  ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, sizeof ansi, nullptr,
                                nullptr),
            0);
  EXPECT_STREQ(ansi, "\xCA\xE0\xF2\xE0\xEB\xEE\xE3");
}
