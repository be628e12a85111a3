// File search on real trees built per test: status codes, one-level
// listings and their filter, the recursive listing with its paths, length
// limits and link guard, and the reports on the way.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <string>
#include <vector>

#include "ReportTesting.h"
#include "utils/Utils.FilesFind.h"

namespace {

using ReportTesting::Thrown;
using ReportTesting::WcoutCapture;
using Utils::FilesFind;
using Utils::FindDataList;

// Long paths are made through the \\?\ form, which has no 260-character cap.
std::wstring Long(const std::wstring& path) { return L"\\\\?\\" + path; }

std::wstring UnixPathOf(const std::wstring& path) {
  using ToUnix = char*(CDECL*)(LPCWSTR);
  static const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (toUnix == nullptr) return std::wstring();
  char* text = toUnix(path.c_str());
  if (text == nullptr) return std::wstring();
  std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), static_cast<int>(wide.size()));
  HeapFree(GetProcessHeap(), 0, text);
  wide.pop_back();
  return wide;
}

// Runs a Unix program under Wine. Wine hands back no handle to wait on, so
// the caller's condition tells when it is done.
template <class Done> bool RunUnix(const wchar_t* program, std::wstring line, Done&& done) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return false;
  for (int i = 0; i < 1000 && !done(); ++i) Sleep(10);
  return done();
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(Long(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::set<std::wstring> Names(const FindDataList& list) {
  std::set<std::wstring> names;
  for (const WIN32_FIND_DATAW& record : list) names.insert(record.cFileName);
  return names;
}

// Names in the system's order of the directory, "." and ".." left out.
std::vector<std::wstring> SystemOrder(const std::wstring& directory) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW record;
  const HANDLE search = FindFirstFileW((directory + L"\\*").c_str(), &record);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = record.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(search, &record));
  FindClose(search);
  return names;
}

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
    std::wstring base(temp, GetTempPathW(MAX_PATH + 1, temp));
    root_ = base + L"sf-find-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
    ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr)) << GetLastError();
  }

  // rm never follows a link; Wine's RemoveDirectoryW on a link would empty
  // its target.
  void TearDown() override {
    const std::wstring unix = UnixPathOf(root_);
    ASSERT_FALSE(unix.empty());
    EXPECT_TRUE(RunUnix(L"Z:\\bin\\rm", L"rm -rf \"" + unix + L"\"",
                        [&] { return !Exists(root_); }));
  }

  std::wstring Path(const std::wstring& relative) const { return root_ + L"\\" + relative; }

  std::wstring MakeDir(const std::wstring& relative) {
    for (std::size_t at = relative.find(L'\\'); at != std::wstring::npos;
         at = relative.find(L'\\', at + 1))
      CreateDirectoryW(Long(Path(relative.substr(0, at))).c_str(), nullptr);
    EXPECT_TRUE(CreateDirectoryW(Long(Path(relative)).c_str(), nullptr)) << relative;
    return Path(relative);
  }

  std::wstring MakeFile(const std::wstring& relative) {
    const std::size_t slash = relative.rfind(L'\\');
    if (slash != std::wstring::npos && !Exists(Path(relative.substr(0, slash))))
      MakeDir(relative.substr(0, slash));
    const HANDLE file = CreateFileW(Long(Path(relative)).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << relative;
    CloseHandle(file);
    return Path(relative);
  }

  // A directory link as Wine shows a Unix symlink: attributes 0x410.
  void MakeLink(const std::wstring& relative, const std::wstring& targetRelative) {
    const std::wstring link = Path(relative);
    ASSERT_TRUE(RunUnix(L"Z:\\bin\\ln",
                        L"ln -s \"" + UnixPathOf(Path(targetRelative)) + L"\" \"" +
                            UnixPathOf(link) + L"\"",
                        [&] { return Exists(link); }));
    ASSERT_EQ(GetFileAttributesW(link.c_str()),
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
  }

  std::vector<std::wstring> Below(const std::wstring& pattern, bool fullPath) {
    FindDataList list;
    FilesFind find;
    const unsigned long long count = find.GetListFull(pattern, list, fullPath, 0);
    EXPECT_EQ(count, list.size());
    std::vector<std::wstring> paths;
    for (const WIN32_FIND_DATAW& record : list) paths.push_back(record.cFileName);
    return paths;
  }

  std::wstring root_;
};

TEST_F(Tree, StatusTellsDirectoriesFromEverythingElse) {
  MakeFile(L"Data\\a.txt");
  EXPECT_EQ(Utils::StatusOf(Path(L"Data")), FilesFind::kDirectory);
  EXPECT_EQ(Utils::StatusOf(Path(L"Data\\")), FilesFind::kDirectory);
  EXPECT_EQ(Utils::StatusOf(Path(L"Data\\a.txt")), FilesFind::kOther);
  EXPECT_EQ(Utils::StatusOf(Path(L"Data\\missing")), FilesFind::kNothing);
  EXPECT_EQ(Utils::StatusOf(Path(L"missing\\deeper\\")), FilesFind::kNothing);
  EXPECT_EQ(Utils::StatusOf(Path(L"Data\\*.doc")), FilesFind::kNothing);
  EXPECT_EQ(Utils::StatusOf(L""), FilesFind::kNothing);
}

TEST_F(Tree, GetListFiltersAndNeverListsDotEntries) {
  MakeFile(L"Data\\a.txt");
  MakeFile(L"Data\\b.txt");
  MakeDir(L"Data\\Sub");
  MakeDir(L"Empty");
  FindDataList list(3);  // emptied first
  EXPECT_EQ(Utils::ListOf(Path(L"Data\\*"), FilesFind::kAll, list), 3u);
  EXPECT_EQ(Names(list), (std::set<std::wstring>{L"a.txt", L"b.txt", L"Sub"}));
  EXPECT_EQ(Utils::ListOf(Path(L"Data\\*"), FilesFind::kFiles, list), 2u);
  EXPECT_EQ(Names(list), (std::set<std::wstring>{L"a.txt", L"b.txt"}));
  EXPECT_EQ(Utils::ListOf(Path(L"Data\\*"), FilesFind::kDirectories, list), 1u);
  EXPECT_EQ(Names(list), std::set<std::wstring>{L"Sub"});
  EXPECT_EQ(Utils::ListOf(Path(L"Empty\\*"), FilesFind::kAll, list), 0u);
  // Without a wildcard the directory's own record is what matches.
  EXPECT_EQ(Utils::ListOf(Path(L"Data"), FilesFind::kAll, list), 1u);
  EXPECT_EQ(Names(list), std::set<std::wstring>{L"Data"});
  // The filter value is only looked at for a real entry.
  EXPECT_EQ(Utils::ListOf(Path(L"Empty\\*"), 7, list), 0u);
}

TEST_F(Tree, GetListReportsQuoteTheCallersPattern) {
  const std::wstring pattern = Path(L"missing\\*");
  FindDataList list;
  const std::wstring report = Thrown([&] { Utils::ListOf(pattern, FilesFind::kAll, list); });
  EXPECT_NE(report.find(L"\nНе получен системный дескриптор поиска для пути:\n\"" + pattern +
                        L"\"\n"),
            std::wstring::npos)
      << report;
  EXPECT_NE(report.find(L"Last Error: 3."), std::wstring::npos) << report;

  WcoutCapture out;
  const std::wstring refused =
      Thrown([&] { Utils::ListOf(Path(L"bad|dir\\*"), FilesFind::kAll, list); });
  EXPECT_NE(refused.find(L"Обнаружен запрещённый символ '|'"), std::wstring::npos) << refused;
  EXPECT_NE(out.Text().find(refused), std::wstring::npos);
}

TEST_F(Tree, BadFilterReportClosesTheSearch) {
  MakeFile(L"Data\\a.txt");
  FindDataList list;
  const HANDLE before = NextHandleValue();
  const std::wstring report = Thrown([&] { Utils::ListOf(Path(L"Data\\*"), 4, list); });
  EXPECT_EQ(NextHandleValue(), before) << "the search handle was left open";
  EXPECT_NE(report.find(L"Utils::FilesFind::GetList("), std::wstring::npos) << report;
  EXPECT_NE(report.find(L"\nНеверно выбран параметр поиска каталогов и/или файлов "
                        L"\"wSearch\".\n"),
            std::wstring::npos)
      << report;
  EXPECT_EQ(report.find(L"Last Error"), std::wstring::npos) << report;
}

TEST_F(Tree, FtpMethodSearchesTheConnectionOnly) {
  MakeDir(L"Data");
  FilesFind find;
  find.UseFtp(nullptr, 0, 0);
  EXPECT_EQ(find.Status(Path(L"Data")), FilesFind::kNothing);
  FindDataList list;
  const std::wstring report = Thrown([&] { find.GetList(L"/pub/*", FilesFind::kAll, list); });
  EXPECT_NE(report.find(L"для пути:\n\"/pub/*\""), std::wstring::npos) << report;
}

TEST_F(Tree, GetListFullGivesFullOrRelativePathsDepthFirst) {
  for (const wchar_t* file : {L"Data\\a.txt", L"Data\\Sub\\b.txt", L"Data\\Sub\\Deep\\c.txt",
                              L"Data\\z.txt", L"Data\\Sub\\y.txt"})
    MakeFile(file);
  MakeDir(L"Data\\Void");
  // Expected: every level in the system's own order, subdirectories expanded
  // where they stand.
  std::vector<std::wstring> expected;
  auto expand = [&](auto& self, const std::wstring& relative) -> void {
    for (const std::wstring& name : SystemOrder(Path(relative))) {
      const std::wstring child = relative + L"\\" + name;
      if (GetFileAttributesW(Path(child).c_str()) & FILE_ATTRIBUTE_DIRECTORY)
        self(self, child);
      else
        expected.push_back(child);
    }
  };
  expand(expand, L"Data");
  ASSERT_EQ(expected.size(), 5u);

  std::vector<std::wstring> full;
  for (const std::wstring& relative : expected) full.push_back(Path(relative));
  EXPECT_EQ(Below(Path(L"Data\\*"), true), full);
  std::vector<std::wstring> relative;
  for (const std::wstring& path : expected) relative.push_back(path.substr(5));
  EXPECT_EQ(Below(Path(L"Data\\*"), false), relative);
  // Without a wildcard the directory itself is entered: paths start at it.
  EXPECT_EQ(Below(Path(L"Data"), false), expected);
  EXPECT_EQ(Below(Path(L"Data\\Sub\\b.txt"), true),
            std::vector<std::wstring>{Path(L"Data\\Sub\\b.txt")});

  // Records already in the list stay and are counted.
  FindDataList list(2);
  EXPECT_EQ(Utils::ListFilesBelow(Path(L"Data\\Sub\\Deep\\*"), list), 3u);
  EXPECT_EQ(std::wstring(list[2].cFileName), Path(L"Data\\Sub\\Deep\\c.txt"));
  WcoutCapture out;
  EXPECT_EQ(Utils::ListFilesBelow(Path(L"missing\\*"), list), 3u);
  EXPECT_TRUE(out.Text().empty());
}

TEST_F(Tree, UnlistableSubdirectoryIsWrittenOutAndSkipped) {
  MakeFile(L"Data\\a.txt");
  MakeFile(L"Data\\con\\hidden.txt");  // a reserved name: its level is refused
  MakeFile(L"Data\\Next\\b.txt");
  WcoutCapture out;
  const std::vector<std::wstring> paths = Below(Path(L"Data\\*"), false);
  EXPECT_EQ(std::set<std::wstring>(paths.begin(), paths.end()),
            (std::set<std::wstring>{L"a.txt", L"Next\\b.txt"}));
  EXPECT_NE(out.Text().find(L"зарезервированное в Windows имя \"con\""), std::wstring::npos)
      << out.Text();
}

TEST_F(Tree, PathsUpTo259CharactersFitTheRecord) {
  const std::wstring base = Path(L"");  // ends with the separator
  const std::size_t room = 259 - base.size();
  ASSERT_LT(room, 255u);
  const std::wstring fits(room, L'f');
  MakeFile(L"Fits\\" + fits.substr(5));
  EXPECT_EQ(Below(Path(L"Fits\\*"), true), std::vector<std::wstring>{base + L"Fits\\" + fits.substr(5)});

  MakeFile(L"Over\\" + fits.substr(4));
  const std::wstring over = base + L"Over\\" + fits.substr(4);
  ASSERT_EQ(over.size(), 260u);
  const std::wstring fileReport = Thrown([&] { Below(Path(L"Over\\*"), true); });
  EXPECT_NE(fileReport.find(L"\nСлишком длинный путь у файла:\r\n\"" + over +
                            L"\"\r\nДлина пути составляет 260 символов.Длина пути не "
                            L"может превышать 260 символов.\n"),
            std::wstring::npos)
      << fileReport;

  // A subdirectory whose pattern (path, separator, "*") would pass 259.
  MakeDir(L"Deep\\" + fits.substr(6));
  const std::wstring deep = base + L"Deep\\" + fits.substr(6);
  ASSERT_EQ(deep.size(), 258u);
  const std::wstring directoryReport = Thrown([&] { Below(Path(L"Deep\\*"), true); });
  EXPECT_NE(directoryReport.find(L"\nСлишком длинный путь у каталога:\r\n\"" + deep +
                                 L"\"\r\nДлина пути составляет 260 символов."),
            std::wstring::npos)
      << directoryReport;
}

TEST_F(Tree, LinksAreFollowedUnlessSelfNamedOrLeadingBack) {
  MakeFile(L"Data\\Sub\\s.txt");
  MakeFile(L"Data\\Target\\t.txt");
  MakeLink(L"Data\\Sub\\Sub", L"Data\\Target");    // named like its directory
  MakeLink(L"Data\\Sub\\Other", L"Data\\Target");  // an ordinary link
  MakeLink(L"Data\\Sub\\Back", L"Data");             // into the walk's own top
  const std::vector<std::wstring> paths = Below(Path(L"Data\\*"), false);
  EXPECT_EQ(std::multiset<std::wstring>(paths.begin(), paths.end()),
            (std::multiset<std::wstring>{L"Sub\\s.txt", L"Sub\\Other\\t.txt",
                                         L"Target\\t.txt"}));
}

}  // namespace
