// PathIsEmptyA/W as the terminal calls them: 1 only for an existing directory
// with nothing in it; 0 for everything else, silently; a box for a null
// argument.
#include "Host.h"

namespace {

using Host::BoxWatcher;
using Host::Export;

using PathIsEmptyA = int(__cdecl*)(const char*);
using PathIsEmptyW = int(__cdecl*)(const wchar_t*);

// Both forms must agree on every path: the A form is the W form behind a
// conversion from the ANSI code page.
class PathIsEmpty : public Host::Scratch {
 protected:
  void Expect(const std::wstring& path, int expected) {
    const auto isEmptyW = Export<PathIsEmptyW>("PathIsEmptyW");
    const auto isEmptyA = Export<PathIsEmptyA>("PathIsEmptyA");
    {
      BoxWatcher boxes;
      EXPECT_EQ(isEmptyW(path.c_str()), expected) << "PathIsEmptyW(" << path << ")";
      Host::ExpectNoBox(boxes);
    }
    {
      BoxWatcher boxes;
      EXPECT_EQ(isEmptyA(Host::Ansi(path).c_str()), expected)
          << "PathIsEmptyA(" << path << ")";
      Host::ExpectNoBox(boxes);
    }
  }
};

TEST_F(PathIsEmpty, OneOnlyForAnExistingEmptyDirectory) {
  Expect(MakeDir(L"empty"), 1);

  MakeFile(L"with-file\\a.txt", "x");
  Expect(Path(L"with-file"), 0);

  MakeDir(L"with-dir\\sub");
  Expect(Path(L"with-dir"), 0);
  Expect(Path(L"with-dir\\sub"), 1);

  // A file is not an empty directory, even an empty file.
  Expect(MakeFile(L"file.txt"), 0);
  Expect(MakeFile(L"zero-length"), 0);

  Expect(Path(L"missing"), 0);
  Expect(Path(L"missing\\deeper"), 0);
}

TEST_F(PathIsEmpty, HiddenAndSystemEntriesCount) {
  const std::wstring hidden = MakeFile(L"hidden-file\\h.txt");
  ASSERT_TRUE(SetFileAttributesW(hidden.c_str(),
                                 FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  Expect(Path(L"hidden-file"), 0);
}

TEST_F(PathIsEmpty, CyrillicNamesThroughBothForms) {
  // "Каталог": passed to the A form as CP1251 bytes.
  const std::wstring name = L"\u041A\u0430\u0442\u0430\u043B\u043E\u0433";
  ASSERT_EQ(Host::Ansi(name), "\xCA\xE0\xF2\xE0\xEB\xEE\xE3");
  const std::wstring dir = MakeDir(name);
  Expect(dir, 1);

  MakeFile(name + L"\\\u0444\u0430\u0439\u043B.txt", "x");  // "файл.txt"
  Expect(dir, 0);
}

TEST(PathIsEmptyNull, RaisesOneBoxAndReturnsZero) {
  const auto isEmptyW = Export<PathIsEmptyW>("PathIsEmptyW");
  const auto isEmptyA = Export<PathIsEmptyA>("PathIsEmptyA");
  {
    BoxWatcher boxes;
    EXPECT_EQ(isEmptyW(nullptr), 0);
    EXPECT_EQ(Host::ExpectOneBox(boxes).FirstLine(),
              L"Ошибка в функции \"int __cdecl PathIsEmptyW(const wchar_t *)\"!");
  }
  {
    BoxWatcher boxes;
    EXPECT_EQ(isEmptyA(nullptr), 0);
    EXPECT_EQ(Host::ExpectOneBox(boxes).FirstLine(),
              L"Ошибка в функции \"int __cdecl PathIsEmptyA(const char *)\"!");
  }
}

}  // namespace
