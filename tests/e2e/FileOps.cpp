// The exports that change the file system, through their A and W forms, on
// trees the tests build: what they do, and above all what they must leave
// alone (siblings, parents, link targets, the current directory, drive roots).
#include "Host.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Host::BoxWatcher;
using Host::Export;

enum class Form { kA, kW };

void PrintTo(const Form form, std::ostream* out) { *out << (form == Form::kA ? "A" : "W"); }

// What a tree holds: every entry below it by relative path, directories as
// "<dir>", files with their content. Links are listed, never entered.
using Snapshot = std::map<std::wstring, std::string>;

std::string Content(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "<unreadable>";
}

Snapshot SnapshotOf(const std::wstring& directory) {
  Snapshot snapshot;
  WIN32_FIND_DATAW record;
  const HANDLE search = FindFirstFileW((directory + L"\\*").c_str(), &record);
  if (search == INVALID_HANDLE_VALUE) return snapshot;
  do {
    const std::wstring name = record.cFileName, path = directory + L"\\" + name;
    if (name == L"." || name == L"..") continue;
    if (record.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      snapshot[name] = "<link>";
    } else if (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      snapshot[name] = "<dir>";
      for (const auto& [below, what] : SnapshotOf(path)) snapshot[name + L"\\" + below] = what;
    } else {
      snapshot[name] = Content(path);
    }
  } while (FindNextFileW(search, &record));
  FindClose(search);
  return snapshot;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A file opened the way a program that is writing it holds it: others may
// read and write, nobody may delete.
using HeldFile = std::unique_ptr<void, decltype(&CloseHandle)>;
HeldFile Hold(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  0, nullptr);
  EXPECT_NE(file, INVALID_HANDLE_VALUE) << "cannot hold " << path;
  return HeldFile(file == INVALID_HANDLE_VALUE ? nullptr : file, &CloseHandle);
}

// The process's current directory, put back however the test ends.
struct CurrentDirectory {
  explicit CurrentDirectory(const std::wstring& path) {
    GetCurrentDirectoryW(MAX_PATH, previous);
    EXPECT_TRUE(SetCurrentDirectoryW(path.c_str()));
  }
  ~CurrentDirectory() { SetCurrentDirectoryW(previous); }
  wchar_t previous[MAX_PATH] = {};
};

// A drive letter whose root is a scratch directory, so that refusing a drive
// root can be tested with no real drive at stake: under Wine a link in the
// prefix's dosdevices directory, on Windows a substituted drive.
class ScratchDrive {
 public:
  explicit ScratchDrive(const std::wstring& directory) {
    const DWORD used = GetLogicalDrives();
    for (wchar_t letter = L'W'; letter >= L'P' && root_.empty(); --letter)
      if (!(used & (1u << (letter - L'A')))) Map(letter, directory);
  }
  ~ScratchDrive() {
    if (!device_.empty())
      Host::RunUnix({L"rm", L"-f", L"--", device_});
    else if (!root_.empty())
      DefineDosDeviceW(DDD_REMOVE_DEFINITION, root_.substr(0, 2).c_str(), nullptr);
  }
  ScratchDrive(const ScratchDrive&) = delete;
  ScratchDrive& operator=(const ScratchDrive&) = delete;
  const std::wstring& Root() const { return root_; }  // "Q:\"; empty: no drive made

 private:
  void Map(const wchar_t letter, const std::wstring& directory) {
    const std::wstring drive = std::wstring(1, letter) + L":";
    if (Host::RunningOnWine()) {
      std::wstring c = Host::UnixPath(L"C:\\");
      while (!c.empty() && c.back() == L'/') c.pop_back();
      if (c.size() < 3 || c.compare(c.size() - 3, 3, L"/c:") != 0) return;
      device_ = c.substr(0, c.size() - 2) + static_cast<wchar_t>(letter - L'A' + L'a') + L":";
      // -T: a letter another test process took meanwhile makes ln fail
      // instead of planting the link inside that process's drive.
      if (Host::RunUnix({L"ln", L"-s", L"-T", L"--", Host::UnixPath(directory), device_}) != 0) {
        device_.clear();
        return;
      }
    } else if (!DefineDosDeviceW(0, drive.c_str(), directory.c_str())) {
      return;
    }
    root_ = drive + L"\\";
  }

  std::wstring root_, device_;
};

// Every test runs once through the A forms and once through the W forms.
class FileOps : public Host::Scratch, public ::testing::WithParamInterface<Form> {
 protected:
  std::string Name(const char* base) const {
    return std::string(base) + (GetParam() == Form::kA ? "A" : "W");
  }

  template <class... Paths> int Raw(const char* base, const Paths&... paths) const {
    const std::string name = Name(base);
    if (GetParam() == Form::kW)
      return Export<int(__cdecl*)(decltype(paths.c_str())...)>(name.c_str())(paths.c_str()...);
    return Export<int(__cdecl*)(decltype(Host::Ansi(paths).c_str())...)>(name.c_str())(
        Host::Ansi(paths).c_str()...);
  }

  // A call that must show no box.
  template <class... Paths> int Quiet(const char* base, const Paths&... paths) {
    BoxWatcher boxes;
    const int result = Raw(base, paths...);
    Host::ExpectNoBox(boxes);
    return result;
  }

  // A call that must show exactly one box, whose first line names the
  // export; its answer must be 0. The box's text is returned.
  template <class... Paths> std::wstring Boxed(const char* base, const Paths&... paths) {
    const std::wstring name = Host::Wide(Name(base));
    BoxWatcher boxes;
    EXPECT_EQ(Raw(base, paths...), 0) << name;
    const Host::Box box = Host::ExpectOneBox(boxes);
    EXPECT_EQ(box.FirstLine().rfind(L"Ошибка в функции \"int __cdecl " + name + L"(", 0), 0u)
        << box.text;
    return box.text;
  }

  // "Каталог", so that every tree also carries a name outside ASCII through
  // the A forms' code page.
  const std::wstring kCyrillic = L"\u041A\u0430\u0442\u0430\u043B\u043E\u0433";

  // A tree of every kind of entry: nested, hidden, read-only, Cyrillic.
  std::wstring MakeTree(const std::wstring& relative) {
    MakeFile(relative + L"\\a.txt", "a");
    MakeFile(relative + L"\\Sub\\Deeper\\c.txt", "c");
    MakeDir(relative + L"\\EmptySub");
    MakeFile(relative + L"\\" + kCyrillic + L"\\d.txt", "d");
    const std::wstring hidden = MakeFile(relative + L"\\hidden.txt", "h");
    EXPECT_TRUE(SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
    const std::wstring readOnly = MakeFile(relative + L"\\Sub\\read-only.txt", "r");
    EXPECT_TRUE(SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    return Path(relative);
  }

  // Neighbours that no operation on Data may touch: a sibling whose name
  // starts like it, and a file in the parent.
  void MakeNeighbours() {
    MakeFile(L"Data2\\keep.txt", "sibling");
    MakeFile(L"parent.txt", "parent");
  }
  void ExpectNeighboursIntact() {
    EXPECT_EQ(Content(Path(L"Data2\\keep.txt")), "sibling");
    EXPECT_EQ(Content(Path(L"parent.txt")), "parent");
  }
};

// --- creating and deleting -----------------------------------------------------

TEST_P(FileOps, CreateMakesEveryMissingParentAndDeleteEmptyRemovesOnlyAnEmptyDirectory) {
  const std::wstring deep = Path(L"A\\B\\" + kCyrillic + L"\\D");
  const std::wstring file = MakeFile(L"A\\B\\inside.txt", "x");
  EXPECT_EQ(Quiet("PathCreate", deep), 1);
  EXPECT_TRUE(Exists(deep));
  EXPECT_EQ(Quiet("PathCreate", deep + L"\\"), 1);
  EXPECT_EQ(Quiet("PathCreate", Path(L"A\\B")), 1);
  // A file in the way is no directory.
  EXPECT_EQ(Quiet("PathCreate", file), 0);

  const Snapshot before = SnapshotOf(Root());
  EXPECT_EQ(Quiet("PathDeleteEmpty", Path(L"missing")), 1);
  EXPECT_EQ(Quiet("PathDeleteEmpty", file), 1);
  EXPECT_EQ(Quiet("PathDeleteEmpty", Path(L"A\\B")), 0);
  EXPECT_EQ(SnapshotOf(Root()), before);
  EXPECT_EQ(Quiet("PathDeleteEmpty", deep), 1);
  EXPECT_FALSE(Exists(deep));
  EXPECT_EQ(Content(file), "x");
}

TEST_P(FileOps, DeleteRemovesTheWholeTreeAndNothingBesideIt) {
  const std::wstring data = MakeTree(L"Data");
  MakeNeighbours();
  EXPECT_EQ(Quiet("PathDelete", data), 1);
  EXPECT_FALSE(Exists(data));
  ExpectNeighboursIntact();

  const Snapshot before = SnapshotOf(Root());
  EXPECT_EQ(Quiet("PathDelete", data), 0);
  EXPECT_EQ(Quiet("PathDelete", Path(L"Data\\missing\\deeper")), 0);
  EXPECT_EQ(SnapshotOf(Root()), before);
}

// A delete removes directory links inside the tree as links. Wine cannot
// remove a link without acting on its target, so there the delete is
// refused, with a box naming the link, before anything is touched.
TEST_P(FileOps, DeleteNeverEmptiesTheTargetOfALinkInsideTheTree) {
  MakeTree(L"Data");
  MakeFile(L"Outside\\o.txt", "o");
  MakeFile(L"Outside\\Inner\\i.txt", "i");
  const std::wstring link = MakeDirLink(L"Data\\Sub\\Link", Path(L"Outside"));
  const Snapshot outside = SnapshotOf(Path(L"Outside"));
  if (Host::RunningOnWine()) {
    EXPECT_NE(Boxed("PathDelete", Path(L"Data")).find(link), std::wstring::npos);
    EXPECT_TRUE(Exists(Path(L"Data\\a.txt")));
  } else {
    EXPECT_EQ(Quiet("PathDelete", Path(L"Data")), 1);
    EXPECT_FALSE(Exists(Path(L"Data")));
  }
  EXPECT_EQ(SnapshotOf(Path(L"Outside")), outside);
}

// --- clearing ------------------------------------------------------------------

TEST_P(FileOps, ClearingEmptiesOnlyADirectoryAndGoesOnPastAHeldFile) {
  const Snapshot directories = {{L"EmptySub", "<dir>"}, {L"Sub", "<dir>"},
                                {L"Sub\\Deeper", "<dir>"}, {kCyrillic, "<dir>"}};
  const std::pair<const char*, Snapshot> clears[] = {{"PathClearContents", {}},
                                                     {"PathClearFromFiles", directories}};
  MakeNeighbours();
  for (const auto& [clear, cleared] : clears) {
    const std::wstring data = MakeTree(L"Data");
    const std::wstring held = MakeFile(L"Data\\held.txt", "held");
    {
      const HeldFile hold = Hold(held);
      EXPECT_EQ(Quiet(clear, data), 0) << clear;
    }
    Snapshot left = cleared;
    left[L"held.txt"] = "held";
    EXPECT_EQ(SnapshotOf(data), left) << clear;
    EXPECT_EQ(Quiet(clear, data + L"\\"), 1) << clear;
    EXPECT_EQ(SnapshotOf(data), cleared) << clear;
    EXPECT_TRUE(Exists(data));
    ExpectNeighboursIntact();
  }

  const std::wstring file = MakeFile(L"file.txt", "f");
  const Snapshot before = SnapshotOf(Root());
  for (const auto& [clear, cleared] : clears)
    for (const std::wstring& path : {file, Path(L"missing")})
      EXPECT_NE(Boxed(clear, path).find(L"Путь\r\n\"" + path + L"\"\r\n не является каталогом!"),
                std::wstring::npos);
  EXPECT_EQ(SnapshotOf(Root()), before);
}

// --- copying and moving --------------------------------------------------------

// Wine's shell answers 0 (success) for a copy or move it could not do; the
// library must answer 0 for them all the same.
TEST_P(FileOps, CopyAndMoveCarryTheWholeTreeOrChangeNothing) {
  MakeFile(L"Target\\a.txt", "old a");
  MakeFile(L"Target\\Sub\\b.txt", "old b");
  MakeFile(L"Blocker.txt", "blocker");
  MakeNeighbours();
  const std::wstring data = MakeTree(L"Data");
  const Snapshot before = SnapshotOf(Root()), tree = SnapshotOf(data);
  EXPECT_EQ(Quiet("PathCopy", Path(L"Missing"), Path(L"Target")), 0);
  const int answers[] = {Quiet("PathCopy", data, Path(L"Blocker.txt\\Target")),
                         Quiet("PathMove", data, Path(L"Blocker.txt\\Moved"))};
  EXPECT_EQ(SnapshotOf(Root()), before);
  EXPECT_EQ(answers[0], 0);
  EXPECT_EQ(answers[1], 0);

  EXPECT_EQ(Quiet("PathCopy", data, Path(L"Copy")), 1);
  EXPECT_EQ(SnapshotOf(Path(L"Copy")), tree);
  EXPECT_EQ(SnapshotOf(data), tree);
  EXPECT_EQ(Quiet("PathMove", Path(L"Copy"), Path(L"Moved")), 1);
  EXPECT_FALSE(Exists(Path(L"Copy")));
  EXPECT_EQ(SnapshotOf(Path(L"Moved")), tree);
  ExpectNeighboursIntact();
}

// --- paths that reach further than they name -----------------------------------

// The current directory and a scratch drive are set to the scratch tree, so
// that a refusal that failed would act on it and be seen.
TEST_P(FileOps, RelativePathsAndDriveRootsAreRefusedAndNothingIsTouched) {
  MakeTree(L"Work\\Data");
  MakeNeighbours();
  const CurrentDirectory inside(Path(L"Work"));
  const ScratchDrive drive(Path(L"Work"));
  const std::wstring data = drive.Root() + L"Data";
  std::vector<std::pair<std::wstring, bool>> refused;  // the path, and whether it is a root
  for (const std::wstring& path : {std::wstring(), std::wstring(L"Data"), std::wstring(L"."),
                                   std::wstring(L"Data\\*"), Root().substr(0, 2),
                                   L"\\" + Path(L"Work\\Data").substr(3)})
    refused.emplace_back(path, false);
  if (!drive.Root().empty()) {
    ASSERT_TRUE(Exists(data)) << "the drive does not show the scratch";
    for (const std::wstring& path : {drive.Root(), drive.Root() + L"*", data + L"\\..",
                                     data + L"\\..\\*", drive.Root() + L"."})
      refused.emplace_back(path, true);
  }
  const Snapshot before = SnapshotOf(Root());
  for (const auto& [path, isRoot] : refused) {
    const wchar_t* const message = isRoot ? L"корневым каталогом" : L"Путь задан не полностью";
    for (const char* remove : {"PathDelete", "PathClearContents", "PathClearFromFiles"})
      EXPECT_NE(Boxed(remove, path).find(message), std::wstring::npos) << remove << path;
    Boxed("PathMove", path, Path(L"Moved"));
    // A root is a fine destination; a relative one is not.
    if (!isRoot) Boxed("PathCopy", Path(L"Work\\Data"), path);
  }
  EXPECT_EQ(SnapshotOf(Root()), before);
  if (drive.Root().empty()) GTEST_SKIP() << "no free drive letter: roots were not tried";
  // Below the root, the drive works as any other.
  EXPECT_EQ(Quiet("PathDelete", data), 1);
}

// --- symbolic links ------------------------------------------------------------
// Wine's CreateSymbolicLinkW answers TRUE and creates nothing, so under Wine
// only the checks before it, the parent it makes and the answer are seen.

TEST_P(FileOps, LinkChecksComeFirstThenTheParentIsCreated) {
  const std::wstring missing = Path(L"NoSuchTarget");
  const std::wstring text = Boxed("PathSymbolicLink", missing, Path(L"Links\\Data"));
  EXPECT_NE(text.find(L"Отсутсвует исходный путь:\n\"" + missing + L"\""), std::wstring::npos)
      << text;
  const std::wstring target = MakeTree(L"Data");
  const std::wstring forbidden = Boxed("PathSymbolicLink", target, Path(L"Links\\a?b"));
  EXPECT_NE(forbidden.find(L"Обнаружен запрещённый символ '?'"), std::wstring::npos) << forbidden;
  EXPECT_FALSE(Exists(Path(L"Links")));

  const std::wstring link = Path(L"Links\\" + kCyrillic + L"\\Data");
  const int result = Quiet("PathSymbolicLink", target, link);
  EXPECT_TRUE(Exists(Path(L"Links\\" + kCyrillic)));
  if (Host::RunningOnWine()) {
    EXPECT_EQ(result, 0);  // its CreateSymbolicLinkW answers success and makes nothing
  } else if (result == 1) {  // Windows without the link privilege answers 0
    EXPECT_TRUE(GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_EQ(Content(link + L"\\a.txt"), "a");
  }
}

INSTANTIATE_TEST_SUITE_P(Forms, FileOps, ::testing::Values(Form::kA, Form::kW),
                         ::testing::PrintToStringParamName());

// --- null arguments ------------------------------------------------------------

TEST(FileOpsNull, EveryExportNamesItselfInOneBoxAndAnswersZero) {
  const std::pair<const char*, int> exports[] = {
      {"PathCreate", 1}, {"PathDelete", 1}, {"PathDeleteEmpty", 1}, {"PathClearContents", 1},
      {"PathClearFromFiles", 1}, {"PathCopy", 2}, {"PathMove", 2}, {"PathSymbolicLink", 2}};
  for (const bool wide : {false, true}) {
    const std::wstring type = wide ? L"const wchar_t *" : L"const char *";
    const void* const some = wide ? static_cast<const void*>(L"C:\\x") : "C:\\x";
    for (const auto& [base, paths] : exports) {
      const std::string name = base + std::string(wide ? "W" : "A");
      for (int nulled = 0; nulled < paths; ++nulled) {  // each argument in turn
        BoxWatcher boxes;
        EXPECT_EQ(paths == 1 ? Export<int(__cdecl*)(const void*)>(name.c_str())(nullptr)
                             : Export<int(__cdecl*)(const void*, const void*)>(name.c_str())(
                                   nulled == 0 ? nullptr : some, nulled == 1 ? nullptr : some),
                  0)
            << name << ", null argument " << nulled;
        EXPECT_EQ(Host::ExpectOneBox(boxes).FirstLine(),
                  L"Ошибка в функции \"int __cdecl " + Host::Wide(name) + L"(" + type +
                      (paths == 2 ? L"," + type : L"") + L")\"!");
      }
    }
  }
}

}  // namespace
