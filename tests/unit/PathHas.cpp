// Path validation: which paths pass, which rule refuses the others first, and
// the exact report that is thrown and written to the standard wide output.
#include <gtest/gtest.h>

#include <string>

#include "ReportTesting.h"
#include "utils/Utils.Strings.h"

namespace {

using ReportTesting::MaskLines;
using ReportTesting::Thrown;
using ReportTesting::WcoutCapture;
using Utils::String::Path::Has;

const std::wstring kHasSignature =
    L"bool __cdecl Utils::String::Path::Has(const class std::basic_string<wchar_t,"
    L"struct std::char_traits<wchar_t>,class std::allocator<wchar_t> > &,const bool)";

// The whole report Has throws for `message`.
std::wstring HasReport(const std::wstring& message) {
  return ReportTesting::Header(L"Ошибка в методе \"", kHasSignature,
                               L"utils/Utils.Strings.cpp") +
         L"\n" + message + L"\n";
}

// The message part of the report Has throws for path (the part after the
// location block); empty when the path passes.
std::wstring Refusal(const std::wstring& path, bool ftp = false) {
  WcoutCapture out;
  try {
    Has(path, ftp);
  } catch (const std::wstring& report) {
    const std::size_t line = report.find(L"\r\nLine: ");
    const std::size_t body = report.find(L"\r\n\n", line);
    if (line == std::wstring::npos || body == std::wstring::npos) return L"<unparsed>" + report;
    return report.substr(body + 3);
  }
  return std::wstring();
}

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

std::wstring ColonMessage(const std::wstring& path, std::size_t at) {
  return L"Двоеточие \":\" не в начале пути:\n" + Quoted(path) +
         L".\nПозиции двоеточия: " + std::to_wstring(at) + L".\n";
}

std::wstring ForbiddenMessage(const std::wstring& path, wchar_t c, std::size_t at) {
  return L"Обнаружен запрещённый символ '" + std::wstring(1, c) + L"' в позиции " +
         std::to_wstring(at) + L" в пути:\n" + Quoted(path) + L".\n";
}

std::wstring ReservedMessage(const std::wstring& path, const std::wstring& name,
                             int number) {
  return L"Использовано зарезервированное в Windows имя \"" + name +
         L"\" с порядковым номером " + std::to_wstring(number) + L" в пути:\n" +
         Quoted(path) + L".\n";
}

std::wstring DotMessage(const std::wstring& path) {
  return L"Точка в конце пути:\n" + Quoted(path) + L"\n";
}
std::wstring BlankMessage(const std::wstring& path) {
  return L"Пробел в конце пути:\n" + Quoted(path) + L"\n";
}
std::wstring LengthMessage(const std::wstring& path) {
  return L"Боле 255 символов в пути:\n" + Quoted(path) + L"\n";
}

void ExpectPasses(const std::wstring& path, bool ftp = false) {
  WcoutCapture out;
  try {
    EXPECT_TRUE(Has(path, ftp)) << path;
  } catch (const std::wstring& report) {
    ADD_FAILURE() << "refused " << path << " (ftp " << ftp << "):\n" << report;
  }
  EXPECT_EQ(out.Text(), L"") << path;
}

TEST(PathHas, EmptyPathIsFalseWithoutAReport) {
  WcoutCapture out;
  EXPECT_FALSE(Has(L"", false));
  EXPECT_FALSE(Has(L"", true));
  EXPECT_EQ(out.Text(), L"");
}

TEST(PathHas, OrdinaryPathsPass) {
  ExpectPasses(L"C:\\Data\\file.txt");
  ExpectPasses(L"\\\\?\\C:\\Data");
  ExpectPasses(L"\\\\?\\C:\\x");  // its question mark stands before the colon
  ExpectPasses(L"C:\\Данные\\файл.txt");
  ExpectPasses(L"relative\\dir");
  ExpectPasses(L"a");
  ExpectPasses(L"C:\\");
  ExpectPasses(L"ftp://server/a/b", true);
  ExpectPasses(L"ftp://server/a/b", false);  // network-looking by its scheme
  ExpectPasses(L"Ftp://server/a", false);    // the scheme is compared upper-cased
  ExpectPasses(L"http://server/a");
  ExpectPasses(L"HTTPS://server/a");
}

TEST(PathHas, ReportIsThrownAndWrittenToStandardOutputWhole) {
  const std::wstring path = L"C:\\Data\\a*b";
  WcoutCapture out;
  const std::wstring report = Thrown([&] { Has(path, false); });
  const std::wstring expected = HasReport(
      L"Обнаружен запрещённый символ '*' в позиции 9 в пути:\n\"C:\\Data\\a*b\".");
  EXPECT_EQ(MaskLines(report), expected);
  EXPECT_EQ(out.Text(), report + L"\n");
}

TEST(PathHasColon, DrivePositionsAndSchemesOnly) {
  ExpectPasses(L"C:\\x");
  ExpectPasses(L"C:x");
  ExpectPasses(L"\\\\?\\C:\\x");
  ExpectPasses(L"ftp:x", true);
  ExpectPasses(L"ftp://x");
  ExpectPasses(L"http://x");
  ExpectPasses(L"https://x");

  EXPECT_EQ(Refusal(L"ab:c"), ColonMessage(L"ab:c", 2));
  EXPECT_EQ(Refusal(L":abc"), ColonMessage(L":abc", 0));
  // The last colon decides, also when an earlier one stands at the drive.
  EXPECT_EQ(Refusal(L"C:\\dir\\file:stream"), ColonMessage(L"C:\\dir\\file:stream", 11));
  // Index 5 belongs to the long prefix only.
  EXPECT_EQ(Refusal(L"abcde:\\x"), ColonMessage(L"abcde:\\x", 5));
  // A scheme position counts only after that scheme.
  EXPECT_EQ(Refusal(L"srv:/x", true), ColonMessage(L"srv:/x", 3));
  EXPECT_EQ(Refusal(L"ftpx:/x"), ColonMessage(L"ftpx:/x", 4));
  EXPECT_EQ(Refusal(L"httpx:/x"), ColonMessage(L"httpx:/x", 5));
  EXPECT_EQ(Refusal(L"ftp://host:21/x"), ColonMessage(L"ftp://host:21/x", 10));
  // A local path gets no scheme position.
  EXPECT_EQ(Refusal(L"abc:\\x"), ColonMessage(L"abc:\\x", 3));
}

TEST(PathHasForbidden, FirstForbiddenCharacterAfterTheLastColon) {
  EXPECT_EQ(Refusal(L"C:\\Data\\a*b"), ForbiddenMessage(L"C:\\Data\\a*b", L'*', 9));
  EXPECT_EQ(Refusal(L"C:\\Data\\a/b"), ForbiddenMessage(L"C:\\Data\\a/b", L'/', 9));
  ExpectPasses(L"C:\\Data\\a/b", true);
  EXPECT_EQ(Refusal(L"ftp://x/a*b"), ForbiddenMessage(L"ftp://x/a*b", L'*', 9));

  for (const wchar_t c : std::wstring(L"/*?\"<>|")) {
    const std::wstring path = std::wstring(L"C:\\a") + c + L"b";
    EXPECT_EQ(Refusal(path), ForbiddenMessage(path, c, 4)) << path;
  }
  for (const wchar_t c : std::wstring(L"*?\"<>|")) {
    const std::wstring path = std::wstring(L"srv/a") + c + L"b";
    EXPECT_EQ(Refusal(path, true), ForbiddenMessage(path, c, 5)) << path;
  }
  // Without a colon the scan starts at 0; the first hit is named.
  EXPECT_EQ(Refusal(L"?a*b"), ForbiddenMessage(L"?a*b", L'?', 0));
  EXPECT_EQ(Refusal(L"\\\\?\\UNC\\srv"), ForbiddenMessage(L"\\\\?\\UNC\\srv", L'?', 2));
  // After a colon at the drive the scan starts right behind it.
  EXPECT_EQ(Refusal(L"C:|"), ForbiddenMessage(L"C:|", L'|', 2));
  EXPECT_EQ(Refusal(L"\\\\?\\C:<"), ForbiddenMessage(L"\\\\?\\C:<", L'<', 6));
}

TEST(PathHasEnding, FullStopThenBlank) {
  EXPECT_EQ(Refusal(L"C:\\dir."), DotMessage(L"C:\\dir."));
  EXPECT_EQ(Refusal(L"C:\\dir\\.."), DotMessage(L"C:\\dir\\.."));
  EXPECT_EQ(Refusal(L"C:\\dir "), BlankMessage(L"C:\\dir "));
  EXPECT_EQ(Refusal(L"C:\\dir. "), BlankMessage(L"C:\\dir. "));
  EXPECT_EQ(Refusal(L"srv/dir.", true), DotMessage(L"srv/dir."));
  ExpectPasses(L"C:\\dir .x");
  ExpectPasses(L"C:\\.hidden");
}

TEST(PathHasLength, LimitOf255ForLocalPathsOnly) {
  const std::wstring base = L"C:\\";
  const std::wstring fits = base + std::wstring(255 - base.size(), L'x');
  const std::wstring over = fits + L"x";
  ASSERT_EQ(fits.size(), 255u);
  ExpectPasses(fits);
  EXPECT_EQ(Refusal(over), LengthMessage(over));

  ExpectPasses(over, true);
  const std::wstring longPrefixed = L"\\\\?\\C:\\" + std::wstring(249, L'x');
  ASSERT_EQ(longPrefixed.size(), 256u);
  ExpectPasses(longPrefixed);
  ExpectPasses(L"\\\\?\\C:\\" + std::wstring(600, L'y'));

  // Looking like a network address does not lift the limit; the flag does.
  const std::wstring network = L"ftp://" + std::wstring(250, L'n');
  ASSERT_EQ(network.size(), 256u);
  EXPECT_EQ(Refusal(network), LengthMessage(network));
  ExpectPasses(network, true);

  // Surrogate pairs count as two characters.
  const std::wstring pairs = base + std::wstring(126, L'x') + [] {
    std::wstring s;
    for (int i = 0; i < 63; ++i) s += L"\xD83D\xDE00";
    return s;
  }();
  ASSERT_EQ(pairs.size(), 255u);
  ExpectPasses(pairs);
  EXPECT_EQ(Refusal(pairs + L"z"), LengthMessage(pairs + L"z"));
}

TEST(PathHasReserved, ExactNamesWithTheirComponentNumber) {
  EXPECT_EQ(Refusal(L"con"), ReservedMessage(L"con", L"con", 1));
  EXPECT_EQ(Refusal(L"COM1\\x"), ReservedMessage(L"COM1\\x", L"COM1", 1));
  EXPECT_EQ(Refusal(L"C:\\Data\\con"), ReservedMessage(L"C:\\Data\\con", L"con", 3));
  EXPECT_EQ(Refusal(L"C:\\Data\\con\\"), ReservedMessage(L"C:\\Data\\con\\", L"con", 3));
  EXPECT_EQ(Refusal(L"C:\\nul\\prn"), ReservedMessage(L"C:\\nul\\prn", L"nul", 2));
  ExpectPasses(L"C:\\Data\\CON");
  ExpectPasses(L"C:\\Data\\Con");
  ExpectPasses(L"C:\\Data\\aux");
  ExpectPasses(L"C:\\Data\\con.txt");
  ExpectPasses(L"C:\\Data\\COM10");
  ExpectPasses(L"C:\\Data\\xcon");
  ExpectPasses(L"a");

  const wchar_t* names[] = {L"con",  L"nul",  L"prn",  L"AUX",  L"COM1", L"COM2",
                            L"COM3", L"COM4", L"COM5", L"COM6", L"COM7", L"COM8",
                            L"COM9", L"LPT1", L"LPT2", L"LPT3", L"LPT4", L"LPT5",
                            L"LPT6", L"LPT7", L"LPT8", L"LPT9"};
  for (const wchar_t* name : names) {
    const std::wstring path = std::wstring(L"D:\\") + name + L"\\file";
    EXPECT_EQ(Refusal(path), ReservedMessage(path, name, 2)) << path;
  }
}

TEST(PathHasReserved, FtpComponentsAreCutAtTheSlashOnly) {
  EXPECT_EQ(Refusal(L"srv/con/x", true), ReservedMessage(L"srv/con/x", L"con", 2));
  EXPECT_EQ(Refusal(L"srv/dir/AUX", true), ReservedMessage(L"srv/dir/AUX", L"AUX", 3));
  ExpectPasses(L"srv\\con\\x", true);
  // A path merely looking like FTP is still cut at the backslash.
  EXPECT_EQ(Refusal(L"ftp:\\con"), ReservedMessage(L"ftp:\\con", L"con", 2));
}

TEST(PathHasReserved, FirstComponentEndsNoEarlierThanIndexTwo) {
  // A separator at index 0 or 1 closes no component.
  ExpectPasses(L"\\con");
  ExpectPasses(L"\\\\con");
  EXPECT_EQ(Refusal(L"\\con\\nul"), ReservedMessage(L"\\con\\nul", L"nul", 2));
  // The search goes on two characters behind a separator, so the "//" of a
  // scheme makes no component of its own and a host name is never one.
  ExpectPasses(L"ftp://con/x", true);
  EXPECT_EQ(Refusal(L"ftp://srv/con", true), ReservedMessage(L"ftp://srv/con", L"con", 3));
}

TEST(PathHasOrder, FirstBrokenRuleIsReported) {
  // colon before forbidden character, before the ending, before the length
  EXPECT_EQ(Refusal(L"a*b:c."), ColonMessage(L"a*b:c.", 3));
  EXPECT_EQ(Refusal(L"C:\\a*b."), ForbiddenMessage(L"C:\\a*b.", L'*', 4));
  EXPECT_EQ(Refusal(L"C:\\con."), DotMessage(L"C:\\con."));
  EXPECT_EQ(Refusal(L"C:\\con "), BlankMessage(L"C:\\con "));

  const std::wstring longDot = L"C:\\" + std::wstring(300, L'x') + L".";
  EXPECT_EQ(Refusal(longDot), DotMessage(longDot));
  const std::wstring longReserved = L"C:\\con\\" + std::wstring(300, L'x');
  EXPECT_EQ(Refusal(longReserved), LengthMessage(longReserved));
  const std::wstring longForbidden = L"C:\\" + std::wstring(300, L'x') + L"?";
  EXPECT_EQ(Refusal(longForbidden), ForbiddenMessage(longForbidden, L'?', 303));
}

}  // namespace
