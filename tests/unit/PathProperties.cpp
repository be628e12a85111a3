// Generated paths of every shape fed to validation and to the three cuts:
// nothing may crash, a refusal must be a proper report, a passing path must
// keep the rules, and a cut must leave exactly the directory part.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "ReportTesting.h"
#include "utils/Utils.CodingStr.h"
#include "utils/Utils.Strings.h"

namespace {

namespace P = Utils::String::Path;

constexpr int kPaths = 3000;
const std::wstring kTitle = L"Ошибка в методе \"";

// Paths of up to 600 characters, most of them short, made of pieces common
// enough for some to pass and troublesome enough for others to be refused.
std::vector<std::wstring> GeneratedPaths() {
  const std::vector<std::wstring> starts = {L"",       L"",         L"C:\\",    L"\\\\?\\C:\\",
                                            L"ftp://", L"https://", L"\\\\?\\", L"D:"};
  const std::vector<std::wstring> pieces = {
      L"a", L"b", L"x", L"con", L"CON", L"AUX", L"LPT1", L"COM9", L"\\", L"\\", L"\\", L"/", L":",
      L"*", L"?", L"\"", L"|", L" ", L".", L"ж", L"Щ", L"Ё", L"\xD83D\xDE00", L"\xD800", L"\xDC00"};
  std::mt19937 random(20240611u);
  const auto pick = [&](std::size_t bound) {
    return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random);
  };
  std::vector<std::wstring> paths(kPaths);
  for (std::wstring& path : paths) {
    path = starts[pick(starts.size())];
    for (const std::size_t length = pick(pick(601) + 1); path.size() < length;)
      path += pieces[pick(pieces.size())];
    path.resize(std::min<std::size_t>(path.size(), 600));
  }
  return paths;
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
  return text.rfind(prefix, 0) == 0;
}

// A cut must leave the text up to the last separator once one trailing
// backslash is ignored; when that leaves nothing, it must refuse untouched.
template <class Text, class Cut> void ExpectCut(const Text& path, wchar_t separator, Cut cut) {
  Text text = path, buffer = path;
  if (!text.empty() && text.back() == '\\') text.pop_back();
  const std::size_t at = text.rfind(static_cast<typename Text::value_type>(separator));
  try {
    EXPECT_EQ(cut(buffer), at == Text::npos ? path : text.substr(0, at + 1));
    EXPECT_FALSE(text.empty());
  } catch (const std::wstring& report) {
    EXPECT_TRUE(text.empty());
    EXPECT_TRUE(StartsWith(report, kTitle)) << report;
    EXPECT_EQ(buffer, path);
  }
}

TEST(PathProperties, GeneratedPathsAreValidatedAndCutSoundly) {
  ReportTesting::WcoutCapture out;
  int refused = 0, passed = 0;
  for (const std::wstring& path : GeneratedPaths()) {
    SCOPED_TRACE(path);
    const std::wstring original = path;
    for (const bool ftp : {false, true}) {
      out.Clear();
      try {
        const bool result = P::Has(path, ftp);
        EXPECT_EQ(path, original);
        EXPECT_EQ(result, !path.empty());
        EXPECT_EQ(out.Text(), L"");
        if (!result) continue;
        ++passed;
        // What a passing path keeps whatever the rules' inner workings.
        EXPECT_TRUE(path.back() != L'.' && path.back() != L' ');
        EXPECT_TRUE(ftp || StartsWith(path, L"\\\\?\\") || path.size() <= 255);
        const std::size_t colon = path.rfind(L':');
        EXPECT_EQ(path.find_first_of(L"*?\"<>|", colon == std::wstring::npos ? 0 : colon + 1),
                  std::wstring::npos);
      } catch (const std::wstring& report) {
        ++refused;
        EXPECT_TRUE(StartsWith(report, kTitle)) << report;
        EXPECT_NE(report.find(L"\"" + path + L"\""), std::wstring::npos);
        EXPECT_EQ(out.Text(), report + L"\n");
      }
    }
    out.Clear();
    ExpectCut(path, L'\\',
              [](std::wstring& b) { return std::wstring(P::TrimNameFileW(b.data(), 1, L'\\')); });
    ExpectCut(Utils::CodingStr::UnicodeToAnsi(path, 1251), L'\\',
              [](std::string& b) { return std::string(P::TrimNameFileA(b.data(), 1, '\\')); });
    for (const wchar_t separator : {L'\\', L'/'})
      ExpectCut(path, separator, [=](std::wstring& b) { return P::TrimNameFileCW(b, 1, separator); });
    EXPECT_EQ(out.Text(), L"") << "a cut echoed its report";
  }
  // The generator must exercise both outcomes for the test to mean anything.
  EXPECT_GT(refused, kPaths / 10);
  EXPECT_GT(passed, kPaths / 20);
}

}  // namespace
