// The exports that change the file system, called as the terminal calls
// them, each through its A and its W form, on trees the tests build: what
// they create, move and remove, and above all what they must leave alone
// (siblings, parents, link targets, the current directory, drive roots).
#include "Host.h"

#include <map>
#include <ostream>
#include <memory>
#include <string>
#include <utility>

namespace {

using Host::Box;
using Host::BoxWatcher;
using Host::Export;

enum class Form { kA, kW };

void PrintTo(const Form form, std::ostream* out) { *out << (form == Form::kA ? "A" : "W"); }

// What a tree holds: every entry below it by relative path, directories as
// "<dir>", files with their content. Links are listed, never entered.
using Snapshot = std::map<std::wstring, std::string>;

std::string Content(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<unreadable>";
  std::string content(4096, '\0');
  DWORD read = 0;
  ReadFile(file, &content[0], static_cast<DWORD>(content.size()), &read, nullptr);
  CloseHandle(file);
  content.resize(read);
  return content;
}

void Take(const std::wstring& directory, const std::wstring& relative, Snapshot& snapshot) {
  WIN32_FIND_DATAW record;
  const HANDLE search = FindFirstFileW((directory + L"\\*").c_str(), &record);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = record.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = directory + L"\\" + name;
    const std::wstring key = relative + name;
    if (record.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
      snapshot[key] = "<link>";
    else if (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      snapshot[key] = "<dir>", Take(path, key + L"\\", snapshot);
    else
      snapshot[key] = Content(path);
  } while (FindNextFileW(search, &record));
  FindClose(search);
}

Snapshot SnapshotOf(const std::wstring& directory) {
  Snapshot snapshot;
  Take(directory, L"", snapshot);
  return snapshot;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A file opened the way a program that is writing it holds it: others may
// read and write, nobody may delete.
struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using HeldFile = std::unique_ptr<void, HandleCloser>;

HeldFile Hold(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(file, INVALID_HANDLE_VALUE) << "cannot hold " << path;
  return HeldFile(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

// The process's current directory, put back however the test ends.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::wstring& path) : previous_(Get()) {
    EXPECT_TRUE(SetCurrentDirectoryW(path.c_str()));
  }
  ~CurrentDirectory() { SetCurrentDirectoryW(previous_.c_str()); }
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

 private:
  static std::wstring Get() {
    std::wstring path(GetCurrentDirectoryW(0, nullptr), L'\0');
    path.resize(GetCurrentDirectoryW(static_cast<DWORD>(path.size()), &path[0]));
    return path;
  }
  std::wstring previous_;
};

// A drive letter whose root is a scratch directory, so that refusing a
// drive root can be tested without any real drive at stake. Under Wine a
// drive is a link in the prefix's dosdevices directory; on Windows, a
// substituted drive.
class ScratchDrive {
 public:
  explicit ScratchDrive(const std::wstring& directory) {
    const DWORD used = GetLogicalDrives();
    for (wchar_t letter = L'W'; letter >= L'P' && root_.empty(); --letter)
      if (!(used & (1u << (letter - L'A')))) Map(letter, directory);
  }
  ~ScratchDrive() {
    if (root_.empty()) return;
    if (Host::RunningOnWine())
      Host::RunUnix({L"rm", L"-f", L"--", device_});
    else
      DefineDosDeviceW(DDD_REMOVE_DEFINITION, root_.substr(0, 2).c_str(), nullptr);
  }
  ScratchDrive(const ScratchDrive&) = delete;
  ScratchDrive& operator=(const ScratchDrive&) = delete;

  // "Q:\", or empty when no drive could be made.
  const std::wstring& Root() const { return root_; }

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

  std::wstring root_;
  std::wstring device_;
};

// Every test runs once through the A forms and once through the W forms.
class FileOps : public Host::Scratch, public ::testing::WithParamInterface<Form> {
 protected:
  std::string Name(const char* base) const {
    return std::string(base) + (GetParam() == Form::kA ? "A" : "W");
  }

  int Raw(const char* base, const std::wstring& path) const {
    const std::string name = Name(base);
    if (GetParam() == Form::kW)
      return Export<int(__cdecl*)(const wchar_t*)>(name.c_str())(path.c_str());
    return Export<int(__cdecl*)(const char*)>(name.c_str())(Host::Ansi(path).c_str());
  }
  int Raw(const char* base, const std::wstring& first, const std::wstring& second) const {
    const std::string name = Name(base);
    if (GetParam() == Form::kW)
      return Export<int(__cdecl*)(const wchar_t*, const wchar_t*)>(name.c_str())(
          first.c_str(), second.c_str());
    return Export<int(__cdecl*)(const char*, const char*)>(name.c_str())(
        Host::Ansi(first).c_str(), Host::Ansi(second).c_str());
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
    const Box box = Host::ExpectOneBox(boxes);
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
    MakeFile(relative + L"\\Sub\\b.txt", "b");
    MakeFile(relative + L"\\Sub\\Deeper\\c.txt", "c");
    MakeDir(relative + L"\\EmptySub");
    MakeFile(relative + L"\\" + kCyrillic + L"\\d.txt", "d");
    const std::wstring hidden = MakeFile(relative + L"\\hidden.txt", "h");
    EXPECT_TRUE(SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
    const std::wstring readOnly = MakeFile(relative + L"\\Sub\\read-only.txt", "r");
    EXPECT_TRUE(SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    return Path(relative);
  }

  // Neighbours that no operation on Data may touch: a file beside it, a
  // sibling whose name starts like it, and a file in the parent.
  void MakeNeighbours() {
    MakeFile(L"Data2\\keep.txt", "sibling");
    MakeFile(L"parent.txt", "parent");
  }
  void ExpectNeighboursIntact() {
    EXPECT_EQ(Content(Path(L"Data2\\keep.txt")), "sibling");
    EXPECT_EQ(Content(Path(L"parent.txt")), "parent");
  }
};

// --- creating ----------------------------------------------------------------

TEST_P(FileOps, CreateMakesEveryMissingParentAndAcceptsAnExistingDirectory) {
  const std::wstring deep = Path(L"A\\B\\" + kCyrillic + L"\\D");
  EXPECT_EQ(Quiet("PathCreate", deep), 1);
  EXPECT_TRUE(IsDirectory(deep));
  EXPECT_EQ(Quiet("PathCreate", deep), 1);
  EXPECT_EQ(Quiet("PathCreate", deep + L"\\"), 1);
  MakeFile(L"A\\B\\inside.txt", "x");
  EXPECT_EQ(Quiet("PathCreate", Path(L"A\\B")), 1);
  EXPECT_EQ(Content(Path(L"A\\B\\inside.txt")), "x");
}

TEST_P(FileOps, CreateOverAFileAnswersZeroAndLeavesTheFile) {
  const std::wstring file = MakeFile(L"taken.txt", "mine");
  EXPECT_EQ(Quiet("PathCreate", file), 0);
  EXPECT_EQ(Content(file), "mine");
  EXPECT_EQ(Quiet("PathCreate", file + L"\\below"), 0);
  EXPECT_EQ(Content(file), "mine");
}

// --- deleting ----------------------------------------------------------------

TEST_P(FileOps, DeleteRemovesTheWholeTreeAndNothingBesideIt) {
  const std::wstring data = MakeTree(L"Data");
  MakeNeighbours();
  EXPECT_EQ(Quiet("PathDelete", data), 1);
  EXPECT_FALSE(Exists(data));
  ExpectNeighboursIntact();

  const std::wstring file = MakeFile(L"single.txt", "x");
  EXPECT_EQ(Quiet("PathDelete", file), 1);
  EXPECT_FALSE(Exists(file));
  ExpectNeighboursIntact();
}

TEST_P(FileOps, DeleteOfAMissingPathAnswersZeroAndRemovesNothing) {
  MakeNeighbours();
  const Snapshot before = SnapshotOf(Root());
  EXPECT_EQ(Quiet("PathDelete", Path(L"Data")), 0);
  EXPECT_EQ(Quiet("PathDelete", Path(L"Data\\missing\\deeper")), 0);
  EXPECT_EQ(SnapshotOf(Root()), before);
}

TEST_P(FileOps, DeleteEmptyRemovesOnlyAnEmptyDirectory) {
  const std::wstring empty = MakeDir(L"Empty");
  MakeFile(L"Full\\a.txt", "a");
  const std::wstring file = MakeFile(L"file.txt", "f");
  MakeNeighbours();

  EXPECT_EQ(Quiet("PathDeleteEmpty", Path(L"missing")), 1);
  EXPECT_EQ(Quiet("PathDeleteEmpty", file), 1);
  EXPECT_EQ(Content(file), "f");
  EXPECT_EQ(Quiet("PathDeleteEmpty", empty), 1);
  EXPECT_FALSE(Exists(empty));

  const Snapshot before = SnapshotOf(Root());
  EXPECT_EQ(Quiet("PathDeleteEmpty", Path(L"Full")), 0);
  EXPECT_EQ(SnapshotOf(Root()), before);
}

// --- clearing ----------------------------------------------------------------

TEST_P(FileOps, ClearContentsEmptiesTheDirectoryAndKeepsIt) {
  MakeNeighbours();
  for (const wchar_t* suffix : {L"", L"\\"}) {
    const std::wstring data = MakeTree(L"Data");
    EXPECT_EQ(Quiet("PathClearContents", data + suffix), 1);
    EXPECT_TRUE(IsDirectory(data));
    EXPECT_TRUE(SnapshotOf(data).empty());
    // Nothing left to remove is success too.
    EXPECT_EQ(Quiet("PathClearContents", data + suffix), 1);
    EXPECT_TRUE(IsDirectory(data));
    ExpectNeighboursIntact();
  }
}

TEST_P(FileOps, ClearContentsGoesOnPastAnEntryThatCannotBeRemoved) {
  const std::wstring data = MakeTree(L"Data");
  const std::wstring held = MakeFile(L"Data\\held.txt", "held");
  MakeNeighbours();
  {
    const HeldFile hold = Hold(held);
    EXPECT_EQ(Quiet("PathClearContents", data), 0);
  }
  EXPECT_EQ(SnapshotOf(data), (Snapshot{{L"held.txt", "held"}}));
  ExpectNeighboursIntact();
}

TEST_P(FileOps, ClearFromFilesRemovesEveryFileAndKeepsEveryDirectory) {
  const std::wstring data = MakeTree(L"Data");
  MakeNeighbours();
  EXPECT_EQ(Quiet("PathClearFromFiles", data), 1);
  const Snapshot directories = {{L"EmptySub", "<dir>"},        {L"Sub", "<dir>"},
                                {L"Sub\\Deeper", "<dir>"},     {kCyrillic, "<dir>"}};
  EXPECT_EQ(SnapshotOf(data), directories);
  EXPECT_EQ(Quiet("PathClearFromFiles", data + L"\\"), 1);
  EXPECT_EQ(SnapshotOf(data), directories);
  ExpectNeighboursIntact();
}

TEST_P(FileOps, ClearFromFilesGoesOnPastAFileThatCannotBeRemoved) {
  const std::wstring data = MakeTree(L"Data");
  const std::wstring held = MakeFile(L"Data\\Sub\\held.txt", "held");
  {
    const HeldFile hold = Hold(held);
    EXPECT_EQ(Quiet("PathClearFromFiles", data), 0);
  }
  EXPECT_EQ(SnapshotOf(data), (Snapshot{{L"EmptySub", "<dir>"},
                                        {L"Sub", "<dir>"},
                                        {L"Sub\\Deeper", "<dir>"},
                                        {L"Sub\\held.txt", "held"},
                                        {kCyrillic, "<dir>"}}));
}

TEST_P(FileOps, ClearingAFileOrAMissingPathShowsTheBoxAndRemovesNothing) {
  const std::wstring file = MakeFile(L"file.txt", "f");
  MakeNeighbours();
  const Snapshot before = SnapshotOf(Root());
  for (const char* clear : {"PathClearContents", "PathClearFromFiles"}) {
    for (const std::wstring& path : {file, Path(L"missing")}) {
      const std::wstring text = Boxed(clear, path);
      EXPECT_NE(text.find(L"Путь\r\n\"" + path + L"\"\r\n не является каталогом!"),
                std::wstring::npos)
          << text;
    }
  }
  EXPECT_EQ(SnapshotOf(Root()), before);
}

// PathClearFromFiles enters directory links below the directory and removes
// the files it finds through them; the directories there stay.
TEST_P(FileOps, ClearFromFilesEntersDirectoryLinksBelowIt) {
  MakeFile(L"Data\\a.txt", "a");
  MakeFile(L"Outside\\o.txt", "o");
  MakeFile(L"Outside\\Inner\\i.txt", "i");
  MakeFile(L"Untouched\\u.txt", "u");
  MakeDirLink(L"Data\\Link", Path(L"Outside"));
  EXPECT_EQ(Quiet("PathClearFromFiles", Path(L"Data")), 1);
  EXPECT_FALSE(Exists(Path(L"Data\\a.txt")));
  EXPECT_EQ(SnapshotOf(Path(L"Outside")), (Snapshot{{L"Inner", "<dir>"}}));
  EXPECT_EQ(Content(Path(L"Untouched\\u.txt")), "u");
}

// --- links are never reached through by a delete ----------------------------

TEST_P(FileOps, DeleteNeverEmptiesTheTargetOfALinkInsideTheTree) {
  MakeTree(L"Data");
  MakeFile(L"Outside\\o.txt", "o");
  MakeFile(L"Outside\\Inner\\i.txt", "i");
  MakeDirLink(L"Data\\Sub\\Link", Path(L"Outside"));
  const Snapshot outside = SnapshotOf(Path(L"Outside"));
  const int result = Quiet("PathDelete", Path(L"Data"));
  EXPECT_EQ(SnapshotOf(Path(L"Outside")), outside);
  if (Host::RunningOnWine()) {
    // Wine's RemoveDirectoryW cannot remove a Unix symlink, so the link
    // stays and the delete is not attempted at all.
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(Exists(Path(L"Data\\a.txt")));
  } else {
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(Exists(Path(L"Data")));
  }
}

TEST_P(FileOps, ClearContentsRemovesALinkButNeverItsTarget) {
  MakeTree(L"Data");
  MakeFile(L"Outside\\o.txt", "o");
  MakeDirLink(L"Data\\Link", Path(L"Outside"));
  const Snapshot outside = SnapshotOf(Path(L"Outside"));
  const int result = Quiet("PathClearContents", Path(L"Data"));
  EXPECT_EQ(SnapshotOf(Path(L"Outside")), outside);
  const Snapshot left = SnapshotOf(Path(L"Data"));
  if (Host::RunningOnWine()) {
    EXPECT_EQ(result, 0);  // the link could not be removed; see above
    EXPECT_EQ(left, (Snapshot{{L"Link", "<link>"}}));
  } else {
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(left.empty());
  }
  EXPECT_EQ(Quiet("PathDelete", Path(L"Data\\Link")), Host::RunningOnWine() ? 0 : 1);
  EXPECT_EQ(SnapshotOf(Path(L"Outside")), outside);
}

// --- copying and moving ------------------------------------------------------

TEST_P(FileOps, CopyMakesTheDestinationAndLeavesTheSource) {
  const std::wstring data = MakeTree(L"Data");
  const Snapshot tree = SnapshotOf(data);
  EXPECT_EQ(Quiet("PathCopy", data, Path(L"Copy")), 1);
  EXPECT_EQ(SnapshotOf(Path(L"Copy")), tree);
  EXPECT_EQ(SnapshotOf(data), tree);
}

TEST_P(FileOps, FailedCopyLeavesTheDestinationAsItWas) {
  MakeFile(L"Target\\a.txt", "old a");
  MakeFile(L"Target\\Sub\\b.txt", "old b");
  MakeFile(L"Blocker.txt", "blocker");
  MakeFile(L"Source\\a.txt", "new a");
  const Snapshot before = SnapshotOf(Root());
  EXPECT_EQ(Quiet("PathCopy", Path(L"Missing"), Path(L"Target")), 0);
  // Wine's shell answers 0 (success) for a copy or move it could not do, so
  // the answer is checked on Windows only.
  const int blocked = Quiet("PathCopy", Path(L"Source"), Path(L"Blocker.txt\\Target"));
  if (!Host::RunningOnWine()) {
    EXPECT_EQ(blocked, 0);
  }
  EXPECT_EQ(SnapshotOf(Root()), before);
}

TEST_P(FileOps, MoveRelocatesTheTree) {
  const std::wstring data = MakeTree(L"Data");
  MakeNeighbours();
  const Snapshot tree = SnapshotOf(data);
  EXPECT_EQ(Quiet("PathMove", data, Path(L"Moved")), 1);
  EXPECT_FALSE(Exists(data));
  EXPECT_EQ(SnapshotOf(Path(L"Moved")), tree);
  ExpectNeighboursIntact();
}

TEST_P(FileOps, FailedMoveLeavesTheSourceWhole) {
  const std::wstring data = MakeTree(L"Data");
  MakeFile(L"Blocker.txt", "blocker");
  MakeNeighbours();
  const Snapshot before = SnapshotOf(Root());
  // Wine answers 0 (success) for both moves below, so only what they leave
  // behind is checked there.
  const int blocked = Quiet("PathMove", data, Path(L"Blocker.txt\\Moved"));
  EXPECT_EQ(SnapshotOf(Root()), before);
  const int missing = Quiet("PathMove", Path(L"Missing"), Path(L"Moved"));
  EXPECT_EQ(SnapshotOf(Root()), before);
  if (!Host::RunningOnWine()) {
    EXPECT_EQ(blocked, 0);
    EXPECT_EQ(missing, 0);
  }
}

// --- paths that reach further than they name --------------------------------

TEST_P(FileOps, RelativeAndCurrentDirectoryPathsAreRefusedAndNothingIsTouched) {
  MakeTree(L"Work\\Data");
  MakeNeighbours();
  const CurrentDirectory inside(Path(L"Work"));
  const Snapshot before = SnapshotOf(Root());
  const std::wstring drive = Root().substr(0, 2);  // "C:": the current directory there
  for (const std::wstring& path : {std::wstring(), std::wstring(L"Data"),
                                   std::wstring(L"."), std::wstring(L"Data\\*"), drive,
                                   std::wstring(L"\\") + Path(L"Work\\Data").substr(3)}) {
    for (const char* remove : {"PathDelete", "PathClearContents", "PathClearFromFiles"})
      EXPECT_NE(Boxed(remove, path).find(L"Путь задан не полностью"), std::wstring::npos)
          << remove << "(" << path << ")";
    Boxed("PathMove", path, Path(L"Moved"));
    Boxed("PathCopy", Path(L"Work\\Data"), path);
  }
  EXPECT_EQ(SnapshotOf(Root()), before);
}

TEST_P(FileOps, DriveRootsAreRefusedAndNothingIsTouched) {
  MakeTree(L"Drive\\Data");
  const ScratchDrive drive(Path(L"Drive"));
  if (drive.Root().empty()) GTEST_SKIP() << "no free drive letter could be mapped";
  ASSERT_TRUE(IsDirectory(drive.Root() + L"Data")) << "the drive does not show the scratch";
  const Snapshot before = SnapshotOf(Root());
  const std::wstring data = drive.Root() + L"Data";
  for (const std::wstring& path : {drive.Root(), drive.Root() + L"*", data + L"\\..",
                                   data + L"\\..\\*", drive.Root() + L"."}) {
    for (const char* remove : {"PathDelete", "PathClearContents", "PathClearFromFiles"})
      EXPECT_NE(Boxed(remove, path).find(L"Операция над корневым каталогом запрещена"),
                std::wstring::npos)
          << remove << "(" << path << ")";
    Boxed("PathMove", path, Path(L"Moved"));
  }
  EXPECT_EQ(SnapshotOf(Root()), before);
  // Below the root, the same drive works as any other.
  EXPECT_EQ(Quiet("PathClearFromFiles", data), 1);
  EXPECT_EQ(Quiet("PathDelete", data), 1);
  EXPECT_FALSE(Exists(Path(L"Drive\\Data")));
  EXPECT_TRUE(IsDirectory(Path(L"Drive")));
}

// --- symbolic links ----------------------------------------------------------
// Wine's CreateSymbolicLinkW answers TRUE and creates nothing, so under Wine
// only the checks before it, the parent it makes and the answer are seen;
// the link itself is checked on Windows only.

TEST_P(FileOps, LinkToAMissingTargetShowsTheBoxNamingItAndCreatesNothing) {
  const std::wstring target = Path(L"NoSuchTarget");
  const std::wstring text = Boxed("PathSymbolicLink", target, Path(L"Links\\Data"));
  EXPECT_NE(text.find(L"Отсутсвует исходный путь:\n\"" + target + L"\""), std::wstring::npos)
      << text;
  EXPECT_FALSE(Exists(Path(L"Links")));
}

TEST_P(FileOps, LinkParentIsCreatedFirst) {
  const std::wstring target = MakeTree(L"Data");
  const std::wstring link = Path(L"Links\\" + kCyrillic + L"\\Data");
  const int result = Quiet("PathSymbolicLink", target, link);
  EXPECT_TRUE(IsDirectory(Path(L"Links\\" + kCyrillic)));
  if (Host::RunningOnWine()) {
    EXPECT_EQ(result, 1);
  } else if (result == 1) {  // Windows without the link privilege answers 0
    EXPECT_TRUE(GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_EQ(Content(link + L"\\a.txt"), "a");
  }
}

TEST_P(FileOps, LinkPathWithAForbiddenCharacterShowsTheBoxAndCreatesNothing) {
  const std::wstring target = MakeDir(L"Data");
  const std::wstring text = Boxed("PathSymbolicLink", target, Path(L"Links\\a?b"));
  EXPECT_NE(text.find(L"Обнаружен запрещённый символ '?'"), std::wstring::npos) << text;
  EXPECT_FALSE(Exists(Path(L"Links")));
}

INSTANTIATE_TEST_SUITE_P(Forms, FileOps, ::testing::Values(Form::kA, Form::kW),
                         [](const ::testing::TestParamInfo<Form>& info) {
                           return std::string(info.param == Form::kA ? "A" : "W");
                         });

// --- null arguments ----------------------------------------------------------

TEST(FileOpsNull, EveryExportNamesItselfInOneBoxAndAnswersZero) {
  const char* const single[] = {"PathCreateA",         "PathCreateW",
                                "PathDeleteA",         "PathDeleteW",
                                "PathDeleteEmptyA",    "PathDeleteEmptyW",
                                "PathClearContentsA",  "PathClearContentsW",
                                "PathClearFromFilesA", "PathClearFromFilesW"};
  for (const char* name : single) {
    const bool wide = name[std::char_traits<char>::length(name) - 1] == 'W';
    BoxWatcher boxes;
    EXPECT_EQ(Export<int(__cdecl*)(const void*)>(name)(nullptr), 0) << name;
    EXPECT_EQ(Host::ExpectOneBox(boxes).FirstLine(),
              L"Ошибка в функции \"int __cdecl " + Host::Wide(name) +
                  (wide ? L"(const wchar_t *)\"!" : L"(const char *)\"!"));
  }
  const char* const twin[] = {"PathCopyA", "PathCopyW", "PathMoveA",
                              "PathMoveW", "PathSymbolicLinkA", "PathSymbolicLinkW"};
  for (const char* name : twin) {
    const bool wide = name[std::char_traits<char>::length(name) - 1] == 'W';
    const std::wstring type = wide ? L"const wchar_t *" : L"const char *";
    const std::wstring line = L"Ошибка в функции \"int __cdecl " + Host::Wide(name) + L"(" +
                              type + L"," + type + L")\"!";
    const auto call = Export<int(__cdecl*)(const void*, const void*)>(name);
    const void* const some = wide ? static_cast<const void*>(L"C:\\x")
                                  : static_cast<const void*>("C:\\x");
    for (const auto& arguments : {std::make_pair(static_cast<const void*>(nullptr), some),
                                  std::make_pair(some, static_cast<const void*>(nullptr))}) {
      BoxWatcher boxes;
      EXPECT_EQ(call(arguments.first, arguments.second), 0) << name;
      EXPECT_EQ(Host::ExpectOneBox(boxes).FirstLine(), line);
    }
  }
}

}  // namespace
