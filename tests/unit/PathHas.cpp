// Path validation: which paths pass, which rule refuses the others first, and
// the exact report that is thrown and written to the standard wide output.
#include "ReportTesting.h"
#include "utils/text/Utils.Strings.h"

namespace {

// The rules in the order Has applies them.
enum Rule { kPasses, kColon, kForbidden, kDot, kBlank, kLength, kReserved };
// `at` is the colon's or forbidden character's index, or the reserved name's component number.
struct Case {
  std::wstring path;
  bool ftp = false;
  Rule rule = kPasses;
  std::size_t at = 0;
  std::wstring name = L"";
};

// The whole report Has throws for a refused case.
std::wstring Report(const Case& c) {
  const std::wstring quoted = L"\"" + c.path + L"\"", at = std::to_wstring(c.at);
  const std::wstring messages[] = {
      L"",
      L"Двоеточие \":\" не в начале пути:\n" + quoted + L".\nПозиции двоеточия: " + at + L".",
      L"Обнаружен запрещённый символ '" + c.path.substr(c.at, 1) + L"' в позиции " + at + L" в пути:\n" +
          quoted + L".",
      L"Точка в конце пути:\n" + quoted,
      L"Пробел в конце пути:\n" + quoted,
      L"Боле 255 символов в пути:\n" + quoted,
      L"Использовано зарезервированное в Windows имя \"" + c.name + L"\" с порядковым номером " + at +
          L" в пути:\n" + quoted + L"."};
  return ReportTesting::Header(
             L"Ошибка в методе \"",
             L"bool __cdecl Utils::String::Path::Has(const class std::basic_"
             L"string<wchar_t,struct std::char_traits<wchar_t>,class std::allocator<wchar_t> > &,const bool)",
             L"utils/text/Utils.Strings.Rules.cpp") +
         L"\n" + messages[c.rule] + L"\n";
}

TEST(PathHas, PassesOrReportsTheFirstBrokenRule) {
  const auto xs = [](std::size_t n) { return std::wstring(n, L'x'); };
  std::wstring smileys;  // surrogate pairs count as two characters
  for (int i = 0; i < 63; ++i) smileys += L"\xD83D\xDE00";
  std::vector<Case> cases = {
      {L"C:\\Данные\\файл.txt"}, {L"a"}, {L"C:\\dir .x"}, {L"C:\\.hidden"},
      // Colon: at 1, at 5 behind the long prefix, or ending a scheme, which
      // is compared upper-cased and also makes the path network-looking.
      {L"C:x"}, {L"\\\\?\\C:\\Data"}, {L"ftp:x", true}, {L"ftp://server/a/b"}, {L"Ftp://server/a"},
      {L"http://server/a"}, {L"HTTPS://server/a"}, {L"ab:c", false, kColon, 2}, {L":abc", false, kColon, 0},
      {L"C:\\dir\\file:stream", false, kColon, 11}, {L"abcde:\\x", false, kColon, 5},
      {L"srv:/x", true, kColon, 3}, {L"ftpx:/x", false, kColon, 4}, {L"httpx:/x", false, kColon, 5},
      {L"ftp://host:21/x", false, kColon, 10},
      // Forbidden characters count behind the last colon; '/' only locally.
      {L"C:\\Data\\a/b", true}, {L"C:\\Data\\a/b", false, kForbidden, 9}, {L"?a*b", false, kForbidden, 0},
      {L"\\\\?\\UNC\\srv", false, kForbidden, 2}, {L"\\\\?\\C:<", false, kForbidden, 6},
      {L"C:\\dir.", false, kDot}, {L"srv/dir.", true, kDot}, {L"C:\\dir ", false, kBlank},
      // At most 255 characters, unless behind the long prefix or with the
      // flag; looking like a network address does not lift the limit.
      {L"C:\\" + xs(252)}, {L"C:\\" + xs(253), false, kLength}, {L"C:\\" + xs(253), true},
      {L"\\\\?\\C:\\" + xs(249)}, {L"ftp://" + xs(250), false, kLength}, {L"C:\\" + xs(126) + smileys},
      {L"C:\\" + xs(126) + smileys + L"z", false, kLength},
      // Reserved names match exactly, case included, and are numbered by
      // component; the flag cuts components at '/' only, and a separator at
      // index 0 or 1 (or the "//" of a scheme) closes none.
      {L"con", false, kReserved, 1, L"con"}, {L"C:\\Data\\con\\", false, kReserved, 3, L"con"},
      {L"C:\\nul\\prn", false, kReserved, 2, L"nul"}, {L"C:\\Data\\CON"}, {L"C:\\Data\\con.txt"},
      {L"C:\\Data\\COM10"}, {L"srv/con/x", true, kReserved, 2, L"con"}, {L"srv\\con\\x", true},
      {L"ftp:\\con", false, kReserved, 2, L"con"}, {L"\\con"}, {L"\\\\con"},
      {L"\\con\\nul", false, kReserved, 2, L"nul"}, {L"ftp://con/x", true},
      {L"ftp://srv/con", true, kReserved, 3, L"con"},
      // Order: colon, forbidden character, ending, length, reserved name.
      {L"a*b:c.", false, kColon, 3}, {L"C:\\a*b.", false, kForbidden, 4},
      {L"C:\\" + xs(300) + L"?", false, kForbidden, 303}, {L"C:\\" + xs(300) + L".", false, kDot},
      {L"C:\\con ", false, kBlank}, {L"C:\\con\\" + xs(300), false, kLength}};
  for (const wchar_t c : std::wstring(L"/*?\"<>|")) {
    cases.push_back({std::wstring(L"C:\\a") + c + L"b", false, kForbidden, 4});
    if (c != L'/') cases.push_back({std::wstring(L"srv/a") + c + L"b", true, kForbidden, 5});
  }
  for (const std::wstring name : {L"nul", L"prn", L"AUX", L"COM1", L"COM9", L"LPT1", L"LPT9"})
    cases.push_back({L"D:\\" + name + L"\\file", false, kReserved, 2, name});

  cases.insert(cases.end(), {Case{L""}, Case{L"", true}});  // no path, not a broken rule: false, quietly
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path + (c.ftp ? L" (ftp)" : L""));
    ReportTesting::WcoutCapture out;
    try {
      EXPECT_TRUE(Utils::String::Path::Has(c.path, c.ftp) == !c.path.empty() && c.rule == kPasses &&
                  out.Text().empty());
    } catch (const Utils::Error::Failure& failure) {
      EXPECT_EQ(ReportTesting::MaskLines(failure.Text()), Report(c));
      EXPECT_EQ(out.Text(), failure.Text() + L"\n");
    }
  }
}

}  // namespace
