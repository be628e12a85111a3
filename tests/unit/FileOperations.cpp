// The file unit with its shell, directory and link calls replaced through its
// seam, so that answers Wine never gives can be given and every request seen.
#include <shlobj.h>

#include <cwchar>
#include <filesystem>
#include <fstream>

#include "ReportTesting.h"
#include "utils/files/Utils.File.Calls.h"
#include "utils/files/Utils.File.h"
#include "utils/runtime/Utils.Handle.h"

namespace {

using namespace ReportTesting;
namespace MainFile = Utils::MainFile;

// The message of the report that a refused request throws, which names FileOperation.
std::wstring Refusal(const std::wstring& from, const std::wstring& to, unsigned short wFunc) {
  const std::wstring report = Thrown([&] { MainFile::FileOperation(from, to, wFunc); });
  EXPECT_EQ(report.rfind(L"Ошибка в методе \"bool __cdecl Utils::MainFile::FileOperation(", 0), 0u) << report;
  return report.substr(report.find(L"\r\n\n") + 3);
}
// A shell name list, which must hold one name closed by a double null; "-" for none.
std::wstring Names(const wchar_t* list) {
  EXPECT_TRUE(list == nullptr || list[std::wcslen(list) + 1] == L'\0')
      << "not one name closed by a double null";
  return list == nullptr ? L"-" : list;
}
std::wstring Request(UINT wFunc, const std::wstring& from, const std::wstring& to) {
  return std::to_wstring(wFunc) + L"|" + from + L"|" + to;
}

// What the fakes were asked and what they answer; a fresh one for every test.
struct Fakes {
  std::vector<std::wstring> shellRequests, createdPaths,
      links;  // links with their target and creations before
  // Success, with a named destination made, as the checks after the shell look for it.
  std::function<int(SHFILEOPSTRUCTW&)> shellAnswer = [](SHFILEOPSTRUCTW& request) {
    request.fAnyOperationsAborted = FALSE;
    if (request.pTo != nullptr && !std::wcspbrk(request.pTo, L"*?"))
      SHCreateDirectoryExW(nullptr, request.pTo, nullptr);
    return 0;
  };
  int creationAnswer = 0;
  BOOLEAN linkAnswer = TRUE;
} fakes;

// The fixed fields are the same for every request, so every call checks them.
int WINAPI FakeShell(LPSHFILEOPSTRUCTW request) {
  EXPECT_TRUE(request->hwnd == nullptr && request->fFlags == 0x0615);
  EXPECT_EQ(request->fAnyOperationsAborted, TRUE) << "the aborted flag must start set";
  fakes.shellRequests.push_back(Request(request->wFunc, Names(request->pFrom), Names(request->pTo)));
  return fakes.shellAnswer(*request);
}
int WINAPI FakeCreation(HWND window, LPCWSTR path, const SECURITY_ATTRIBUTES* security) {
  EXPECT_TRUE(window == nullptr && security == nullptr);
  fakes.createdPaths.push_back(path);
  if (fakes.creationAnswer == 0) SHCreateDirectoryExW(nullptr, path, nullptr);
  return fakes.creationAnswer;
}
BOOLEAN WINAPI FakeLink(LPCWSTR link, LPCWSTR target, DWORD flags) {
  EXPECT_EQ(flags, DWORD(SYMBOLIC_LINK_FLAG_DIRECTORY));
  fakes.links.push_back(std::wstring(link) + L">" + target + L"@" +
                        std::to_wstring(fakes.createdPaths.size()));
  return fakes.linkAnswer;
}
int RealShell(SHFILEOPSTRUCTW& request) { return SHFileOperationW(&request); }

// Every test starts with fakes that record and succeed, in a scratch
// directory of its own; the real calls come back however the test ends.
class FileOps : public ::testing::Test {
 protected:
  void SetUp() override {
    fakes = Fakes();
    ASSERT_TRUE(std::filesystem::create_directories(root_)) << "left over";
  }
  void TearDown() override { std::filesystem::remove_all(root_); }
  std::wstring Path(const std::wstring& relative) const { return root_ + L"\\" + relative; }
  std::wstring MakeDir(const std::wstring& name) const {
    std::filesystem::create_directories(Path(name));
    return Path(name);
  }
  std::wstring MakeFile(const std::wstring& name) const {
    std::ofstream{std::filesystem::path(Path(name))};
    return Path(name);
  }

  Utils::ScopedCalls calls_{Utils::FileSystemCalls{&FakeShell, &FakeCreation, &FakeLink, &FindFirstFileExW, &FindNextFileW}};
  const std::wstring root_ =
      std::filesystem::temp_directory_path() / (L"sf-files-" + std::to_wstring(GetCurrentProcessId()));
};

TEST_F(FileOps, SuccessOnlyWithZeroAndTheAbortedFlagCleared) {
  const int kLeaveFlag = -1;  // the shell never wrote the flag: it stays set
  const struct {
    int answer, abortedAfter;
    bool success;
  } cases[] = {{0, FALSE, true}, {0, TRUE, false}, {0, kLeaveFlag, false}, {5, FALSE, false}};
  const std::wstring from = MakeDir(L"a"), to = MakeDir(L"b");
  for (const auto& c : cases) {
    fakes.shellAnswer = [&c](SHFILEOPSTRUCTW& request) {
      const BOOL preset = request.fAnyOperationsAborted;
      const int done = RealShell(request);  // the work itself is always done
      request.fAnyOperationsAborted = c.abortedAfter == kLeaveFlag ? preset : c.abortedAfter;
      return done == 0 ? c.answer : done;
    };
    EXPECT_EQ(bool(MainFile::FileOperation(from, to, FO_COPY)), c.success) << c.answer << "/" << c.abortedAfter;
  }
}

TEST_F(FileOps, BadRequestsAreRefusedBeforeTheShell) {
  for (const unsigned short wFunc : {0, 5})
    EXPECT_EQ(Refusal(L"C:\\a", L"C:\\b", wFunc),
              L"Неверно выбран параметр выбора операции.\r\nwFunc = " + std::to_wstring(wFunc) + L"\n");
  const std::wstring unanchored =
                         L"Путь задан не полностью (нужен путь от буквы диска или от сетевого ресурса):\n\"",
                     root = L"Операция над корневым каталогом запрещена:\n\"";
  const std::pair<std::wstring, const wchar_t*> refusals[] = {{unanchored, L"Data"},
                                                              {unanchored, L"C:Data"},
                                                              {unanchored, L"\\Data"},
                                                              {unanchored, L"\\\\.\\C:\\Data"},
                                                              {root, L"c:/"},
                                                              {root, L"C:\\*.*"},
                                                              {root, L"C:\\Data\\..\\*"},
                                                              {root, L"C:\\. "},
                                                              {root, L"\\\\server\\share\\*"},
                                                              {root, L"\\\\?\\C:\\"},
                                                              {root, L"\\\\?\\UNC\\server\\share\\"}};
  for (const auto& [message, path] : refusals)
    for (const unsigned short wFunc : {FO_MOVE, FO_DELETE})
      EXPECT_EQ(Refusal(path, L"D:\\", wFunc), message + path + L"\"\n") << wFunc << ": " << path;
  // A destination must be anchored too, but may be a root.
  EXPECT_EQ(Refusal(L"C:\\Data", L"C:Target", FO_COPY), unanchored + L"C:Target\"\n");
  // Names too long for the shell never reach it: some shells overrun their buffers on them.
  const std::wstring longest = Path(std::wstring(MAX_PATH - 1 - Path(L"").size(), L'n')),
                     data = MakeDir(L"Data");
  for (const std::wstring& tooLong : {longest + L"n", longest + std::wstring(32000, L'n')})
    EXPECT_FALSE(MainFile::FileOperation(tooLong, Path(L"to"), FO_COPY) ||
                 MainFile::DeleteOperation(tooLong) || MainFile::FileOperation(data, tooLong, FO_COPY));
  ASSERT_TRUE(fakes.shellRequests.empty());
  MakeFile(longest.substr(root_.size() + 1));
  fakes.shellAnswer = RealShell;
  EXPECT_TRUE(MainFile::DeleteOperation(longest)) << "a name of MAX_PATH - 1 characters is the longest";
  EXPECT_EQ(fakes.shellRequests, std::vector<std::wstring>{Request(FO_DELETE, longest, L"-")});
}

// Some shells answer success for what they did not do: a copy or move of
// nothing, to nowhere or into itself or onto itself (decided by identity,
// whatever letters lead there, and never asked for: its parent holds it
// already), a delete that left the entry, a move that only copied. A
// case-only rename and siblings are asked for.
TEST_F(FileOps, SuccessIsWhatIsFoundOnDiskAfterwards) {
  const std::wstring data = MakeDir(L"Data");
  MakeDir(L"Data\\Sub");
  MakeFile(L"Data\\a.txt");
  EXPECT_FALSE(MainFile::FileOperation(Path(L"Missing"), Path(L"To"), FO_COPY) ||
               MainFile::FileOperation(Path(L"Missing*"), Path(L"To"), FO_COPY) ||
               MainFile::DeleteOperation(Path(L"Missing*")));
  for (const std::wstring& into :
       {data, data + L"\\Sub", Path(L"DATA\\sub\\x"), Path(L"Other\\..\\Data\\Sub"), root_})
    EXPECT_FALSE(MainFile::FileOperation(data, into, FO_COPY) ||
                 MainFile::FileOperation(data + L"\\", into, FO_MOVE))
        << into;
  EXPECT_TRUE(fakes.shellRequests.empty());
  fakes.shellAnswer = [](SHFILEOPSTRUCTW& request) {
    request.fAnyOperationsAborted = FALSE;
    return 0;
  };  // made nothing
  for (const std::wstring& elsewhere : {Path(L"DATA"), Path(L"Data2"), Path(L"Data.bak")})
    EXPECT_FALSE(MainFile::FileOperation(data, elsewhere, FO_MOVE)) << elsewhere;
  EXPECT_FALSE(MainFile::FileOperation(data, Path(L"To"), FO_COPY) || MainFile::DeleteOperation(data));
  fakes.shellAnswer = [](SHFILEOPSTRUCTW& request) {
    request.wFunc = FO_COPY;
    return RealShell(request);
  };  // only copied
  EXPECT_FALSE(MainFile::FileOperation(data, Path(L"Moved"), FO_MOVE));
  EXPECT_TRUE(GetFileAttributesW(Path(L"Moved\\a.txt").c_str()) != INVALID_FILE_ATTRIBUTES)
      << "the copy was made";
  EXPECT_EQ(fakes.shellRequests.size(), 6u);
}

// "C:" alone names the folder current on that drive, not its root.
TEST_F(FileOps, ADrivesRootReachesTheShellAsItsRoot) {
  MakeDir(L"Data");
  const std::wstring file = MakeFile(L"Data\\a.txt"), root = root_.substr(0, 3);
  MainFile::FileOperation(file, root, FO_COPY);
  EXPECT_EQ(fakes.shellRequests, std::vector<std::wstring>{Request(FO_COPY, file, root)});
}

TEST_F(FileOps, NoLinkIsAskedForUntilEveryCheckHasPassed) {
  // The missing target is reported before the link's forbidden character;
  // then the link's parent is made, and a failure there is reported too.
  const std::wstring target = MakeDir(L"Data"), missing = Path(L"no-such-target"),
                     badLink = Path(L"Links\\a?b");
  const auto refusal = [](const std::wstring& to, const std::wstring& link) {
    return Thrown([&] { MainFile::SymbolicLink(to, link); });
  };
  EXPECT_NE(refusal(missing, badLink).find(L"\nОтсутсвует исходный путь:\n\"" + missing + L"\"\n"),
            std::wstring::npos);
  EXPECT_NE(refusal(target, badLink).find(L"Обнаружен запрещённый символ '?'"), std::wstring::npos);
  EXPECT_TRUE(fakes.createdPaths.empty());
  fakes.creationAnswer = ERROR_PATH_NOT_FOUND;
  EXPECT_NE(refusal(target, Path(L"Links\\Data"))
                .find(L"\nНе создан для символьной ссылки каталог:\n\"" + Path(L"Links\\") + L"\"\n"),
            std::wstring::npos);
  EXPECT_TRUE(fakes.links.empty());
  // A directory link is asked for after its parent is made; success with no
  // link there (Wine's answer) is none, and a refusal is an answer, not a report.
  fakes = Fakes();
  const std::wstring link = Path(L"Links\\Deeper\\Data");
  EXPECT_FALSE(MainFile::SymbolicLink(target, link));
  EXPECT_EQ(fakes.createdPaths, std::vector<std::wstring>{Path(L"Links\\Deeper\\")});
  EXPECT_EQ(fakes.links, std::vector<std::wstring>{link + L">" + target + L"@1"});
  fakes.linkAnswer = FALSE;
  EXPECT_FALSE(MainFile::SymbolicLink(target, link));
}

// A file already standing where a copy puts one, of the same size, is not
// the copy: a copy keeps the time its source was last written.
TEST_F(FileOps, AFileStandingWhereTheCopyGoesIsNotTheCopy) {
  MakeDir(L"Data");
  MakeDir(L"To\\Data");
  MakeFile(L"Data\\a.txt");
  MakeFile(L"To\\Data\\a.txt");
  const FILETIME old{0x12345678, 0x01C00000};  // in 2001
  {
    const Utils::FileHandle file(CreateFileW(Path(L"Data\\a.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file && SetFileTime(file.get(), nullptr, nullptr, &old));
  }
  fakes.shellAnswer = [](SHFILEOPSTRUCTW& request) {
    request.fAnyOperationsAborted = FALSE;
    return 0;
  };  // claims the copy, makes nothing
  const Utils::Error::Outcome copied = MainFile::FileOperation(Path(L"Data"), Path(L"To"), FO_COPY);
  EXPECT_FALSE(copied);
  EXPECT_NE(copied.Text().find(L"не такой, как источник:\n\"" + Path(L"To\\Data\\a.txt")), std::wstring::npos)
      << copied.Text();
}

// A move the shell cannot do by renaming (into a folder of its name already
// at the destination) is a copy and a delete of what was copied, as it was:
// a file another program adds to the source meanwhile stops the delete, and
// the source stays whole beside its copy.
TEST_F(FileOps, AMoveDeletesOnlyWhatItCopiedAsItWas) {
  MakeDir(L"Data");
  MakeFile(L"Data\\a.txt");
  MakeDir(L"To\\Data");
  fakes.shellAnswer = [this](SHFILEOPSTRUCTW& request) {
    const int done = RealShell(request);
    if (request.wFunc == FO_COPY) MakeFile(L"Data\\late.txt");
    return done;
  };
  const Utils::Error::Outcome moved = MainFile::FileOperation(Path(L"Data"), Path(L"To"), FO_MOVE);
  EXPECT_FALSE(moved);
  EXPECT_NE(moved.Text().find(L"источник изменился после копирования"), std::wstring::npos) << moved.Text();
  for (const wchar_t* kept : {L"Data\\a.txt", L"Data\\late.txt", L"To\\Data\\a.txt"})
    EXPECT_TRUE(std::filesystem::exists(Path(kept))) << kept;
  EXPECT_EQ(fakes.shellRequests, std::vector<std::wstring>{Request(FO_COPY, Path(L"Data"), Path(L"To"))});
}

}  // namespace
