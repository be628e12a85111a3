// The walk of a tree on real trees built per test: the recursive listing's
// order, paths, limits and link rules, and what every operation that
// changes a tree makes of a listing cut short or of a file that vanishes
// while the walk looks at it (the system's answers given through the
// file unit's seam).
#include <shlobj.h>

#include <algorithm>
#include <cwchar>
#include <filesystem>
#include <functional>
#include <set>

#include "Jail.h"
#include "ReportTesting.h"
#include "utils/files/Utils.File.Calls.h"
#include "utils/files/Utils.File.Tree.h"
#include "utils/files/Utils.File.h"
#include "utils/contract/Utils.FilesFind.h"
#include "utils/runtime/Utils.Handle.h"

namespace {

using ReportTesting::Thrown;

class Tree : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr)) << GetLastError(); }
  // rm never follows a link; Wine's RemoveDirectoryW on a link would empty its target.
  void TearDown() override { Jail::RunUnix({L"rm", L"-rf", L"--", Jail::UnixPath(root_)}, 60000); }

  std::wstring Path(const std::wstring& relative) const { return root_ + L"\\" + relative; }

  // Runs a shell script in the root. Unix tools know no 260-character cap
  // and no reserved names, and make the links that Wine's own calls cannot.
  void Build(const std::wstring& script) {
    ASSERT_EQ(Jail::RunScript(root_, script), 0) << script;
  }

  std::vector<std::wstring> Below(const std::wstring& pattern, bool fullPath) {
    Utils::FindDataList list;
    const unsigned long long count = Utils::FilesFind().GetListFull(pattern, list, fullPath, 0);
    EXPECT_EQ(count, list.size());
    std::vector<std::wstring> paths;
    for (const WIN32_FIND_DATAW& record : list) paths.push_back(record.cFileName);
    return paths;
  }

  const std::wstring root_ =
      std::filesystem::temp_directory_path() / (L"sf-find-" + std::to_wstring(GetCurrentProcessId()));
};

// Depth first: a directory's files, then those below it, one level to a
// name here so that the system's order within a level cannot matter.
TEST_F(Tree, GetListFullGivesFullOrRelativePathsDepthFirst) {
  Build(L"mkdir -p Data/Sub/Deep && touch Data/Sub/b.txt Data/Sub/Deep/c.txt");
  const std::vector<std::wstring> relative = {L"Sub\\b.txt", L"Sub\\Deep\\c.txt"};
  EXPECT_EQ(Below(Path(L"Data\\*"), false), relative);
  EXPECT_EQ(Below(Path(L"Data\\*"), true), (std::vector<std::wstring>{Path(L"Data\\Sub\\b.txt"),
                                                                       Path(L"Data\\Sub\\Deep\\c.txt")}));
  EXPECT_EQ(Below(Path(L"Data"), false), (std::vector<std::wstring>{L"Data\\Sub\\b.txt", L"Data\\Sub\\Deep\\c.txt"}))
      << "without a wildcard paths start at the directory";
  EXPECT_EQ(Below(Path(L"Data\\Sub\\b.txt"), true), std::vector<std::wstring>{Path(L"Data\\Sub\\b.txt")});
  Utils::FindDataList list;
  ReportTesting::WcoutCapture out;  // a missing directory adds nothing and says nothing
  EXPECT_TRUE(Utils::FilesFind().GetListFull(Path(L"missing\\*"), list, true, 0) == 0 && list.empty() && out.Text().empty());
}

// A file path of 259 characters fits the record, one of 260 is reported; so
// is a subdirectory whose pattern (path, separator, "*") would pass 259.
TEST_F(Tree, PathsUpTo259CharactersFitTheRecord) {
  const std::wstring base = Path(L""), name(259 - base.size() - 5, L'f');  // 5: "Fits\"
  Build(L"mkdir Fits Over Deep && touch Fits/" + name + L" Over/" + name + L"f && mkdir Deep/" +
        name.substr(1));
  EXPECT_EQ(Below(Path(L"Fits\\*"), true), std::vector<std::wstring>{base + L"Fits\\" + name});
  const auto refusal = [&](const wchar_t* directory) {
    return Thrown([&] { Below(Path(directory) + L"\\*", true); });
  };
  EXPECT_NE(refusal(L"Over").find(
                L"\nСлишком длинный путь у файла:\r\n\"" + base + L"Over\\" + name +
                L"f\"\r\nДлина пути составляет 260 символов.Длина пути не может превышать 260 символов.\n"),
            std::wstring::npos);
  EXPECT_NE(refusal(L"Deep").find(L"\nСлишком длинный путь у каталога:\r\n\"" + base + L"Deep\\" +
                                  name.substr(1) + L"\"\r\nДлина пути составляет 260 символов."),
            std::wstring::npos);
}

// Directory links are followed, but for one named like its directory and
// one leading back into the walk; a level that cannot be listed ("con" is a
// reserved name) is written out and skipped.
TEST_F(Tree, LinksAreFollowedUnlessSelfNamedOrLeadingBackAndUnlistableLevelsSkipped) {
  Build(
      L"mkdir -p Data/Sub Data/Target Data/con && touch Data/Sub/s.txt Data/Target/t.txt Data/con/hidden.txt "
      L"&& "
      L"ln -s ../Target Data/Sub/Sub && ln -s ../Target Data/Sub/Other && ln -s .. Data/Sub/Back");
  ReportTesting::WcoutCapture out;
  const std::vector<std::wstring> paths = Below(Path(L"Data\\*"), false);
  EXPECT_EQ(std::multiset<std::wstring>(paths.begin(), paths.end()),
            (std::multiset<std::wstring>{L"Sub\\s.txt", L"Sub\\Other\\t.txt", L"Target\\t.txt"}));
  EXPECT_NE(out.Text().find(L"зарезервированное в Windows имя \"con\""), std::wstring::npos) << out.Text();
}

// What the listings below answer: a level's search of a pattern holding
// `cut` ends with that error once it has given one entry, one of those in
// `refuse` gets no search, with that error; at the end of a level holding
// the file `vanish`, another process deletes that file, and just before a
// search of the folder `drop` it deletes that folder (and its a.txt); every
// file named big.bin is listed 4 GiB larger than it is, in the levels whose
// pattern holds `larger`.
struct Listings {
  std::wstring cut;
  std::vector<std::wstring> refuse;
  DWORD error = ERROR_ACCESS_DENIED;
  std::wstring vanish, drop, larger;
  std::set<HANDLE> cutting, vanishing, enlarging;
} listings;

void Enlarge(HANDLE search, LPVOID found) {
  auto* const record = static_cast<WIN32_FIND_DATAW*>(found);
  if (listings.enlarging.count(search) != 0 && std::wcscmp(record->cFileName, L"big.bin") == 0)
    record->nFileSizeHigh += 1;
}

HANDLE WINAPI FakeFirst(LPCWSTR pattern, FINDEX_INFO_LEVELS level, LPVOID record, FINDEX_SEARCH_OPS search,
                        LPVOID filter, DWORD flags) {
  const std::wstring asked = pattern;
  if (std::find(listings.refuse.begin(), listings.refuse.end(), asked) != listings.refuse.end()) {
    SetLastError(listings.error);
    return INVALID_HANDLE_VALUE;
  }
  if (!listings.drop.empty() && asked == listings.drop + L"\\*") {
    DeleteFileW((listings.drop + L"\\a.txt").c_str());
    RemoveDirectoryW(listings.drop.c_str());
  }
  const HANDLE handle = FindFirstFileExW(pattern, level, record, search, filter, flags);
  listings.enlarging.erase(handle);
  if (asked.find(listings.larger) != std::wstring::npos) listings.enlarging.insert(handle);
  if (handle != INVALID_HANDLE_VALUE) Enlarge(handle, record);
  listings.cutting.erase(handle);  // a closed search's handle, given out again
  listings.vanishing.erase(handle);
  const std::wstring searched = pattern;
  if (!listings.cut.empty() && searched.find(listings.cut) != std::wstring::npos) listings.cutting.insert(handle);
  const std::size_t folder = listings.vanish.rfind(L'\\') + 1;  // the level holding it, and a "*"
  if (!listings.vanish.empty() && searched.size() == folder + 1 && searched.back() == L'*' &&
      searched.compare(0, folder, listings.vanish, 0, folder) == 0)
    listings.vanishing.insert(handle);
  return handle;
}

BOOL WINAPI FakeNext(HANDLE search, LPWIN32_FIND_DATAW record) {
  if (listings.cutting.count(search) != 0 && std::wcscmp(record->cFileName, L"..") != 0 &&
      std::wcscmp(record->cFileName, L".") != 0) {
    SetLastError(listings.error);
    return FALSE;
  }
  if (FindNextFileW(search, record)) {
    Enlarge(search, record);
    return TRUE;
  }
  const DWORD end = GetLastError();
  if (listings.vanishing.count(search) != 0) DeleteFileW(listings.vanish.c_str());
  SetLastError(end);
  return FALSE;
}

class Walk : public Tree {
 protected:
  void SetUp() override {
    Tree::SetUp();
    listings = Listings();
  }
  Utils::ScopedCalls calls_{
      Utils::FileSystemCalls{&SHFileOperationW, &SHCreateDirectoryExW, &CreateSymbolicLinkW, &FakeFirst, &FakeNext}};
  const Utils::Error::Site site_ = SF_SITE("Walk", Utils::Error::kMethod);
};

// A level that ends in any other error than "no more files" may hold
// anything after the cut: every operation that changes a tree refuses it
// before it touches anything, naming the level and the system's error;
// the listing writes it out and counts it.
TEST_F(Walk, OnlyNoMoreFilesEndsALevelAndAnyOtherEndStopsEveryChange) {
  Build(L"mkdir -p Data/Sub && touch Data/a.txt Data/Sub/b.txt Data/Sub/c.txt Data/Sub/d.txt");
  listings.cut = L"Sub";
  const std::wstring cutShort = L"Last Error: 5.";
  const std::wstring pattern = Path(L"Data\\Sub\\*");
  for (const std::function<void()>& change : std::vector<std::function<void()>>{
           [&] { Utils::MainFile::DeleteOperation(Path(L"Data")); },
           [&] { Utils::Path::ClearContents(Path(L"Data")); },
           [&] { Utils::Path::ClearFromFiles(Path(L"Data")); },
           [&] { Utils::MainFile::FileOperation(Path(L"Data"), Path(L"Moved"), FO_MOVE); }}) {
    const std::wstring report = Thrown(change);
    EXPECT_NE(report.find(Utils::CutShortMessage(pattern)), std::wstring::npos) << report;
    EXPECT_NE(report.find(cutShort), std::wstring::npos) << report;
  }
  EXPECT_TRUE(std::filesystem::exists(Path(L"Data\\Sub\\d.txt")) && std::filesystem::exists(Path(L"Data\\a.txt")));
  ReportTesting::WcoutCapture out;
  unsigned long long unlisted = 0;
  Utils::FindDataList list;
  Utils::FilesFind().GetListFull(Path(L"Data\\*"), list, false, 0, &unlisted);
  EXPECT_EQ(unlisted, 1u);
  EXPECT_NE(out.Text().find(Utils::CutShortMessage(pattern)), std::wstring::npos) << out.Text();
}

// A file another process deletes while the walk looks at the tree is gone,
// not a link: a delete does without it, a move is refused for it.
TEST_F(Walk, AFileThatVanishesWhileTheWalkLooksIsGoneNotALink) {
  if (!Utils::ListsFileLinksAsFiles()) GTEST_SKIP() << "files are opened only where listings hide file links";
  Build(L"mkdir -p Data/Sub && touch Data/a.txt Data/Sub/b.txt Data/Sub/c.txt");
  listings.vanish = Path(L"Data\\Sub\\b.txt");
  const Utils::Tree::Survey survey = Utils::Tree::Take(site_, Path(L"Data"), Utils::Tree::Plan::Delete());
  std::multiset<Utils::Tree::Kind> kinds;
  for (const Utils::Tree::Entry& entry : survey.entries) kinds.insert(entry.kind);
  EXPECT_EQ(kinds, (std::multiset<Utils::Tree::Kind>{Utils::Tree::Kind::kDirectory, Utils::Tree::Kind::kFile,
                                                       Utils::Tree::Kind::kDirectory, Utils::Tree::Kind::kGone,
                                                       Utils::Tree::Kind::kFile}));
  Build(L"touch Data/Sub/b.txt");
  EXPECT_TRUE(Utils::MainFile::DeleteOperation(Path(L"Data")));
  Build(L"mkdir -p Data/Sub && touch Data/a.txt Data/Sub/b.txt");
  EXPECT_NE(Thrown([&] { Utils::MainFile::FileOperation(Path(L"Data"), Path(L"Moved"), FO_MOVE); })
                .find(L"исчез"),
            std::wstring::npos);
  EXPECT_TRUE(std::filesystem::exists(Path(L"Data\\a.txt")));
}

// A level the system will not list while its folder is there is refused by
// every change, naming the level and the system's error; a folder that is
// gone when its level is listed has vanished: a delete does without it, a
// copy is refused for it.
TEST_F(Walk, AnUnlistableLevelIsToldFromOneThatVanished) {
  ReportTesting::WcoutCapture out;
  Build(L"mkdir -p Data/A Data/B && touch Data/c.txt Data/A/a.txt Data/B/b.txt");
  listings.refuse = {Path(L"Data\\A\\*")};
  listings.error = ERROR_PATH_NOT_FOUND;
  for (const std::function<void()>& change : std::vector<std::function<void()>>{
           [&] { Utils::MainFile::DeleteOperation(Path(L"Data")); },
           [&] { Utils::MainFile::FileOperation(Path(L"Data"), Path(L"Copy"), FO_COPY); }}) {
    const std::wstring report = Thrown(change);
    EXPECT_NE(report.find(Utils::NoHandleMessage(Path(L"Data\\A\\*"))), std::wstring::npos) << report;
    EXPECT_NE(report.find(L"Last Error: 3."), std::wstring::npos) << report;
  }
  EXPECT_TRUE(std::filesystem::exists(Path(L"Data\\c.txt")));
  listings = Listings();
  listings.drop = Path(L"Data\\A");
  EXPECT_NE(Thrown([&] { Utils::MainFile::FileOperation(Path(L"Data"), Path(L"Copy"), FO_COPY); }).find(L"исчез"),
            std::wstring::npos);
  Build(L"mkdir -p Data/A && touch Data/A/a.txt");
  EXPECT_TRUE(Utils::MainFile::DeleteOperation(Path(L"Data")));
  EXPECT_FALSE(std::filesystem::exists(Path(L"Data")));
  EXPECT_EQ(out.Text(), L"");
}

// Clearing files goes on past the levels it cannot list: the first is the
// reason, the others a count, and every file it can reach goes.
TEST_F(Walk, ClearingFilesCountsTheLevelsItCannotListAndClearsTheRest) {
  Build(L"mkdir -p Data/A Data/B Data/C && touch Data/c.txt Data/A/a.txt Data/B/b.txt Data/C/c.txt");
  listings.refuse = {Path(L"Data\\A\\*"), Path(L"Data\\B\\*")};
  ReportTesting::WcoutCapture out;
  const Utils::Error::Outcome cleared = Utils::Path::ClearFromFiles(Path(L"Data"));
  EXPECT_FALSE(cleared);
  EXPECT_NE(cleared.Text().find(L"\nLast Error: 5."), std::wstring::npos) << cleared.Text();
  EXPECT_NE(cleared.Text().find(L"Других отказов в этом вызове: 1.\n"), std::wstring::npos) << cleared.Text();
  EXPECT_FALSE(std::filesystem::exists(Path(L"Data\\c.txt")) || std::filesystem::exists(Path(L"Data\\C\\c.txt")));
  EXPECT_TRUE(std::filesystem::exists(Path(L"Data\\A\\a.txt")) && std::filesystem::exists(Path(L"Data\\B\\b.txt")));
}

// A size has two halves: a file past 4 GiB arrives as one, and one that
// arrives with another size, its time kept, has not arrived.
TEST_F(Walk, SizesPast4GiBAreComparedWhole) {
  WIN32_FIND_DATAW record{};
  record.nFileSizeHigh = 1;
  record.nFileSizeLow = 5;
  EXPECT_EQ(Utils::SizeOf(record), (1ull << 32) + 5);
  Build(L"mkdir Data && echo big > Data/big.bin");
  EXPECT_TRUE(Utils::MainFile::FileOperation(Path(L"Data"), Path(L"Copy"), FO_COPY));
  listings.larger = L"Other";
  const Utils::Error::Outcome other = Utils::MainFile::FileOperation(Path(L"Data"), Path(L"Other"), FO_COPY);
  EXPECT_NE(other.Text().find(L"не такой, как источник:\n\"" + Path(L"Other\\big.bin")), std::wstring::npos)
      << other.Text();
}

}  // namespace
