// The file unit with its shell, directory and link calls replaced through its
// seam, so that answers Wine never gives can be given and every request seen.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ReportTesting.h"
#include "utils/Utils.File.h"

namespace {

using ReportTesting::MaskLines;
using ReportTesting::Thrown;
namespace MainFile = Utils::MainFile;

const std::wstring kString =
    L"const class std::basic_string<wchar_t,struct std::char_traits<wchar_t>,"
    L"class std::allocator<wchar_t> > &";
const std::wstring kFileOperation = L"bool __cdecl Utils::MainFile::FileOperation(" +
                                    kString + L"," + kString + L",const unsigned short)";
const std::wstring kSymbolicLink = L"bool __cdecl Utils::MainFile::SymbolicLink(" + kString +
                                   L"," + kString + L",const bool)";

std::wstring Report(const std::wstring& signature, const std::wstring& message) {
  return ReportTesting::Header(L"Ошибка в методе \"", signature, L"utils/Utils.File.cpp") +
         L"\n" + message + L"\n";
}

// A shell name list: the names, then the double null that closes it.
std::wstring List(const std::wstring& name) { return name + std::wstring(2, L'\0'); }
std::wstring ListAt(const wchar_t* list) {
  std::size_t length = 0;
  while (list[length] != L'\0' || list[length + 1] != L'\0') ++length;
  return std::wstring(list, length + 2);
}


struct ShellRequest {
  UINT wFunc;
  std::wstring from;
  std::optional<std::wstring> to;  // absent: pTo was null
};
struct LinkRequest {
  std::wstring link, target;
  DWORD flags;
  std::size_t creationsBefore;
};

// What the fakes were asked and what they answer; a fresh one for every test.
struct Fakes {
  std::vector<ShellRequest> shellRequests;
  // Success, with the destination made as far as the checks after the
  // shell look (a named destination exists).
  std::function<int(SHFILEOPSTRUCTW&)> shellAnswer = [](SHFILEOPSTRUCTW& request) {
    request.fAnyOperationsAborted = FALSE;
    if (request.pTo != nullptr && !std::wcspbrk(request.pTo, L"*?"))
      SHCreateDirectoryExW(nullptr, request.pTo, nullptr);
    return 0;
  };
  std::vector<std::wstring> createdPaths;
  int creationAnswer = 0;
  bool creationMakes = true;  // a success answer really creates the directory
  std::vector<LinkRequest> linkRequests;
  BOOLEAN linkAnswer = TRUE;
} fakes;

// The fixed fields are the same for every request, so every call checks them.
int WINAPI FakeShell(LPSHFILEOPSTRUCTW request) {
  EXPECT_EQ(request->hwnd, nullptr);
  EXPECT_EQ(request->fFlags, 0x0615);
  EXPECT_EQ(request->fAnyOperationsAborted, TRUE) << "the aborted flag must start set";
  fakes.shellRequests.push_back(
      {request->wFunc, ListAt(request->pFrom),
       request->pTo ? std::optional(ListAt(request->pTo)) : std::nullopt});
  return fakes.shellAnswer(*request);
}

int WINAPI FakeCreation(HWND window, LPCWSTR path, const SECURITY_ATTRIBUTES* security) {
  EXPECT_EQ(window, nullptr);
  EXPECT_EQ(security, nullptr);
  fakes.createdPaths.push_back(path);
  if (fakes.creationAnswer == 0 && fakes.creationMakes) SHCreateDirectoryExW(nullptr, path, nullptr);
  return fakes.creationAnswer;
}

BOOLEAN WINAPI FakeLink(LPCWSTR link, LPCWSTR target, DWORD flags) {
  fakes.linkRequests.push_back({link, target, flags, fakes.createdPaths.size()});
  return fakes.linkAnswer;
}

// The real shell for everything but the one name given, which it refuses.
void RefuseOnly(const std::wstring& refused) {
  fakes.shellAnswer = [refused](SHFILEOPSTRUCTW& request) {
    return refused == request.pFrom ? 5 : SHFileOperationW(&request);
  };
}

bool NamesOnePattern(const std::wstring& path) { return path.find(L'*') != std::wstring::npos; }

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Every test starts with fakes that record and succeed, in a scratch
// directory of its own; the real calls come back however the test ends.
class FileOps : public ::testing::Test {
 protected:
  FileOps() : calls_(Utils::FileSystemCalls{&FakeShell, &FakeCreation, &FakeLink}) {}

  void SetUp() override {
    fakes = Fakes();
    const auto name = L"sf-files-" + std::to_wstring(GetCurrentProcessId());
    root_ = (std::filesystem::temp_directory_path() / name).wstring();
    ASSERT_TRUE(std::filesystem::create_directories(root_)) << "left over: " << name;
  }
  void TearDown() override {
    // Plain removal, never through the library; read-only files refuse it.
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root_, error))
      SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(root_, error);
  }

  std::wstring Path(const std::wstring& relative) const { return root_ + L"\\" + relative; }
  std::wstring MakeDir(const std::wstring& relative) const {
    std::filesystem::create_directories(Path(relative));
    return Path(relative);
  }
  std::wstring MakeFile(const std::wstring& relative) const {
    const std::filesystem::path path = Path(relative);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream{path};
    return path.wstring();
  }

  Utils::ScopedCalls calls_;
  std::wstring root_;
};


TEST_F(FileOps, ShellGetsBothNamesNormalisedAndNoDestinationForADelete) {
  // "." and "..", slashes and a trailing backslash never reach the shell;
  // text after an embedded null must never become a second name.
  const std::wstring data = MakeDir(L"Data");
  MakeFile(L"Data\\a.txt");
  const std::pair<std::wstring, std::wstring> requests[] = {
      {Path(L"Data\\"), Path(L"Backup\\")}, {Path(L"Other\\..\\Data\\*.txt"), Path(L"Backup")},
      {root_ + L"/./Data", Path(L"Backup/.")}};
  for (const auto& [from, to] : requests)
    for (const unsigned short wFunc : {FO_COPY, FO_DELETE}) {
      fakes.shellRequests.clear();
      MainFile::FileOperation(from + L'\0' + L"C:\\", to + L'\0' + L"C:\\", wFunc);
      ASSERT_EQ(fakes.shellRequests.size(), 1u) << wFunc;
      const ShellRequest& seen = fakes.shellRequests[0];
      EXPECT_EQ(seen.wFunc, wFunc);
      EXPECT_EQ(seen.from, List(NamesOnePattern(from) ? Path(L"Data\\*.txt") : data)) << from;
      EXPECT_EQ(seen.to, wFunc == FO_DELETE ? std::nullopt : std::optional(List(Path(L"Backup"))));
    }
}

TEST_F(FileOps, SuccessOnlyWithZeroAndTheAbortedFlagCleared) {
  const int kLeaveFlag = -1;  // the shell never wrote the flag: it stays at 1
  const struct {
    int answer, abortedAfter;
    bool success;
  } cases[] = {{0, FALSE, true}, {0, TRUE, false}, {0, kLeaveFlag, false}, {5, FALSE, false}};
  const std::wstring from = MakeDir(L"a"), to = MakeDir(L"b");
  for (const auto& c : cases) {
    fakes.shellAnswer = [&c](SHFILEOPSTRUCTW& request) {
      const BOOL preset = request.fAnyOperationsAborted;
      const int done = SHFileOperationW(&request);  // the work itself is always done
      request.fAnyOperationsAborted = c.abortedAfter == kLeaveFlag ? preset : c.abortedAfter;
      return done == 0 ? c.answer : done;
    };
    EXPECT_EQ(MainFile::FileOperation(from, to, FO_COPY), c.success)
        << c.answer << "/" << c.abortedAfter;
  }
}

TEST_F(FileOps, UnknownOperationCodeIsReportedAndNothingIsCalled) {
  for (const unsigned short wFunc : {0, 5})
    EXPECT_EQ(MaskLines(Thrown([&] { MainFile::FileOperation(L"C:\\a", L"C:\\b", wFunc); })),
              Report(kFileOperation, L"Неверно выбран параметр выбора операции.\r\nwFunc = " +
                                         std::to_wstring(wFunc)));
  EXPECT_TRUE(fakes.shellRequests.empty());
}


TEST_F(FileOps, PathsThatAreNotBelowARootAreRefusedBeforeTheShell) {
  const std::wstring unanchored =
      L"Путь задан не полностью (нужен путь от буквы диска или от сетевого ресурса):\n\"";
  const std::wstring root = L"Операция над корневым каталогом запрещена:\n\"";
  const std::pair<const std::wstring*, std::vector<std::wstring>> refusals[] = {
      {&unanchored,
       {L"", L"Data", L".", L"C:", L"C:Data", L"\\Data", L"\\\\.\\C:\\Data",
        L"\\\\?\\Volume{0}\\x"}},
      {&root,
       {L"C:\\", L"c:/", L"C:\\*.*", L"C:\\Data\\..", L"C:\\Data\\..\\*", L"C:\\. ", L"\\\\server",
        L"\\\\server\\share", L"\\\\server\\share\\*", L"\\\\?\\C:\\",
        L"\\\\?\\UNC\\server\\share\\"}}};
  const auto refused = [](const std::wstring& from, const std::wstring& to, unsigned short wFunc) {
    return MaskLines(Thrown([&] { MainFile::FileOperation(from, to, wFunc); }));
  };
  for (const auto& [message, paths] : refusals)
    for (const std::wstring& path : paths)
      for (const unsigned short wFunc : {FO_MOVE, FO_COPY, FO_DELETE, FO_RENAME})
        EXPECT_EQ(refused(path, L"D:\\", wFunc), Report(kFileOperation, *message + path + L"\""))
            << "wFunc " << wFunc << ": " << path;
  // A destination must be anchored too, but may be a root.
  for (const wchar_t* to : {L"", L"Target", L"C:Target", L"\\Target"})
    EXPECT_EQ(refused(L"C:\\Data", to, FO_COPY), Report(kFileOperation, unanchored + to + L"\""));
  EXPECT_TRUE(fakes.shellRequests.empty());

  // Anything below a root goes through to the search, which finds nothing
  // here and so never asks the shell.
  for (const wchar_t* path : {L"c:/Data/Sub", L"C:\\Data\\..\\Other", L"\\\\server\\share\\Data",
                              L"\\\\?\\C:\\Data", L"\\\\?\\UNC\\server\\share\\x"})
    EXPECT_FALSE(MainFile::DeleteOperation(path)) << path;
  EXPECT_TRUE(fakes.shellRequests.empty());
}


TEST_F(FileOps, CreatePathCountsOnlyAnExistingDirectoryAsSuccess) {
  const std::wstring directory = MakeDir(L"there"), file = MakeFile(L"file.txt");
  EXPECT_TRUE(MainFile::CreatePath(Path(L"missing")));
  EXPECT_EQ(fakes.createdPaths, std::vector<std::wstring>{Path(L"missing")});
  for (const int exists : {80, 183}) {
    fakes.creationAnswer = exists;
    EXPECT_TRUE(MainFile::CreatePath(directory)) << exists;
    // "Already exists" for a file of that name is no directory.
    EXPECT_FALSE(MainFile::CreatePath(file)) << exists;
  }
  for (const int refusal : {3, 5, 1223}) {
    fakes.creationAnswer = refusal;
    EXPECT_FALSE(MainFile::CreatePath(directory)) << refusal;
  }
  // A shell that answers success for a path it could not create (Wine's,
  // for one longer than MAX_PATH) has not created it.
  fakes.creationAnswer = 0;
  fakes.creationMakes = false;
  EXPECT_FALSE(MainFile::CreatePath(Path(L"never-made")));
}

TEST_F(FileOps, ACopyOrMoveIntoItselfNeverReachesTheShell) {
  // Some shells answer success for it having done nothing. Decided by
  // identity: another letter or a link to the same directory is no way out.
  const std::wstring data = MakeDir(L"Data");
  MakeDir(L"Data\\Sub");
  for (const std::wstring& into : {data, data + L"\\", data + L"\\Sub", Path(L"DATA\\sub\\x"),
                                   Path(L"Other\\..\\Data\\Sub")}) {
    EXPECT_FALSE(MainFile::FileOperation(data, into, FO_COPY)) << into;
    EXPECT_FALSE(MainFile::FileOperation(data + L"\\", into, FO_MOVE)) << into;
  }
  EXPECT_TRUE(fakes.shellRequests.empty());
  // A case-only rename, a sibling with a longer name, a parent: all reach
  // the shell.
  for (const std::wstring& elsewhere : {Path(L"DATA"), Path(L"Data2"), Path(L"Data.bak"), root_})
    MainFile::FileOperation(data, elsewhere, FO_MOVE);
  EXPECT_EQ(fakes.shellRequests.size(), 4u);
}

TEST_F(FileOps, NamesTooLongForTheShellNeverReachIt) {
  // Some shells overrun their buffers on such names and end the process.
  const std::wstring longest = Path(std::wstring(MAX_PATH - 1 - Path(L"").size(), L'n'));
  ASSERT_EQ(longest.size(), MAX_PATH - 1u);
  MakeFile(longest.substr(root_.size() + 1));
  fakes.shellAnswer = [](SHFILEOPSTRUCTW& request) { return SHFileOperationW(&request); };
  EXPECT_TRUE(MainFile::DeleteOperation(longest));
  ASSERT_EQ(fakes.shellRequests.size(), 1u);
  const std::wstring data = MakeDir(L"Data");
  for (const std::wstring& tooLong : {longest + L"n", longest + std::wstring(32000, L'n')}) {
    EXPECT_FALSE(MainFile::FileOperation(tooLong, Path(L"to"), FO_COPY));
    EXPECT_FALSE(MainFile::FileOperation(data, tooLong, FO_COPY));
    EXPECT_FALSE(MainFile::DeleteOperation(tooLong));
  }
  EXPECT_EQ(fakes.shellRequests.size(), 1u);
}

TEST_F(FileOps, ACopyOrMoveOfNothingOrToNowhereIsNoSuccess) {
  // Some shells answer success for all of them.
  const std::wstring data = MakeDir(L"Data");
  EXPECT_FALSE(MainFile::FileOperation(Path(L"Missing"), Path(L"To"), FO_COPY));
  EXPECT_FALSE(MainFile::FileOperation(Path(L"Missing*"), Path(L"To"), FO_COPY));
  EXPECT_FALSE(MainFile::DeleteOperation(Path(L"Missing*")));
  EXPECT_EQ(fakes.shellRequests.size(), 0u);
  fakes.shellAnswer = [](SHFILEOPSTRUCTW& request) {
    request.fAnyOperationsAborted = FALSE;
    return 0;  // success, having made nothing
  };
  EXPECT_FALSE(MainFile::FileOperation(data, Path(L"To"), FO_MOVE));
  EXPECT_FALSE(MainFile::FileOperation(data, Path(L"To"), FO_COPY));
  EXPECT_FALSE(MainFile::DeleteOperation(data));
  EXPECT_EQ(fakes.shellRequests.size(), 3u);
}

TEST_F(FileOps, NoLinkIsAskedForUntilEveryCheckHasPassedThenItIsADirectoryLink) {
  const std::wstring target = MakeDir(L"Data"), badLink = Path(L"Links\\a?b");
  // The missing target is reported before the link path is looked at, which
  // would report the forbidden character instead.
  const std::wstring missing = Path(L"no-such-target");
  EXPECT_EQ(MaskLines(Thrown([&] { MainFile::SymbolicLink(missing, badLink); })),
            Report(kSymbolicLink, L"Отсутсвует исходный путь:\n\"" + missing + L"\""));
  const std::wstring forbidden = Thrown([&] { MainFile::SymbolicLink(target, badLink); });
  EXPECT_NE(forbidden.find(L"Обнаружен запрещённый символ '?'"), std::wstring::npos);
  EXPECT_TRUE(fakes.createdPaths.empty());

  fakes.creationAnswer = ERROR_PATH_NOT_FOUND;
  EXPECT_EQ(MaskLines(Thrown([&] { MainFile::SymbolicLink(target, Path(L"Links\\Data")); })),
            Report(kSymbolicLink, L"Не создан для символьной ссылки каталог:\n\"" +
                                      Path(L"Links\\") + L"\""));
  EXPECT_TRUE(fakes.linkRequests.empty());

  fakes = Fakes();
  const std::wstring link = Path(L"Links\\Deeper\\Data");
  // Success from the system with no link there (Wine's answer) is none.
  EXPECT_FALSE(MainFile::SymbolicLink(target, link));
  EXPECT_EQ(fakes.createdPaths, std::vector<std::wstring>{Path(L"Links\\Deeper\\")});
  ASSERT_EQ(fakes.linkRequests.size(), 1u);
  const LinkRequest& seen = fakes.linkRequests[0];
  EXPECT_EQ(seen.creationsBefore, 1u);
  EXPECT_EQ(seen.link, link);
  EXPECT_EQ(seen.target, target);
  EXPECT_EQ(seen.flags, static_cast<DWORD>(SYMBOLIC_LINK_FLAG_DIRECTORY));
  // The system's refusal of the link itself is an answer, not a report.
  fakes.linkAnswer = FALSE;
  EXPECT_FALSE(MainFile::SymbolicLink(target, link));
}


TEST_F(FileOps, ClearingGoesOnPastAFailedEntryAndAnswersFalse) {
  const std::wstring dir = MakeDir(L"Data"), stuck = MakeFile(L"Data\\Stuck\\b.txt");
  const auto makeFiles = [this] {
    for (const wchar_t* file : {L"Data\\a.txt", L"Data\\Sub\\c.txt"}) MakeFile(file);
  };
  makeFiles();
  // Read-only files are removed like any other; one that stays keeps its
  // attributes.
  for (const std::wstring& file : {Path(L"Data\\a.txt"), stuck})
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  const DWORD attributes = GetFileAttributesW(stuck.c_str());
  RefuseOnly(stuck);
  EXPECT_FALSE(Utils::Path::ClearFromFiles(dir + L"\\"));
  EXPECT_EQ(fakes.shellRequests.size(), 3u);  // one per file
  EXPECT_EQ(GetFileAttributesW(stuck.c_str()), attributes);
  EXPECT_FALSE(Exists(Path(L"Data\\a.txt")));
  EXPECT_FALSE(Exists(Path(L"Data\\Sub\\c.txt")));
  EXPECT_TRUE(Exists(Path(L"Data\\Sub")));

  // Every directory is removed on its own before the files: a.txt comes
  // after the refused Stuck.
  makeFiles();
  fakes.shellRequests.clear();
  RefuseOnly(Path(L"Data\\Stuck"));
  EXPECT_FALSE(Utils::Path::ClearContents(dir));
  EXPECT_EQ(fakes.shellRequests.size(), 3u);  // Stuck, Sub, a.txt
  EXPECT_FALSE(Exists(Path(L"Data\\Sub")));
  EXPECT_FALSE(Exists(Path(L"Data\\a.txt")));
  EXPECT_TRUE(Exists(stuck));
}

}  // namespace
