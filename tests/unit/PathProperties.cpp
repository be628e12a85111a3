// Generated paths of every shape fed to validation and to the three cuts:
// nothing may crash, every refusal must be a proper report, validation must
// never change its argument, and an in-place cut must stay inside the text.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ReportTesting.h"
#include "utils/Utils.CodingStr.h"
#include "utils/Utils.Strings.h"

namespace {

using ReportTesting::WcoutCapture;
namespace P = Utils::String::Path;

constexpr int kPaths = 3000;
constexpr std::size_t kMaxLength = 600;
const std::wstring kTitle = L"Ошибка в методе \"";

class PathGenerator {
 public:
  explicit PathGenerator(unsigned seed) : random_(seed) {}

  std::wstring Next() {
    std::wstring path = Prefix();
    const std::size_t length = Pick(kMaxLength + 1);
    while (path.size() < length) Append(path);
    if (path.size() > kMaxLength) path.resize(kMaxLength);
    return path;
  }

 private:
  std::size_t Pick(std::size_t bound) {
    return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random_);
  }

  std::wstring Prefix() {
    static const wchar_t* prefixes[] = {L"",       L"",        L"C:\\",   L"\\\\?\\C:\\",
                                        L"ftp://", L"https://", L"\\\\?\\", L"D:"};
    return prefixes[Pick(sizeof prefixes / sizeof *prefixes)];
  }

  void Append(std::wstring& path) {
    static const std::wstring letters = L"abcxyzCONconAUXLPT1COM9";
    static const std::wstring cyrillic = L"абвгдеёжЖЩЯ";
    static const std::wstring forbidden = L"*?\"<>|";
    switch (Pick(12)) {
      case 0: case 1: case 2: path += letters[Pick(letters.size())]; break;
      case 3: case 4: path += L'\\'; break;
      case 5: path += L'/'; break;
      case 6: path += L':'; break;
      case 7: path += forbidden[Pick(forbidden.size())]; break;
      case 8: path += Pick(2) ? L' ' : L'.'; break;
      case 9: path += cyrillic[Pick(cyrillic.size())]; break;
      case 10: path += L"\xD83D\xDE00"; break;  // a surrogate pair
      default: path += Pick(2) ? L'\xD800' : L'\xDC00'; break;  // a lone surrogate
    }
  }

  std::mt19937 random_;
};

std::vector<std::wstring> GeneratedPaths() {
  PathGenerator generator(20240611u);
  std::vector<std::wstring> paths;
  for (int i = 0; i < kPaths; ++i) paths.push_back(generator.Next());
  return paths;
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// What a passing path must satisfy whatever the rules' inner workings.
void ExpectAcceptable(const std::wstring& path, bool ftp) {
  EXPECT_NE(path.back(), L'.') << path;
  EXPECT_NE(path.back(), L' ') << path;
  if (!ftp && !StartsWith(path, L"\\\\?\\")) {
    EXPECT_LE(path.size(), 255u) << path;
  }
  const std::size_t colon = path.rfind(L':');
  const std::size_t scan = colon == std::wstring::npos ? 0 : colon + 1;
  EXPECT_EQ(path.find_first_of(L"*?\"<>|", scan), std::wstring::npos) << path;
}

TEST(PathProperties, ValidationAnswersOrRaisesAProperReport) {
  WcoutCapture out;
  int refused = 0, passed = 0;
  for (const std::wstring& path : GeneratedPaths()) {
    for (const bool ftp : {false, true}) {
      const std::wstring before = path;
      out.Clear();
      try {
        const bool result = P::Has(path, ftp);
        EXPECT_EQ(result, !path.empty()) << path;
        if (result) {
          ExpectAcceptable(path, ftp);
          ++passed;
        }
        EXPECT_EQ(out.Text(), L"");
      } catch (const std::wstring& report) {
        ++refused;
        EXPECT_TRUE(StartsWith(report, kTitle)) << report;
        EXPECT_NE(report.find(L"\"" + path + L"\""), std::wstring::npos) << path;
        EXPECT_EQ(out.Text(), report + L"\n");
      }
      ASSERT_EQ(path, before);
    }
  }
  // The generator must exercise both outcomes for the test to mean anything.
  EXPECT_GT(refused, kPaths / 10);
  EXPECT_GT(passed, kPaths / 50);
}

// The cut as the routines are meant to make it: the text up to and including
// the last separator, once one trailing backslash is ignored.
template <class C>
std::basic_string<C> ExpectedCut(const std::basic_string<C>& path, C separator) {
  std::basic_string<C> text = path;
  if (!text.empty() && text.back() == C('\\')) text.pop_back();
  const std::size_t at = text.rfind(separator);
  return at == std::basic_string<C>::npos ? path : text.substr(0, at + 1);
}

template <class C> bool IsNoPath(const std::basic_string<C>& path) {
  return path.empty() || (path.size() == 1 && path[0] == C('\\'));
}

template <class C, class Cut>
void CheckInPlace(const std::basic_string<C>& path, Cut cut) {
  constexpr std::size_t kGuards = 16;
  const C guard = C(0x7E);
  std::vector<C> buffer(path.begin(), path.end());
  buffer.push_back(C(0));
  buffer.insert(buffer.end(), kGuards, guard);
  const std::vector<C> before = buffer;
  try {
    EXPECT_EQ(cut(buffer.data()), buffer.data());
    EXPECT_FALSE(IsNoPath(path));
    EXPECT_EQ(std::basic_string<C>(buffer.data()), ExpectedCut(path, C('\\')));
    // Everything behind the written terminator is as it was.
    const std::size_t end = std::basic_string<C>(buffer.data()).size();
    for (std::size_t i = end + 1; i < buffer.size(); ++i)
      ASSERT_EQ(buffer[i], before[i]) << "index " << i;
  } catch (const std::wstring& report) {
    EXPECT_TRUE(IsNoPath(path));
    EXPECT_TRUE(StartsWith(report, kTitle)) << report;
    EXPECT_EQ(buffer, before);
  }
}

TEST(PathProperties, CutsStayInsideTheText) {
  WcoutCapture out;
  std::vector<std::wstring> paths = GeneratedPaths();
  paths.push_back(L"\\");
  paths.push_back(L"\\\\");
  for (const std::wstring& path : paths) {
    CheckInPlace<wchar_t>(path, [](wchar_t* b) { return P::TrimNameFileW(b, 1, L'\\'); });
    const std::string narrow = Utils::CodingStr::UnicodeToAnsi(path, 0);
    CheckInPlace<char>(narrow, [](char* b) { return P::TrimNameFileA(b, 1, '\\'); });

    for (const wchar_t separator : {L'\\', L'/'}) {
      try {
        EXPECT_EQ(P::TrimNameFileCW(path, 1, separator), ExpectedCut(path, separator))
            << path;
        EXPECT_FALSE(IsNoPath(path));
      } catch (const std::wstring& report) {
        EXPECT_TRUE(IsNoPath(path)) << path;
        EXPECT_TRUE(StartsWith(report, kTitle)) << report;
      }
    }
  }
  EXPECT_EQ(out.Text(), L"");
}

}  // namespace
