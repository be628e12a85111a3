// The exports that ask and the one that cuts, through the A and the W forms:
// PathIsEmpty and PathCheck answer 1 or 0 without a box; PathTrimNameFile
// cuts the host's own buffer in place or leaves it alone with one box.
#include <algorithm>

#include "Robust.h"

namespace {

using Host::As;

template <class C> class Questions : public Host::Scratch {
 protected:
  // "Каталог" reaches the A forms as its code page 1251 bytes.
  const std::wstring kCyrillic = L"\u041A\u0430\u0442\u0430\u043B\u043E\u0433";
  const Host::Forms<C>& Api() const { return Host::ApiOf<C>(); }
};

using Widths = ::testing::Types<char, wchar_t>;
TYPED_TEST_SUITE(Questions, Widths);

TYPED_TEST(Questions, EmptyAndDirectoryAnswerForWhatIsThereWithoutABox) {
  const std::wstring empty = this->MakeDir(this->kCyrillic), file = this->MakeFile(L"file.txt");
  this->MakeFile(L"with-file\\a.txt", "x");
  this->MakeDir(L"with-dir\\sub");
  const struct {
    std::wstring path;
    int isEmpty, check;
  } rows[] = {{empty, 1, 1},
              {empty + L"\\", 1, 1},
              {this->Path(L"with-file"), 0, 1},
              {this->Path(L"with-dir"), 0, 1},
              {file, 0, 0},
              {this->Path(L"missing"), 0, 0}};
  Host::BoxWatcher boxes;
  for (const auto& row : rows) {
    const auto path = As<TypeParam>(row.path);
    EXPECT_EQ(this->Api().isEmpty(path.c_str()), row.isEmpty) << row.path;
    EXPECT_EQ(this->Api().check(path.c_str()), row.check) << row.path;
  }
  Host::ExpectNoBox(boxes);
}

// The host's buffer: the text, its terminator, and guards behind them.
template <class C> std::vector<C> HostBuffer(const std::basic_string<C>& text) {
  std::vector<C> buffer(text.begin(), text.end());
  buffer.push_back(C(0));
  buffer.insert(buffer.end(), 16, C(0x55));
  return buffer;
}

TYPED_TEST(Questions, TrimCutsTheHostsBufferInPlaceOrLeavesItWithOneBox) {
  using C = TypeParam;
  const std::wstring folder = L"C:\\\u041F\u0430\u043F\u043A\u0430\\";  // "Папка"
  const struct {
    std::wstring path, cut;
  } cuts[] = {{L"C:\\dir\\file.txt", L"C:\\dir\\"}, {L"C:\\dir\\sub\\", L"C:\\dir\\"},
              {L"file.txt", L"file.txt"},           {L"abc\\", L"abc\\"},
              {folder + L"\u0444.txt", folder},     {L"", L""},
              {L"\\", L"\\"}};
  for (const auto& row : cuts) {
    std::vector<C> buffer = HostBuffer(As<C>(row.path));
    const std::vector<C> before = buffer;
    const bool refused = row.path.empty() || row.path == L"\\";
    Host::BoxWatcher boxes;
    EXPECT_EQ(this->Api().trimName(buffer.data()), refused ? nullptr : buffer.data()) << row.path;
    if (refused) {
      const Host::Box box = Host::ExpectOneBox(boxes);
      EXPECT_EQ(box.FirstLine(), sizeof(C) == 1
                                     ? L"Ошибка в функции \"char *__cdecl PathTrimNameFileA(char *)\"!"
                                     : L"Ошибка в функции \"wchar_t *__cdecl PathTrimNameFileW(wchar_t *)\"!");
      EXPECT_NE(box.text.find(L"\nОтсутствует путь.\n"), std::wstring::npos) << box.text;
      EXPECT_EQ(buffer, before) << "a refused cut changed the buffer";
      continue;
    }
    Host::ExpectNoBox(boxes);
    EXPECT_EQ(Robust::WideOf(std::basic_string<C>(buffer.data())), row.cut) << row.path;
    // One terminator written at most, nothing behind it.
    const std::size_t end = std::basic_string<C>(buffer.data()).size();
    buffer[end] = before[end];
    EXPECT_EQ(buffer, before) << row.path;
  }
}

}  // namespace
