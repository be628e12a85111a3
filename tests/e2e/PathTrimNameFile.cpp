// PathTrimNameFileA/W as the terminal calls them: the caller's own buffer is
// cut in place and handed back; a path that cannot be cut gives one box, null
// and an untouched buffer.
#include "Host.h"

namespace {

using Host::BoxWatcher;
using Host::Export;

using PathTrimNameFileA = char*(__cdecl*)(char*);
using PathTrimNameFileW = wchar_t*(__cdecl*)(wchar_t*);

const wchar_t kTitleA[] = L"Ошибка в функции \"char *__cdecl PathTrimNameFileA(char *)\"!";
const wchar_t kTitleW[] =
    L"Ошибка в функции \"wchar_t *__cdecl PathTrimNameFileW(wchar_t *)\"!";

// The host's buffer: the text, its terminator and guard characters behind it
// that the library must never write.
template <class C> class HostBuffer {
 public:
  explicit HostBuffer(const std::basic_string<C>& text) : chars_(text.begin(), text.end()) {
    chars_.push_back(C(0));
    chars_.insert(chars_.end(), kGuards, C(0x55));
  }
  C* data() { return chars_.data(); }
  std::basic_string<C> Text() const { return chars_.data(); }
  const std::vector<C>& Chars() const { return chars_; }
  bool GuardsIntact() const {
    for (std::size_t i = chars_.size() - kGuards; i < chars_.size(); ++i)
      if (chars_[i] != C(0x55)) return false;
    return true;
  }

 private:
  static constexpr std::size_t kGuards = 16;
  std::vector<C> chars_;
};

// Both forms cut the same path to the same text, return the caller's own
// pointer and show nothing.
void ExpectCut(const std::wstring& path, const std::wstring& expected) {
  const auto trimW = Export<PathTrimNameFileW>("PathTrimNameFileW");
  const auto trimA = Export<PathTrimNameFileA>("PathTrimNameFileA");
  {
    HostBuffer<wchar_t> buffer(path);
    BoxWatcher boxes;
    EXPECT_EQ(trimW(buffer.data()), buffer.data()) << path;
    Host::ExpectNoBox(boxes);
    EXPECT_EQ(buffer.Text(), expected) << path;
    EXPECT_TRUE(buffer.GuardsIntact()) << path;
  }
  {
    HostBuffer<char> buffer(Host::Ansi(path));
    BoxWatcher boxes;
    EXPECT_EQ(trimA(buffer.data()), buffer.data()) << path;
    Host::ExpectNoBox(boxes);
    EXPECT_EQ(Host::Wide(buffer.Text()), expected) << path;
    EXPECT_TRUE(buffer.GuardsIntact()) << path;
  }
}

TEST(PathTrimNameFile, CutsTheLastNameInPlace) {
  ExpectCut(L"C:\\dir\\file.txt", L"C:\\dir\\");
  ExpectCut(L"C:\\dir\\sub\\", L"C:\\dir\\");
  ExpectCut(L"file.txt", L"file.txt");
  ExpectCut(L"abc\\", L"abc\\");
  ExpectCut(L"C:\\", L"C:\\");
  ExpectCut(L"\\\\server\\share\\file", L"\\\\server\\share\\");
  // "C:\Папка\файл.txt": the A form cuts the code page 1251 bytes.
  ExpectCut(L"C:\\\u041F\u0430\u043F\u043A\u0430\\\u0444\u0430\u0439\u043B.txt",
            L"C:\\\u041F\u0430\u043F\u043A\u0430\\");
}

TEST(PathTrimNameFile, TheCutCanBeRepeated) {
  const auto trimW = Export<PathTrimNameFileW>("PathTrimNameFileW");
  HostBuffer<wchar_t> buffer(L"C:\\a\\b\\c.txt");
  BoxWatcher boxes;
  trimW(buffer.data());
  trimW(buffer.data());
  EXPECT_EQ(trimW(buffer.data()), buffer.data());
  Host::ExpectNoBox(boxes);
  EXPECT_EQ(buffer.Text(), L"C:\\");
}

// One box naming the export and the missing path, null returned, and the
// buffer exactly as it was.
template <class C, class Fn>
void ExpectRefused(Fn trim, const std::basic_string<C>& path, const wchar_t* title,
                   const wchar_t* cut) {
  HostBuffer<C> buffer(path);
  const std::vector<C> before = buffer.Chars();
  BoxWatcher boxes;
  EXPECT_EQ(trim(buffer.data()), nullptr);
  const Host::Box box = Host::ExpectOneBox(boxes);
  EXPECT_EQ(box.FirstLine(), title);
  EXPECT_NE(box.text.find(L"\r\nFile: \"Sedgefold\"\r\nLine: "), std::wstring::npos);
  // The cut's own report follows whole, after the export's location.
  EXPECT_NE(box.text.find(std::wstring(L"\nОшибка в методе \"") + cut), std::wstring::npos)
      << box.text;
  EXPECT_NE(box.text.find(L"\nОтсутствует путь.\n"), std::wstring::npos) << box.text;
  EXPECT_EQ(buffer.Chars(), before);
}

TEST(PathTrimNameFile, NoPathGivesOneBoxNullAndAnUntouchedBuffer) {
  const auto trimW = Export<PathTrimNameFileW>("PathTrimNameFileW");
  const auto trimA = Export<PathTrimNameFileA>("PathTrimNameFileA");
  const wchar_t cutW[] = L"wchar_t *__cdecl Utils::String::Path::TrimNameFileW(";
  const wchar_t cutA[] = L"char *__cdecl Utils::String::Path::TrimNameFileA(";
  ExpectRefused<wchar_t>(trimW, L"", kTitleW, cutW);
  ExpectRefused<char>(trimA, "", kTitleA, cutA);
  ExpectRefused<wchar_t>(trimW, L"\\", kTitleW, cutW);
  ExpectRefused<char>(trimA, "\\", kTitleA, cutA);
}

TEST(PathTrimNameFile, NullBufferGivesOneBoxAndNull) {
  const auto trimW = Export<PathTrimNameFileW>("PathTrimNameFileW");
  const auto trimA = Export<PathTrimNameFileA>("PathTrimNameFileA");
  {
    BoxWatcher boxes;
    EXPECT_EQ(trimW(nullptr), nullptr);
    EXPECT_EQ(Host::ExpectOneBox(boxes).FirstLine(), kTitleW);
  }
  {
    BoxWatcher boxes;
    EXPECT_EQ(trimA(nullptr), nullptr);
    EXPECT_EQ(Host::ExpectOneBox(boxes).FirstLine(), kTitleA);
  }
}

}  // namespace
