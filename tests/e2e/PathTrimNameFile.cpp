// PathTrimNameFileA/W as the terminal calls them: the caller's own buffer is
// cut in place and handed back; a path that cannot be cut gives one box, null
// and an untouched buffer.
#include "Host.h"

#include <algorithm>

namespace {

using PathTrimNameFileA = char*(__cdecl*)(char*);
using PathTrimNameFileW = wchar_t*(__cdecl*)(wchar_t*);

const wchar_t kTitleA[] = L"Ошибка в функции \"char *__cdecl PathTrimNameFileA(char *)\"!";
const wchar_t kTitleW[] = L"Ошибка в функции \"wchar_t *__cdecl PathTrimNameFileW(wchar_t *)\"!";

// The host's buffer: the text, its terminator, and guard characters behind
// them that the library must never write.
constexpr std::size_t kGuards = 16;
template <class C> std::vector<C> HostBuffer(const std::basic_string<C>& text) {
  std::vector<C> buffer(text.begin(), text.end());
  buffer.push_back(C(0));
  buffer.insert(buffer.end(), kGuards, C(0x55));
  return buffer;
}
template <class C> bool GuardsIntact(const std::vector<C>& buffer) {
  return std::all_of(buffer.end() - kGuards, buffer.end(), [](C c) { return c == C(0x55); });
}

// Both forms cut the path to the same text in the caller's buffer, return
// that buffer and show nothing.
void ExpectCut(const std::wstring& path, const std::wstring& expected) {
  std::vector<wchar_t> wide = HostBuffer(path);
  std::vector<char> narrow = HostBuffer(Host::Ansi(path));
  Host::BoxWatcher boxes;
  EXPECT_EQ(Host::Export<PathTrimNameFileW>("PathTrimNameFileW")(wide.data()), wide.data()) << path;
  EXPECT_EQ(Host::Export<PathTrimNameFileA>("PathTrimNameFileA")(narrow.data()), narrow.data()) << path;
  Host::ExpectNoBox(boxes);
  EXPECT_EQ(std::wstring(wide.data()), expected) << path;
  EXPECT_EQ(Host::Wide(narrow.data()), expected) << path;
  EXPECT_TRUE(GuardsIntact(wide) && GuardsIntact(narrow)) << path;
}

TEST(PathTrimNameFile, CutsTheLastNameInPlace) {
  ExpectCut(L"C:\\dir\\file.txt", L"C:\\dir\\");
  ExpectCut(L"C:\\dir\\sub\\", L"C:\\dir\\");
  ExpectCut(L"file.txt", L"file.txt");
  ExpectCut(L"abc\\", L"abc\\");
  // "C:\Папка\файл.txt": the A form cuts the code page 1251 bytes.
  ExpectCut(L"C:\\\u041F\u0430\u043F\u043A\u0430\\\u0444\u0430\u0439\u043B.txt",
            L"C:\\\u041F\u0430\u043F\u043A\u0430\\");
}

// One box titled with the export and saying the path is missing, null
// returned, and the buffer exactly as it was (a null buffer: just the box).
template <class C, class Trim>
void ExpectRefused(const char* name, const std::basic_string<C>* path, const wchar_t* title) {
  std::vector<C> buffer = path ? HostBuffer(*path) : std::vector<C>();
  const std::vector<C> before = buffer;
  Host::BoxWatcher boxes;
  EXPECT_EQ(Host::Export<Trim>(name)(path ? buffer.data() : nullptr), nullptr);
  const Host::Box box = Host::ExpectOneBox(boxes);
  EXPECT_EQ(box.FirstLine(), title);
  if (path) {
    EXPECT_NE(box.text.find(L"\nОтсутствует путь.\n"), std::wstring::npos) << box.text;
  }
  EXPECT_EQ(buffer, before);
}

TEST(PathTrimNameFile, NoPathGivesOneBoxNullAndAnUntouchedBuffer) {
  for (const std::wstring wide : {L"", L"\\"}) {
    const std::string narrow = Host::Ansi(wide);
    ExpectRefused<wchar_t, PathTrimNameFileW>("PathTrimNameFileW", &wide, kTitleW);
    ExpectRefused<char, PathTrimNameFileA>("PathTrimNameFileA", &narrow, kTitleA);
  }
  ExpectRefused<wchar_t, PathTrimNameFileW>("PathTrimNameFileW", nullptr, kTitleW);
  ExpectRefused<char, PathTrimNameFileA>("PathTrimNameFileA", nullptr, kTitleA);
}

}  // namespace
