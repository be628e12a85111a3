// The shell, directory and link calls of the file unit, replaced through its
// seam: the exact request handed to the shell, every answer the shell can
// give (including the ones Wine never gives), the creation codes, the link
// checks, the refusal of paths that reach further than they name, and
// clearing that goes on past a failed entry.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "ReportTesting.h"
#include "utils/Utils.File.h"

namespace {

using ReportTesting::MaskLines;
using ReportTesting::Thrown;
using ReportTesting::WcoutCapture;
using Utils::FileSystemCalls;
using Utils::ScopedCalls;
namespace MainFile = Utils::MainFile;

const std::wstring kUnit = L"utils/Utils.File.cpp";
const std::wstring kMethod = L"Ошибка в методе \"";
const std::wstring kString =
    L"const class std::basic_string<wchar_t,struct std::char_traits<wchar_t>,"
    L"class std::allocator<wchar_t> > &";
const std::wstring kFileOperation = L"bool __cdecl Utils::MainFile::FileOperation(" +
                                    kString + L"," + kString + L",const unsigned short)";
const std::wstring kSymbolicLink = L"bool __cdecl Utils::MainFile::SymbolicLink(" + kString +
                                   L"," + kString + L",const bool)";
const std::wstring kClearContents = L"bool __cdecl Utils::Path::ClearContents(" + kString + L")";
const std::wstring kClearFromFiles =
    L"bool __cdecl Utils::Path::ClearFromFiles(" + kString + L")";

std::wstring Report(const std::wstring& signature, const std::wstring& message) {
  return ReportTesting::Header(kMethod, signature, kUnit) + L"\n" + message + L"\n";
}

// What the fake shell saw, copied while the request was alive.
struct SeenRequest {
  HWND window = reinterpret_cast<HWND>(1);
  UINT wFunc = 0;
  std::vector<wchar_t> from;  // up to and including the list's double null
  std::vector<wchar_t> to;
  bool toIsNull = false;
  FILEOP_FLAGS flags = 0;
  BOOL abortedBefore = FALSE;
  bool mappingsNull = false;
  bool titleNull = false;
};

std::vector<wchar_t> ListOf(const wchar_t* list) {
  std::vector<wchar_t> copy;
  for (std::size_t i = 0;; ++i) {
    copy.push_back(list[i]);
    if (i > 0 && list[i] == L'\0' && list[i - 1] == L'\0') return copy;
  }
}

std::vector<wchar_t> Expected(const std::wstring& name) {
  std::vector<wchar_t> list(name.begin(), name.end());
  list.push_back(L'\0');
  list.push_back(L'\0');
  return list;
}

// The shell's behaviour for the test in hand; one test at a time.
struct FakeShell {
  static std::vector<SeenRequest> seen;
  static int answer;
  static BOOL abortedAfter;  // -1: leave the field as the caller set it
  static std::function<int(LPSHFILEOPSTRUCTW)> behaviour;

  static int WINAPI Call(LPSHFILEOPSTRUCTW request) {
    SeenRequest s;
    s.window = request->hwnd;
    s.wFunc = request->wFunc;
    s.from = ListOf(request->pFrom);
    s.toIsNull = request->pTo == nullptr;
    if (!s.toIsNull) s.to = ListOf(request->pTo);
    s.flags = request->fFlags;
    s.abortedBefore = request->fAnyOperationsAborted;
    s.mappingsNull = request->hNameMappings == nullptr;
    s.titleNull = request->lpszProgressTitle == nullptr;
    seen.push_back(s);
    if (behaviour) return behaviour(request);
    if (abortedAfter != -1) request->fAnyOperationsAborted = abortedAfter;
    return answer;
  }
};
std::vector<SeenRequest> FakeShell::seen;
int FakeShell::answer = 0;
BOOL FakeShell::abortedAfter = FALSE;
std::function<int(LPSHFILEOPSTRUCTW)> FakeShell::behaviour;

struct FakeCreation {
  static std::vector<std::wstring> paths;
  static bool windowAndSecurityNull;
  static int answer;  // -1: the real call
  static int WINAPI Call(HWND window, LPCWSTR path, const SECURITY_ATTRIBUTES* security) {
    paths.push_back(path);
    windowAndSecurityNull = windowAndSecurityNull && window == nullptr && security == nullptr;
    if (answer == -1) return SHCreateDirectoryExW(window, path, security);
    return answer;
  }
};
std::vector<std::wstring> FakeCreation::paths;
bool FakeCreation::windowAndSecurityNull = true;
int FakeCreation::answer = 0;

struct FakeLink {
  struct Seen {
    std::wstring link, target;
    DWORD flags;
  };
  static std::vector<Seen> seen;
  static BOOLEAN answer;
  static BOOLEAN WINAPI Call(LPCWSTR link, LPCWSTR target, DWORD flags) {
    seen.push_back({link, target, flags});
    return answer;
  }
};
std::vector<FakeLink::Seen> FakeLink::seen;
BOOLEAN FakeLink::answer = TRUE;

std::wstring TempBase() {
  wchar_t temp[MAX_PATH + 1] = {};
  return std::wstring(temp, GetTempPathW(MAX_PATH + 1, temp));
}

// Removes a link-free tree with plain Win32 calls.
void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW record;
  const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &record);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = record.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(child);
      else
        DeleteFileW(child.c_str());
    } while (FindNextFileW(search, &record));
    FindClose(search);
  }
  RemoveDirectoryW(path.c_str());
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Every test starts with fakes that record and succeed, in a scratch
// directory of its own; the real calls come back however the test ends.
class FileOps : public ::testing::Test {
 protected:
  FileOps() : calls_(FileSystemCalls{&FakeShell::Call, &FakeCreation::Call, &FakeLink::Call}) {}

  void SetUp() override {
    FakeShell::seen.clear();
    FakeShell::answer = 0;
    FakeShell::abortedAfter = FALSE;
    FakeShell::behaviour = nullptr;
    FakeCreation::paths.clear();
    FakeCreation::windowAndSecurityNull = true;
    FakeCreation::answer = 0;
    FakeLink::seen.clear();
    FakeLink::answer = TRUE;
    static std::atomic<int> counter{0};
    root_ = TempBase() + L"sf-files-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
    ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr)) << GetLastError();
  }
  void TearDown() override {
    FakeShell::behaviour = nullptr;
    RemoveTree(root_);
  }

  std::wstring Path(const std::wstring& relative) const { return root_ + L"\\" + relative; }
  std::wstring MakeDir(const std::wstring& relative) {
    std::wstring path = root_;
    std::size_t begin = 0;
    for (;;) {
      const std::size_t slash = relative.find(L'\\', begin);
      path = root_ + L"\\" + relative.substr(0, slash);
      CreateDirectoryW(path.c_str(), nullptr);
      if (slash == std::wstring::npos) break;
      begin = slash + 1;
    }
    EXPECT_TRUE(Exists(path)) << relative;
    return path;
  }
  std::wstring MakeFile(const std::wstring& relative) {
    const std::size_t slash = relative.rfind(L'\\');
    if (slash != std::wstring::npos) MakeDir(relative.substr(0, slash));
    const HANDLE file = CreateFileW(Path(relative).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << relative;
    CloseHandle(file);
    return Path(relative);
  }

  ScopedCalls calls_;
  std::wstring root_;
};

// --- the request -------------------------------------------------------------

TEST_F(FileOps, RequestCarriesTheFixedFieldsAndBothListsUntouched) {
  // A trailing backslash and a wildcard reach the shell as given.
  const std::wstring from = L"C:\\Data\\Sub\\";
  const std::wstring to = L"D:\\Backup\\*.txt";
  for (const unsigned short wFunc : {FO_MOVE, FO_COPY, FO_RENAME}) {
    FakeShell::seen.clear();
    EXPECT_TRUE(MainFile::FileOperation(from, to, wFunc));
    ASSERT_EQ(FakeShell::seen.size(), 1u);
    const SeenRequest& r = FakeShell::seen[0];
    EXPECT_EQ(r.wFunc, wFunc);
    EXPECT_EQ(r.window, nullptr);
    EXPECT_EQ(r.flags, 0x0615);
    EXPECT_EQ(r.abortedBefore, TRUE);
    EXPECT_TRUE(r.mappingsNull);
    EXPECT_TRUE(r.titleNull);
    EXPECT_EQ(r.from, Expected(from));
    ASSERT_FALSE(r.toIsNull);
    EXPECT_EQ(r.to, Expected(to));
  }
}

TEST_F(FileOps, DeleteHandsNoDestinationWhateverWasPassed) {
  const std::wstring from = L"C:\\sf-nowhere\\Data\\*";
  EXPECT_TRUE(MainFile::FileOperation(from, L"C:\\Elsewhere", FO_DELETE));
  EXPECT_TRUE(MainFile::DeleteOperation(from));
  ASSERT_EQ(FakeShell::seen.size(), 2u);
  for (const SeenRequest& r : FakeShell::seen) {
    EXPECT_EQ(r.wFunc, static_cast<UINT>(FO_DELETE));
    EXPECT_TRUE(r.toIsNull);
    EXPECT_EQ(r.from, Expected(from));
    EXPECT_EQ(r.flags, 0x0615);
  }
}

TEST_F(FileOps, TextAfterAnEmbeddedNullNeverBecomesASecondName) {
  const std::wstring from(L"C:\\sf-nowhere\\a\0C:\\", 18);
  ASSERT_EQ(from.size(), 18u);
  EXPECT_TRUE(MainFile::DeleteOperation(from));
  ASSERT_EQ(FakeShell::seen.size(), 1u);
  EXPECT_EQ(FakeShell::seen[0].from, Expected(L"C:\\sf-nowhere\\a"));
}

// --- the answer --------------------------------------------------------------

TEST_F(FileOps, SuccessOnlyWithZeroAndTheAbortedFlagCleared) {
  EXPECT_TRUE(MainFile::FileOperation(L"C:\\a", L"C:\\b", FO_COPY));

  FakeShell::abortedAfter = TRUE;  // the user or a hook cancelled part of it
  EXPECT_FALSE(MainFile::FileOperation(L"C:\\a", L"C:\\b", FO_COPY));

  FakeShell::abortedAfter = -1;  // the shell never wrote the flag
  EXPECT_FALSE(MainFile::FileOperation(L"C:\\a", L"C:\\b", FO_COPY));

  FakeShell::abortedAfter = FALSE;
  for (const int refusal : {1, 2, 3, 5, 0x71, 0x7C, 0x402, 0x10000, 0x4C7, -1}) {
    FakeShell::answer = refusal;
    EXPECT_FALSE(MainFile::FileOperation(L"C:\\a", L"C:\\b", FO_MOVE)) << refusal;
    EXPECT_FALSE(MainFile::DeleteOperation(L"C:\\sf-nowhere\\a")) << refusal;
  }
}

TEST_F(FileOps, UnknownOperationCodeIsReportedAndNothingIsCalled) {
  for (const unsigned short wFunc : {0, 5, 7, 65535}) {
    const std::wstring report =
        Thrown([&] { MainFile::FileOperation(L"C:\\a", L"C:\\b", wFunc); });
    EXPECT_EQ(MaskLines(report),
              Report(kFileOperation, L"Неверно выбран параметр выбора операции.\r\nwFunc = " +
                                         std::to_wstring(wFunc)));
  }
  EXPECT_TRUE(FakeShell::seen.empty());
}

// --- paths that reach further than they name ---------------------------------

TEST_F(FileOps, SourcesThatAreNotBelowARootAreRefusedBeforeTheShell) {
  const std::wstring unanchored =
      L"Путь задан не полностью (нужен путь от буквы диска или от сетевого ресурса):\n\"";
  const std::wstring root = L"Операция над корневым каталогом запрещена:\n\"";
  struct Case {
    const wchar_t* path;
    const std::wstring& message;
  };
  const Case cases[] = {
      {L"", unanchored},           {L"Data", unanchored},
      {L"Data\\Sub", unanchored},  {L".", unanchored},
      {L"C:", unanchored},         {L"C:Data", unanchored},
      {L"\\", unanchored},         {L"\\Data", unanchored},
      {L"\\\\.\\C:\\Data", unanchored}, {L"\\\\?\\Volume{0}\\x", unanchored},
      {L"C:\\", root},             {L"c:/", root},
      {L"C:\\\\", root},           {L"C:\\*", root},
      {L"C:\\*.*", root},          {L"C:\\Data\\..", root},
      {L"C:\\Data\\..\\*", root},  {L"C:\\Data\\..\\..\\", root},
      {L"C:\\. ", root},           {L"\\\\server\\share", root},
      {L"\\\\server\\share\\", root}, {L"\\\\server", root},
      {L"\\\\server\\share\\*", root}, {L"\\\\?\\C:\\", root},
      {L"\\\\?\\UNC\\server\\share\\", root},
  };
  for (const unsigned short wFunc : {FO_MOVE, FO_COPY, FO_DELETE, FO_RENAME}) {
    for (const Case& c : cases) {
      const std::wstring report =
          Thrown([&] { MainFile::FileOperation(c.path, L"D:\\Target", wFunc); });
      EXPECT_EQ(MaskLines(report), Report(kFileOperation, c.message + c.path + L"\""))
          << "wFunc " << wFunc << ": " << c.path;
    }
  }
  EXPECT_TRUE(FakeShell::seen.empty());
}

TEST_F(FileOps, FullPathsBelowARootPass) {
  for (const wchar_t* path :
       {L"C:\\Data", L"c:/Data/Sub", L"C:\\Data\\*", L"C:\\Data\\..\\Other",
        L"\\\\server\\share\\Data", L"\\\\?\\C:\\Data", L"\\\\?\\UNC\\server\\share\\x"}) {
    FakeShell::seen.clear();
    EXPECT_TRUE(MainFile::FileOperation(path, L"D:\\Target", FO_COPY)) << path;
    ASSERT_EQ(FakeShell::seen.size(), 1u) << path;
    EXPECT_EQ(FakeShell::seen[0].from, Expected(path));
  }
}

TEST_F(FileOps, DestinationMustBeAFullPathAndMayBeARoot) {
  for (const wchar_t* to : {L"", L"Target", L"C:Target", L"\\Target"}) {
    const std::wstring report =
        Thrown([&] { MainFile::FileOperation(L"C:\\Data", to, FO_COPY); });
    EXPECT_NE(report.find(L"Путь задан не полностью"), std::wstring::npos) << to;
    EXPECT_NE(report.find(L"\"" + std::wstring(to) + L"\"\n"), std::wstring::npos) << to;
  }
  EXPECT_TRUE(FakeShell::seen.empty());
  EXPECT_TRUE(MainFile::FileOperation(L"C:\\Data", L"D:\\", FO_COPY));
  EXPECT_TRUE(MainFile::FileOperation(L"C:\\Data", L"\\\\server\\share", FO_MOVE));
  EXPECT_EQ(FakeShell::seen.size(), 2u);
}

// --- directory creation ------------------------------------------------------

TEST_F(FileOps, CreatePathCountsOnlyAnExistingDirectoryAsSuccess) {
  const std::wstring directory = MakeDir(L"there");
  const std::wstring file = MakeFile(L"file.txt");
  const std::wstring missing = Path(L"missing");

  FakeCreation::answer = 0;
  EXPECT_TRUE(MainFile::CreatePath(missing));
  for (const int exists : {80, 183}) {
    FakeCreation::answer = exists;
    EXPECT_TRUE(MainFile::CreatePath(directory)) << exists;
    EXPECT_TRUE(MainFile::CreatePath(directory + L"\\")) << exists;
    // "Already exists" for a file of that name is no directory.
    EXPECT_FALSE(MainFile::CreatePath(file)) << exists;
    EXPECT_FALSE(MainFile::CreatePath(missing)) << exists;
  }
  for (const int refusal : {3, 5, 161, 206, 1223, 0x7FFFFFFF}) {
    FakeCreation::answer = refusal;
    EXPECT_FALSE(MainFile::CreatePath(directory)) << refusal;
  }
  EXPECT_TRUE(FakeCreation::windowAndSecurityNull);
  ASSERT_FALSE(FakeCreation::paths.empty());
  EXPECT_EQ(FakeCreation::paths[0], missing);
}

// --- symbolic links ----------------------------------------------------------

TEST_F(FileOps, MissingTargetIsReportedBeforeTheLinkIsLookedAt) {
  const std::wstring target = Path(L"no-such-target");
  WcoutCapture out;
  const std::wstring report =
      Thrown([&] { MainFile::SymbolicLink(target, Path(L"Links\\a?b")); });
  EXPECT_EQ(MaskLines(report),
            Report(kSymbolicLink, L"Отсутсвует исходный путь:\n\"" + target + L"\""));
  EXPECT_TRUE(out.Text().empty()) << "the link path was validated";
  EXPECT_TRUE(FakeCreation::paths.empty());
  EXPECT_TRUE(FakeLink::seen.empty());
}

TEST_F(FileOps, ForbiddenCharacterInTheLinkCreatesNothing) {
  const std::wstring target = MakeDir(L"Data");
  WcoutCapture out;
  const std::wstring report =
      Thrown([&] { MainFile::SymbolicLink(target, Path(L"Links\\a?b")); });
  EXPECT_NE(report.find(L"Обнаружен запрещённый символ '?'"), std::wstring::npos) << report;
  EXPECT_NE(out.Text().find(report), std::wstring::npos);
  EXPECT_TRUE(FakeCreation::paths.empty());
  EXPECT_TRUE(FakeLink::seen.empty());
}

TEST_F(FileOps, LinkParentIsCreatedFirstThenTheDirectoryLinkIsAskedFor) {
  const std::wstring target = MakeDir(L"Data");
  const std::wstring link = Path(L"Links\\Deeper\\Data");
  EXPECT_TRUE(MainFile::SymbolicLink(target, link));
  ASSERT_EQ(FakeCreation::paths.size(), 1u);
  EXPECT_EQ(FakeCreation::paths[0], Path(L"Links\\Deeper\\"));
  ASSERT_EQ(FakeLink::seen.size(), 1u);
  EXPECT_EQ(FakeLink::seen[0].link, link);
  EXPECT_EQ(FakeLink::seen[0].target, target);
  EXPECT_EQ(FakeLink::seen[0].flags, static_cast<DWORD>(SYMBOLIC_LINK_FLAG_DIRECTORY));

  // A refusal of the link itself is an answer, not a report.
  FakeLink::answer = FALSE;
  EXPECT_FALSE(MainFile::SymbolicLink(target, link));

  // A file as target passes the check and still gets the directory flag.
  FakeLink::answer = TRUE;
  const std::wstring file = MakeFile(L"file.txt");
  EXPECT_TRUE(MainFile::SymbolicLink(file, Path(L"Links\\ToFile")));
  EXPECT_EQ(FakeLink::seen.back().target, file);
  EXPECT_EQ(FakeLink::seen.back().flags, static_cast<DWORD>(SYMBOLIC_LINK_FLAG_DIRECTORY));
}

TEST_F(FileOps, ParentThatCannotBeMadeIsReportedAndNoLinkIsAskedFor) {
  const std::wstring target = MakeDir(L"Data");
  for (const int refusal : {3, 5, 161, 206}) {
    FakeCreation::answer = refusal;
    const std::wstring report =
        Thrown([&] { MainFile::SymbolicLink(target, Path(L"Links\\Data")); });
    EXPECT_EQ(MaskLines(report),
              Report(kSymbolicLink, L"Не создан для символьной ссылки каталог:\n\"" +
                                        Path(L"Links\\") + L"\""))
        << refusal;
  }
  // A file where the parent should be: "already exists" is no parent.
  MakeFile(L"Blocked");
  FakeCreation::answer = 183;
  const std::wstring report =
      Thrown([&] { MainFile::SymbolicLink(target, Path(L"Blocked\\Data")); });
  EXPECT_NE(report.find(L"\"" + Path(L"Blocked\\") + L"\""), std::wstring::npos) << report;
  EXPECT_TRUE(FakeLink::seen.empty());
}

TEST_F(FileOps, LinkWithoutABackslashMakesNoDirectoryOfItsOwnName) {
  const std::wstring target = MakeDir(L"Data");
  EXPECT_TRUE(MainFile::SymbolicLink(target, L"JustAName"));
  EXPECT_TRUE(FakeCreation::paths.empty());
  ASSERT_EQ(FakeLink::seen.size(), 1u);
  EXPECT_EQ(FakeLink::seen[0].link, L"JustAName");
}

// --- clearing ----------------------------------------------------------------

// The real shell for everything but the names given, which it refuses.
void RefuseOnly(std::vector<std::wstring> refused) {
  FakeShell::behaviour = [refused](LPSHFILEOPSTRUCTW request) {
    for (const std::wstring& name : refused)
      if (name == request->pFrom) return 5;
    return SHFileOperationW(request);
  };
}

TEST_F(FileOps, ClearContentsRemovesEachEntryOnItsOwnAndGoesOnPastAFailure) {
  const std::wstring dir = MakeDir(L"Data");
  MakeFile(L"Data\\a.txt");
  MakeFile(L"Data\\b.txt");
  MakeFile(L"Data\\Sub\\c.txt");
  MakeFile(L"Data\\Stuck\\d.txt");
  MakeFile(L"Sibling\\keep.txt");
  RefuseOnly({Path(L"Data\\Stuck")});

  EXPECT_FALSE(Utils::Path::ClearContents(dir));
  EXPECT_FALSE(Exists(Path(L"Data\\a.txt")));
  EXPECT_FALSE(Exists(Path(L"Data\\b.txt")));
  EXPECT_FALSE(Exists(Path(L"Data\\Sub")));
  EXPECT_TRUE(Exists(Path(L"Data\\Stuck\\d.txt")));
  EXPECT_TRUE(Exists(Path(L"Sibling\\keep.txt")));
  EXPECT_TRUE(Exists(dir));
  // One request per entry: Sub, Stuck, a.txt, b.txt.
  EXPECT_EQ(FakeShell::seen.size(), 4u);
  for (const SeenRequest& r : FakeShell::seen) EXPECT_EQ(r.wFunc, static_cast<UINT>(FO_DELETE));
}

TEST_F(FileOps, ClearFromFilesKeepsDirectoriesAndGoesOnPastAFailure) {
  const std::wstring dir = MakeDir(L"Data");
  MakeFile(L"Data\\a.txt");
  MakeFile(L"Data\\Sub\\b.txt");
  MakeFile(L"Data\\Sub\\Deeper\\c.txt");
  // Read-only files go too; one that stays keeps its attribute.
  for (const wchar_t* readOnly : {L"Data\\a.txt", L"Data\\Sub\\b.txt"})
    ASSERT_TRUE(SetFileAttributesW(Path(readOnly).c_str(),
                                   FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  const std::wstring stays = Path(L"Data\\Sub\\b.txt");
  const DWORD attributes = GetFileAttributesW(stays.c_str());
  ASSERT_TRUE(attributes & FILE_ATTRIBUTE_READONLY);
  RefuseOnly({stays});

  EXPECT_FALSE(Utils::Path::ClearFromFiles(dir + L"\\"));
  EXPECT_FALSE(Exists(Path(L"Data\\a.txt")));
  EXPECT_EQ(GetFileAttributesW(stays.c_str()), attributes);
  EXPECT_FALSE(Exists(Path(L"Data\\Sub\\Deeper\\c.txt")));
  EXPECT_TRUE(Exists(Path(L"Data\\Sub\\Deeper")));
  EXPECT_EQ(FakeShell::seen.size(), 3u);

  FakeShell::behaviour = nullptr;
  FakeShell::seen.clear();
  EXPECT_TRUE(Utils::Path::ClearFromFiles(dir));  // the fake now answers success
  EXPECT_EQ(FakeShell::seen.size(), 1u);
}

TEST_F(FileOps, ClearingWhatIsNotADirectoryBelowARootRemovesNothing) {
  const std::wstring file = MakeFile(L"file.txt");
  const std::wstring missing = Path(L"missing");
  using Clear = bool (*)(const std::wstring&);
  const std::pair<Clear, const std::wstring*> clears[] = {
      {Utils::Path::ClearContents, &kClearContents},
      {Utils::Path::ClearFromFiles, &kClearFromFiles}};
  for (const auto& clear : clears) {
    for (const std::wstring& path : {file, missing}) {
      EXPECT_EQ(MaskLines(Thrown([&] { clear.first(path); })),
                Report(*clear.second, L"Путь\r\n\"" + path + L"\"\r\n не является каталогом!"));
    }
    for (const wchar_t* path : {L"C:\\", L"C:\\Data\\..", L"", L"Data"}) {
      const std::wstring report = Thrown([&] { clear.first(path); });
      EXPECT_NE(report.find(*clear.second), std::wstring::npos) << path;
      EXPECT_EQ(report.find(L"не является каталогом"), std::wstring::npos) << report;
    }
  }
  EXPECT_TRUE(FakeShell::seen.empty());
  EXPECT_TRUE(Exists(file));
}

// --- the seam itself ---------------------------------------------------------

TEST(FileOpsSeam, ScopedCallsPutsTheRealCallsBack) {
  const FileSystemCalls real = Utils::RealCalls();
  EXPECT_EQ(real.fileOperation, &SHFileOperationW);
  EXPECT_EQ(real.createDirectory, &SHCreateDirectoryExW);
  EXPECT_EQ(real.createSymbolicLink, &CreateSymbolicLinkW);
  {
    ScopedCalls fake(FileSystemCalls{&FakeShell::Call, &FakeCreation::Call, &FakeLink::Call});
    EXPECT_EQ(Utils::Calls().fileOperation, &FakeShell::Call);
  }
  EXPECT_EQ(Utils::Calls().fileOperation, real.fileOperation);
  EXPECT_EQ(Utils::Calls().createDirectory, real.createDirectory);
  EXPECT_EQ(Utils::Calls().createSymbolicLink, real.createSymbolicLink);
}

}  // namespace
