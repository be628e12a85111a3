// PathIsEmptyA/W as the terminal calls them: 1 only for an existing directory
// with nothing in it; 0 for everything else, silently; a box for a null
// argument.
#include "Host.h"

namespace {

using PathIsEmptyA = int(__cdecl*)(const char*);
using PathIsEmptyW = int(__cdecl*)(const wchar_t*);

class PathIsEmpty : public Host::Scratch {
 protected:
  // Both forms must answer the same for every path, without a box: the A
  // form is the W form behind a conversion from the ANSI code page.
  void Expect(const std::wstring& path, int expected) {
    Host::BoxWatcher boxes;
    EXPECT_EQ(Host::Export<PathIsEmptyW>("PathIsEmptyW")(path.c_str()), expected) << path;
    EXPECT_EQ(Host::Export<PathIsEmptyA>("PathIsEmptyA")(Host::Ansi(path).c_str()), expected) << path;
    Host::ExpectNoBox(boxes);
  }
};

TEST_F(PathIsEmpty, OneOnlyForAnExistingEmptyDirectory) {
  Expect(MakeDir(L"empty"), 1);
  MakeFile(L"with-file\\a.txt", "x");
  Expect(Path(L"with-file"), 0);
  MakeDir(L"with-dir\\sub");
  Expect(Path(L"with-dir"), 0);
  Expect(MakeFile(L"file.txt"), 0);
  Expect(Path(L"missing"), 0);
}

TEST_F(PathIsEmpty, CyrillicNameThroughTheCodePage) {
  // "Каталог" reaches the A form as its code page 1251 bytes.
  const std::wstring name = L"\u041A\u0430\u0442\u0430\u043B\u043E\u0433";
  ASSERT_EQ(Host::Ansi(name), "\xCA\xE0\xF2\xE0\xEB\xEE\xE3");
  Expect(MakeDir(name), 1);
}

TEST(PathIsEmptyNull, RaisesOneBoxTitledWithTheExportAndReturnsZero) {
  const auto isEmptyW = Host::Export<PathIsEmptyW>("PathIsEmptyW");
  const auto isEmptyA = Host::Export<PathIsEmptyA>("PathIsEmptyA");
  Host::BoxWatcher boxesW;
  EXPECT_EQ(isEmptyW(nullptr), 0);
  EXPECT_EQ(Host::ExpectOneBox(boxesW).FirstLine(),
            L"Ошибка в функции \"int __cdecl PathIsEmptyW(const wchar_t *)\"!");
  Host::BoxWatcher boxesA;
  EXPECT_EQ(isEmptyA(nullptr), 0);
  EXPECT_EQ(Host::ExpectOneBox(boxesA).FirstLine(),
            L"Ошибка в функции \"int __cdecl PathIsEmptyA(const char *)\"!");
}

}  // namespace
