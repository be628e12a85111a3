// File search on real trees built per test: status codes, the bad-filter
// report, and the recursive listing with its limits and link guards.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <vector>

#include "Jail.h"
#include "ReportTesting.h"
#include "utils/Utils.FilesFind.h"

namespace {

using ReportTesting::Thrown;
using ReportTesting::WcoutCapture;
using Utils::FilesFind;
using Utils::FindDataList;

// The lowest free handle value: a handle left open by the code under test
// takes it, so the value moves.
HANDLE NextHandleValue() {
  const HANDLE probe = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  CloseHandle(probe);
  return probe;
}

class Tree : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    root_ = std::wstring(temp, GetTempPathW(MAX_PATH + 1, temp)) + L"sf-find-" +
            std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr)) << GetLastError();
  }

  // rm never follows a link; Wine's RemoveDirectoryW on a link would empty
  // its target.
  void TearDown() override {
    EXPECT_TRUE(Shell(L"cd .. && rm -rf '" + root_.substr(root_.rfind(L'\\') + 1) + L"'",
                      [&] { return GetFileAttributesW(root_.c_str()) == INVALID_FILE_ATTRIBUTES; }));
  }

  std::wstring Path(const std::wstring& relative) const { return root_ + L"\\" + relative; }

  // Runs a shell script with the root as its working directory. Wine hands
  // back no handle to wait on, so the caller's condition tells when it is done.
  template <class Done> bool Shell(const std::wstring& script, Done&& done) {
    std::wstring line = L"sh -c \"" + script + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(Jail::kShell, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        root_.c_str(), &startup, &process))
      return false;
    for (int i = 0; i < 1000 && !done(); ++i) Sleep(10);
    return done();
  }

  // Trees are made by shell: Unix tools know no 260-character cap and no
  // reserved names, and make the links that Wine's own calls cannot (shown as
  // directories with attributes 0x410).
  void Build(const std::wstring& script) {
    const std::wstring built = Path(L"built");
    ASSERT_TRUE(Shell(script + L" && touch built", [&] {
      return GetFileAttributesW(built.c_str()) != INVALID_FILE_ATTRIBUTES;
    }));
    DeleteFileW(built.c_str());
  }

  std::vector<std::wstring> Below(const std::wstring& pattern, bool fullPath) {
    FindDataList list;
    const unsigned long long count = FilesFind().GetListFull(pattern, list, fullPath, 0);
    EXPECT_EQ(count, list.size());
    std::vector<std::wstring> paths;
    for (const WIN32_FIND_DATAW& record : list) paths.push_back(record.cFileName);
    return paths;
  }

  std::wstring root_;
};

TEST_F(Tree, StatusAndBadFilterReport) {
  Build(L"mkdir Data && touch Data/a.txt");
  EXPECT_EQ(Utils::StatusOf(Path(L"Data")), FilesFind::kDirectory);
  EXPECT_EQ(Utils::StatusOf(Path(L"Data\\")), FilesFind::kDirectory);
  EXPECT_EQ(Utils::StatusOf(Path(L"Data\\a.txt")), FilesFind::kOther);
  for (const wchar_t* nothing : {L"Data\\missing", L"missing\\deeper\\", L"Data\\*.doc"})
    EXPECT_EQ(Utils::StatusOf(Path(nothing)), FilesFind::kNothing) << nothing;
  EXPECT_EQ(Utils::StatusOf(L""), FilesFind::kNothing);

  FindDataList list;
  const HANDLE before = NextHandleValue();
  const std::wstring report = Thrown([&] { Utils::ListOf(Path(L"Data\\*"), 4, list); });
  EXPECT_EQ(NextHandleValue(), before) << "the search handle was left open";
  EXPECT_NE(report.find(L"\nНеверно выбран параметр поиска каталогов и/или файлов "
                        L"\"wSearch\".\n"),
            std::wstring::npos)
      << report;
  EXPECT_EQ(report.find(L"Last Error"), std::wstring::npos) << report;
}

// An FTP search validates with slashes as separators and asks WinINet; with
// no connection WinINet gives no handle.
TEST(FtpSearch, ValidatesAsFtpAndReportsTheMissingHandle) {
  FilesFind find;
  find.UseFtp(nullptr, 0, 0);
  EXPECT_EQ(find.Status(L"/pub/data"), FilesFind::kNothing);
  FindDataList list;
  WcoutCapture out;
  const std::wstring missing = Thrown([&] { find.GetList(L"/pub/data/*", 3, list); });
  EXPECT_NE(missing.find(L"Не получен системный дескриптор поиска для пути:\n\"/pub/data/*\""),
            std::wstring::npos)
      << missing;
  const std::wstring refused = Thrown([&] { find.GetList(L"/pub/a|b/*", 3, list); });
  EXPECT_NE(refused.find(L"запрещённый символ '|' в позиции 6"), std::wstring::npos) << refused;
}

TEST_F(Tree, GetListFullGivesFullOrRelativePathsDepthFirst) {
  Build(L"mkdir -p Data/Sub/Deep Data/Void && "
        L"touch Data/a.txt Data/z.txt Data/Sub/b.txt Data/Sub/y.txt Data/Sub/Deep/c.txt");
  // Expected: every level in the system's own order, subdirectories expanded
  // where they stand.
  std::vector<std::wstring> expected, full, relative;
  auto expand = [&](auto& self, const std::wstring& at) -> void {
    WIN32_FIND_DATAW record;
    const HANDLE search = FindFirstFileW((Path(at) + L"\\*").c_str(), &record);
    do {
      const std::wstring name = record.cFileName, child = at + L"\\" + name;
      if (!(record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        expected.push_back(child);
        full.push_back(Path(child));
        relative.push_back(child.substr(5));
      } else if (name != L"." && name != L"..") {
        self(self, child);
      }
    } while (FindNextFileW(search, &record));
    FindClose(search);
  };
  expand(expand, L"Data");
  ASSERT_EQ(expected.size(), 5u);
  EXPECT_EQ(Below(Path(L"Data\\*"), true), full);
  EXPECT_EQ(Below(Path(L"Data\\*"), false), relative);
  // Without a wildcard the directory itself is entered: paths start at it.
  EXPECT_EQ(Below(Path(L"Data"), false), expected);
  EXPECT_EQ(Below(Path(L"Data\\Sub\\b.txt"), true),
            std::vector<std::wstring>{Path(L"Data\\Sub\\b.txt")});

  // Records already in the list stay and are counted; a missing directory
  // adds nothing and says nothing.
  FindDataList list(2);
  EXPECT_EQ(Utils::ListFilesBelow(Path(L"Data\\Sub\\Deep\\*"), list), 3u);
  EXPECT_EQ(std::wstring(list[2].cFileName), Path(L"Data\\Sub\\Deep\\c.txt"));
  WcoutCapture out;
  EXPECT_EQ(Utils::ListFilesBelow(Path(L"missing\\*"), list), 3u);
  EXPECT_TRUE(out.Text().empty());
}

TEST_F(Tree, UnlistableSubdirectoryIsWrittenOutAndSkipped) {
  // "con" is a reserved name: its level is refused.
  Build(L"mkdir -p Data/con Data/Next && touch Data/a.txt Data/con/hidden.txt Data/Next/b.txt");
  WcoutCapture out;
  const std::vector<std::wstring> paths = Below(Path(L"Data\\*"), false);
  EXPECT_EQ(std::set<std::wstring>(paths.begin(), paths.end()),
            (std::set<std::wstring>{L"a.txt", L"Next\\b.txt"}));
  EXPECT_NE(out.Text().find(L"зарезервированное в Windows имя \"con\""), std::wstring::npos)
      << out.Text();
}

// A file path of 259 characters fits the record, one of 260 is reported; so
// is a subdirectory whose pattern (path, separator, "*") would pass 259.
TEST_F(Tree, PathsUpTo259CharactersFitTheRecord) {
  const std::wstring base = Path(L"");  // ends with the separator
  const std::wstring name(259 - base.size() - 5, L'f');  // 5: "Fits\"
  ASSERT_LT(name.size(), 254u);
  Build(L"mkdir Fits Over Deep && touch Fits/" + name + L" Over/" + name + L"f && mkdir Deep/" +
        name.substr(1));
  EXPECT_EQ(Below(Path(L"Fits\\*"), true), std::vector<std::wstring>{base + L"Fits\\" + name});
  const auto refusal = [&](const wchar_t* directory) {
    return Thrown([&] { Below(Path(directory) + L"\\*", true); });
  };
  EXPECT_NE(refusal(L"Over").find(L"\nСлишком длинный путь у файла:\r\n\"" + base + L"Over\\" + name +
                                  L"f\"\r\nДлина пути составляет 260 символов.Длина пути не "
                                  L"может превышать 260 символов.\n"),
            std::wstring::npos);
  EXPECT_NE(refusal(L"Deep").find(L"\nСлишком длинный путь у каталога:\r\n\"" + base + L"Deep\\" +
                                  name.substr(1) + L"\"\r\nДлина пути составляет 260 символов."),
            std::wstring::npos);
}

TEST_F(Tree, LinksAreFollowedUnlessSelfNamedOrLeadingBack) {
  Build(L"mkdir -p Data/Sub Data/Target && touch Data/Sub/s.txt Data/Target/t.txt && "
        L"ln -s ../Target Data/Sub/Sub && "    // named like its directory
        L"ln -s ../Target Data/Sub/Other && "  // an ordinary link
        L"ln -s .. Data/Sub/Back");            // into the walk's own top
  const std::vector<std::wstring> paths = Below(Path(L"Data\\*"), false);
  EXPECT_EQ(std::multiset<std::wstring>(paths.begin(), paths.end()),
            (std::multiset<std::wstring>{L"Sub\\s.txt", L"Sub\\Other\\t.txt", L"Target\\t.txt"}));
}

}  // namespace
