// What a call must leave alone, on trees a careless or hostile world makes:
// names of dots, names only a Unix tool can make, links to empty folders
// and to files, another letter for the same folder, patterns where a name
// belongs or that match through short names, names equal but for case, a
// second name of a read-only file outside the tree, what already stands at
// a destination, files another program holds, trees deeper than any stack,
// another volume. Each case runs through the A and the W forms on the
// prefix's drive S: (T: shows the same folder) against the sandbox's tree
// "data", beside a sentinel tree that must not change.
#include <algorithm>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "Robust.h"

namespace {

using Host::As;

template <class C> class Safety : public Robust::Sandbox {
 public:
  void SetUp() override {
    if (GetFileAttributesW(L"S:\\") == INVALID_FILE_ATTRIBUTES || !Host::RunningOnWine())
      GTEST_SKIP() << "needs the test prefix's drive S:";
    Robust::Sandbox::SetUp();
  }

  // A path of the sandbox, or a full one as it is.
  std::wstring Full(const std::wstring& relative) const {
    const bool full = relative.rfind(L"\\\\", 0) == 0 || (relative.size() > 1 && relative[1] == L':');
    return full ? relative : sandbox_ + L"\\" + relative;
  }
  std::basic_string<C> At(const std::wstring& relative) const { return As<C>(Full(relative)); }

  // A shell script run in the sandbox: what only Unix can make.
  void Make(const std::wstring& script) {
    ASSERT_EQ(Jail::RunScript(sandbox_, script), 0) << script;
  }

  bool TreeIntact() const {
    return Robust::Exists(sandbox_ + L"\\data\\a.txt") && Robust::Exists(sandbox_ + L"\\data\\Sub\\locked.txt");
  }

  // One call through the form under test: its answer, boxes and report.
  Robust::Outcome Call(const std::function<int64_t(const Host::Forms<C>&)>& call) {
    return Robust::Observe(hook_, [&] { return call(Host::ApiOf<C>()); });
  }
};

using Forms = ::testing::Types<char, wchar_t>;
TYPED_TEST_SUITE(Safety, Forms);

// One case: what to plant, the call, its answer, whether a box shows the
// reason (a 0 always leaves one), what the reason says, and what must be
// there afterwards: the tree "data" whole, unless the call is to change it.
// A case refused before anything is touched leaves the whole sandbox as it
// was; after() tells what else must hold afterwards.
template <class C> struct Case {
  const char* what;
  const wchar_t* plant;  // a shell script run in the sandbox, or null
  std::function<int64_t(const Host::Forms<C>&, const Safety<C>&)> call;
  int64_t answer;
  bool box;
  const wchar_t* says = L"";      // in the report; parts split by "|" each
  const wchar_t* keep = nullptr;  // in the sandbox afterwards; null: the tree "data" whole
  bool untouched = false;         // the sandbox exactly as planted
  std::function<bool(const Safety<C>&)> after;
};

// Every part of says, split by "|", is in the report.
bool Says(const std::wstring& report, const std::wstring& says) {
  for (std::size_t from = 0; from <= says.size();) {
    const std::size_t bar = std::min(says.find(L'|', from), says.size());
    if (report.find(says.substr(from, bar - from)) == std::wstring::npos) return false;
    from = bar + 1;
  }
  return true;
}

// Opens a file of the sandbox as another program would that shares nothing,
// for the life of the object.
struct Held {
  explicit Held(const std::wstring& path)
      : file(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {
    EXPECT_TRUE(file) << "cannot hold " << Host::Ansi(path);
  }
  Utils::FileHandle file;
};

template <class C> std::vector<Case<C>> Cases() {
  using A = const Host::Forms<C>&;
  using S = const Safety<C>&;
  const auto on = [](auto fn, const wchar_t* path) {
    return [fn, path](A api, S s) { return int64_t((api.*fn)(s.At(path).c_str())); };
  };
  const auto two = [](auto fn, const wchar_t* from, const wchar_t* to) {
    return [fn, from, to](A api, S s) { return int64_t((api.*fn)(s.At(from).c_str(), s.At(to).c_str())); };
  };
  const auto remove = &Host::Forms<C>::remove;
  const auto clear = &Host::Forms<C>::clearContents;
  const auto files = &Host::Forms<C>::clearFromFiles;
  const auto copy = &Host::Forms<C>::copy;
  const auto move = &Host::Forms<C>::move;
  const auto link = &Host::Forms<C>::link;
  const wchar_t* const linkToEmpty = L"ln -s ../../sentinel/Empty data/lk";
  const wchar_t* const fileLink = L"ln -s ../../sentinel/a.txt data/fl";
  const wchar_t* const hardLink = L"ln ../sentinel/Sub/locked.txt data/hl.txt";  // read-only
  const wchar_t* const caseOnly = L"регистром", *const shortOnly = L"коротким именем";
  const wchar_t* const held = L"без права совместного доступа|Last Error: 32.";
  constexpr bool kBox = true, kNoBox = false, kUntouched = true;
  const auto gone = [](std::vector<const wchar_t*> paths) {
    return [paths](S s) {
      for (const wchar_t* path : paths)
        if (Robust::Exists(s.Full(path))) return false;
      return true;
    };
  };
  const auto empty = [](const wchar_t* path) { return [path](S s) { return Robust::IsEmptyDirectory(s.Full(path)); }; };
  // A call made while a file of the sandbox is held open by another program.
  const auto holding = [](const wchar_t* file, auto fn, const wchar_t* from, const wchar_t* to) {
    return [file, fn, from, to](A api, S s) {
      const Held open(s.Full(file));
      if constexpr (std::is_same_v<decltype(fn), decltype(&Host::Forms<C>::copy)>)
        return int64_t((api.*fn)(s.At(from).c_str(), s.At(to).c_str()));
      else
        return int64_t((api.*fn)(s.At(from).c_str()));
    };
  };
  return {
      // Names equal but for case: no Windows name addresses them apart.
      {"copy beside A.TXT", L"echo UPPER > data/A.TXT", two(copy, L"data", L"copy"), 0, kBox,
       L"регистром|\\data\\A.TXT\"|\\data\\a.txt\""},
      // The file system folds case code unit by code unit: a letter of a
      // surrogate pair keeps its case, and U+10437 and U+1040F are two names.
      {"copy \U00010437 beside \U0001040F", L"touch data/$(printf '\\360\\220\\220\\267') data/$(printf '\\360\\220\\220\\217')",
       two(copy, L"data", L"copy"), 1, kNoBox, L"", L"copy\\\xD801\xDC37", false,
       [](S s) { return Robust::Exists(s.Full(L"copy\\\xD801\xDC0F")); }},
      {"move DATA beside data", L"mkdir data/Sub/DATA data/Sub/data", two(move, L"data", L"moved"), 0, kBox, caseOnly},
      {"copy ОТЧЁТ beside отчёт", L"touch data/ОТЧЁТ.txt data/отчёт.txt", two(copy, L"data", L"copy"), 0, kBox,
       caseOnly},
      // A pattern means long names, though the system matches short ones too.
      {"delete *.htm", L"touch data/report.html", on(remove, L"data\\*.htm"), 0, kBox, shortOnly,
       L"data\\report.html"},
      {"delete *~*", L"touch data/keep_this_long_name.txt", on(remove, L"data\\*~*"), 0, kBox, shortOnly,
       L"data\\keep_this_long_name.txt"},
      {"move *~*", L"touch data/keep_this_long_name.txt", two(move, L"data\\*~*", L"moved"), 0, kBox, shortOnly,
       L"data\\keep_this_long_name.txt"},
      // The read-only sentinel file, under a second name in the tree, stays read-only.
      {"delete over a hard link", hardLink, on(remove, L"data"), 1, kNoBox, L"", L""},
      {"clear over a hard link", hardLink, on(clear, L"data"), 1, kNoBox, L"", L"data"},
      {"clear files over a hard link", hardLink, on(files, L"data"), 1, kNoBox, L"", L"data"},
      // Every spelling of a folder that a delete takes.
      {"clear data\\", nullptr, on(clear, L"data\\"), 1, kNoBox, L"", L"data"},
      {"clear files data/", nullptr, on(files, L"data/"), 1, kNoBox, L"", L"data"},
      {"clear \\\\?\\...\\.\\data", nullptr,
       [clear](A api, S s) {
         const std::wstring data = Robust::WideOf(s.At(L"data"));
         const std::wstring spelled = L"\\\\?\\" + data.substr(0, data.rfind(L'\\')) + L"\\.\\data";
         return int64_t((api.*clear)(As<C>(spelled).c_str()));
       },
       1, kNoBox, L"", L"data"},
      // What stands at the destination, seen before the shell: a name in
      // another case, a folder where a file goes and the reverse, a link.
      {"copy onto A.TXT", L"mkdir -p copy/data && echo other > copy/data/A.TXT", two(copy, L"data", L"copy"), 0,
       kBox, L"другом регистре", nullptr, kUntouched},
      {"copy a folder onto a file", L"mkdir -p copy/data && echo OLD > copy/data/Sub", two(copy, L"data", L"copy"), 0,
       kBox, L"Каталог копировался бы на место файла|\\copy\\data\\Sub\"", nullptr, kUntouched},
      {"move a folder onto a file", L"mkdir -p moved/data && echo OLD > moved/data/Sub", two(move, L"data", L"moved"),
       0, kBox, L"на место файла", nullptr, kUntouched},
      {"copy a file onto a folder", L"mkdir -p copy/data/a.txt", two(copy, L"data", L"copy"), 0, kBox,
       L"Файл копировался бы на место каталога", nullptr, kUntouched},
      {"copy onto a link to a folder", L"mkdir -p copy/data && ln -s ../../../sentinel copy/data/Sub",
       two(copy, L"data", L"copy"), 0, kBox, L"ссылка", nullptr, kUntouched},
      {"copy onto a link to a file", L"mkdir -p copy/data && ln -s ../../../sentinel/a.txt copy/data/a.txt",
       two(copy, L"data", L"copy"), 0, kBox, L"ссылка", nullptr, kUntouched},
      {"wildcard copy onto a file", L"mkdir copy && echo OLD > copy/Sub", two(copy, L"data\\*", L"copy"), 0, kBox,
       L"\\copy\\Sub\"", nullptr, kUntouched},
      {"wildcard copy into a file", L"echo f > file", two(copy, L"data\\*", L"file"), 0, kBox,
       L"файл, а не каталог", nullptr, kUntouched},
      {"one match copied into a new folder", nullptr, two(copy, L"data\\a.*", L"new"), 1, kNoBox, L"",
       L"new\\a.txt"},
      {"move data beside DATA", L"mkdir DATA", two(move, L"data", L"DATA"), 0, kBox, L"два имени", nullptr,
       kUntouched},
      // A rename that changes only case is one request of the shell and
      // nothing else (Wine's does not do it, and answers success).
      {"rename data holding data", L"mkdir data/data && echo x > data/data/x.txt", two(move, L"data", L"DATA"), 0,
       kNoBox, L"остался на месте", nullptr, kUntouched},
      {"copy to the drive's root", nullptr,
       [](A api, S s) {
         const std::wstring name = L"root-" + std::to_wstring(GetCurrentProcessId()) + (sizeof(C) == 1 ? L"a" : L"w");
         Host::PutFile(s.Full(L"data\\" + name), "root");
         const int64_t answer = int64_t(api.copy(s.At(L"data\\" + name).c_str(), As<C>(L"S:\\").c_str()));
         const bool there = Robust::Exists(L"S:\\" + name) && !Robust::Exists(s.Full(name));
         DeleteFileW((L"S:\\" + name).c_str());
         return there ? answer : -1;
       },
       1, kNoBox},
      {"copy onto itself", nullptr, two(copy, L"data", L""), 0, kNoBox, L"совпадает", nullptr, kUntouched},
      {"copy onto another name of itself", L"mkdir -p copy/data && ln data/a.txt copy/data/a.txt",
       two(copy, L"data", L"copy"), 0, kNoBox, L"совпадает", nullptr, kUntouched},
      // Names the shell would write under another name: not UTF-8 on the Unix side.
      {"copy a name that is not UTF-8", L"echo bad > data/bad$(printf '\\377').txt", two(copy, L"data", L"copy"), 0,
       kBox, L"под другим именем", nullptr, kUntouched},
      {"move a name that is not UTF-8", L"echo bad > data/bad$(printf '\\377').txt", two(move, L"data", L"moved"), 0,
       kBox, L"под другим именем", nullptr, kUntouched},
      // A file another program holds: a true reason, and the rest as it should be.
      {"copy past a held file", nullptr, holding(L"data\\a.txt", copy, L"data", L"copy"), 0, kNoBox,
       held},
      {"clear past a held read-only file", nullptr, holding(L"data\\Sub\\locked.txt", clear, L"data", nullptr), 0,
       kNoBox, L"без права совместного доступа|Last Error: 32.|Уже удалено элементов: ", L"data\\Sub\\locked.txt", false,
       [](S s) {
         return (GetFileAttributesW(s.Full(L"data\\Sub\\locked.txt").c_str()) & FILE_ATTRIBUTE_READONLY) != 0 &&
                !Robust::Exists(s.Full(L"data\\a.txt"));
       }},
      {"clear files past a held file", nullptr, holding(L"data\\a.txt", files, L"data", nullptr), 0, kNoBox,
       held, L"data\\a.txt", false, gone({L"data\\Sub\\locked.txt", L"data\\Каталог\\b.txt"})},
      {"clear past a held file of several names", hardLink, holding(L"data\\hl.txt", clear, L"data", nullptr), 0,
       kNoBox, L"Файл не удалён|Last Error: 32.", L"data\\hl.txt", false, gone({L"data\\a.txt", L"data\\Sub"})},
      {"clear past a held name inside a folder", L"ln ../sentinel/Sub/locked.txt data/Sub/hl.txt",
       holding(L"data\\Sub\\hl.txt", clear, L"data", nullptr), 0, kNoBox, L"Файл не удалён|Last Error: 32.",
       L"data\\Sub\\locked.txt", false, gone({L"data\\a.txt", L"data\\Каталог"})},
      {"delete a read-only file alone", nullptr, on(remove, L"data\\Sub\\locked.txt"), 1, kNoBox, L"", L"data\\Sub",
       false, gone({L"data\\Sub\\locked.txt"})},
      // The clears answer by what is gone, under each entry's own name.
      {"delete a.txt beside A.TXT", L"echo UPPER > data/A.TXT", on(remove, L"data\\a.txt"), 1, kNoBox, L"",
       L"data\\A.TXT"},
      {"clear beside DATA.TXT", L"echo y > data/data.txt && echo x > data/DATA.TXT", on(clear, L"data"), 1, kNoBox,
       L"", L"data", false, empty(L"data")},
      {"clear files beside DATA.TXT", L"echo y > data/Sub/data.txt && echo x > data/Sub/DATA.TXT", on(files, L"data"),
       1, kNoBox, L"", L"data\\Sub", false, gone({L"data\\Sub\\data.txt", L"data\\a.txt"})},
      {"clear two names shown alike", L"touch data/b$(printf '\\377') data/b$(printf '\\376')", on(clear, L"data"), 1,
       kNoBox, L"", L"data", false, empty(L"data")},
      // Wildcards: long names, matched as the system matches them, and each match to its place.
      {"delete *.TXT", nullptr, on(remove, L"data\\*.TXT"), 1, kNoBox, L"", L"data\\Sub", false,
       gone({L"data\\a.txt"})},
      {"copy data\\*", nullptr, two(copy, L"data\\*", L"copy"), 1, kNoBox, L"", L"copy\\Sub\\locked.txt"},
      {"move data\\* on one drive", nullptr, two(move, L"data\\*", L"moved"), 1, kNoBox, L"", L"moved\\Sub\\locked.txt",
       false, empty(L"data")},
      {"move onto a file of its name", L"mkdir moved && echo old > moved/a.txt", two(move, L"data\\a.txt", L"moved\\a.txt"),
       1, kNoBox, L"", L"moved\\a.txt", false,
       [](S s) {
         WIN32_FILE_ATTRIBUTE_DATA moved{};
         return GetFileAttributesExW(s.Full(L"moved\\a.txt").c_str(), GetFileExInfoStandard, &moved) &&
                moved.nFileSizeLow == 5 && !Robust::Exists(s.Full(L"data\\a.txt"));
       }},
      {"move into a folder holding one of its name", L"mkdir -p moved/data/Sub && echo old > moved/data/old.txt",
       two(move, L"data", L"moved"), 1, kNoBox, L"", L"moved\\data\\old.txt", false,
       [](S s) {
         return Robust::Exists(s.Full(L"moved\\data\\Sub\\locked.txt")) && !Robust::Exists(s.Full(L"data"));
       }},
      // A component of dots reads as the folder to the system, as its parent
      // to the shell.
      {"data\\...", nullptr, on(remove, L"data\\..."), 0, kBox},
      {"data\\...\\", nullptr, on(remove, L"data\\...\\"), 0, kBox},
      {"data\\...\\.", nullptr, on(remove, L"data\\...\\."), 0, kBox},
      {"data\\..\\...", nullptr, on(remove, L"data\\..\\..."), 0, kBox},
      {"data\\...\\...", nullptr, on(clear, L"data\\...\\..."), 0, kBox},
      {"data.\\Sub", nullptr, on(files, L"data.\\Sub"), 0, kBox},
      {"move to data\\...", L"mkdir src", two(move, L"src", L"data\\..."), 0, kBox},
      {"copy to data \\x", nullptr, two(copy, L"data\\a.txt", L"data \\x"), 0, kBox},
      // Entries the shell cannot address exactly.
      {"delete over ...", L"mkdir data/...", on(remove, L"data"), 0, kBox},
      {"clear over file ...", L"touch data/...", on(clear, L"data"), 0, kBox},
      {"clear files over ...", L"mkdir data/Sub/... && touch data/Sub/.../x", on(files, L"data"), 0, kBox},
      {"x beside link 'x '", L"mkdir data/x && ln -s ../../sentinel 'data/x '", on(clear, L"data"), 0, kBox},
      {"file ..\\sentinel\\a.txt", L"touch 'data/..\\..\\sentinel\\a.txt'", on(remove, L"data"), 0, kBox},
      {"directory ..\\sentinel", L"mkdir 'data/..\\..\\sentinel'", on(files, L"data"), 0, kBox},
      {"copy over ...", L"mkdir data/...", two(copy, L"data", L"copy"), 0, kBox},
      {"device name", L"touch data/Sub/nul.txt", two(move, L"data", L"moved"), 0, kBox},
      // Links: Wine's calls act on what they lead to.
      {"delete-empty link", linkToEmpty, on(&Host::Forms<C>::deleteEmpty, L"data\\lk"), 0, kBox},
      {"delete link", linkToEmpty, on(remove, L"data\\lk"), 0, kBox},
      {"clear over link", linkToEmpty, on(clear, L"data"), 0, kBox},
      {"delete over file link", fileLink, on(remove, L"data"), 0, kBox},
      {"clear files over file link", fileLink, on(files, L"data"), 0, kBox},
      {"move link", L"ln -s ../sentinel lk", two(move, L"lk", L"d"), 0, kBox},
      {"move over file link", fileLink, two(move, L"data", L"moved"), 0, kBox},
      // Into itself, by identity: another letter, a link into the source, a
      // link inside it leading back.
      {"copy to T:", nullptr,
       [](A api, S s) {
         const std::wstring t = Robust::WideOf(s.At(L"data"));
         return int64_t(api.copy(As<C>(t).c_str(), As<C>(L"T" + t.substr(1)).c_str()));
       },
       0, kNoBox},
      {"copy through a link into itself", L"ln -s data ld", two(copy, L"data", L"ld\\x"), 0, kNoBox},
      {"copy through a link to the destination", L"mkdir copy && ln -s ../copy data/lk", two(copy, L"data", L"copy"),
       0, kNoBox, L"совпадает", nullptr, kUntouched},
      {"copy a link back", L"ln -s .. data/Sub/loop", two(copy, L"data", L"copy"), 0, kBox},
      // Two links to one folder would have the walk take it twice at every
      // level that repeats them: a copy refuses, clearing files takes it once.
      {"copy two links to one folder", L"mkdir outside && ln -s ../outside data/l1 && ln -s ../outside data/l2",
       two(copy, L"data", L"copy"), 0, kBox, L"другой ссылке", nullptr, kUntouched},
      {"clear files through two links to one folder",
       L"mkdir outside && echo o > outside/o.txt && ln -s ../outside data/l1 && ln -s ../outside data/l2",
       on(files, L"data"), 1, kNoBox, L"", L"outside", false, gone({L"outside\\o.txt"})},
      // Clearing files enters links on purpose, but never one leading back,
      // however high: here to the drive's root (S:\sedgefold-e2e\scratch\sandbox\data).
      {"clear files through a link out", L"mkdir outside && echo o > outside/o.txt && ln -s ../outside data/out",
       on(files, L"data"), 1, kNoBox, L"", L"outside", false, gone({L"outside\\o.txt", L"data\\a.txt"})},
      {"clear files past a link to the root", L"ln -s ../../../.. data/root", on(files, L"data"), 1, kNoBox, L"",
       L"data\\Sub", false, gone({L"data\\a.txt"})},
      // A destination is a name.
      {"pattern destination", nullptr, two(copy, L"data\\a.txt", L"..\\sent*"), 0, kBox},
      // Success only for work done.
      {"folder onto a file", L"echo f > file", two(copy, L"data", L"file"), 0, kBox, L"на место файла"},
      {"clear files data\\*", nullptr, on(files, L"data\\*"), 0, kBox},
      {"clear files data\\?", nullptr, on(files, L"data\\?"), 0, kBox},
      {"clear files data\\..*", nullptr, on(files, L"data\\..*"), 0, kBox},
      {"delete of no match", nullptr, on(remove, L"data\\*.none"), 0, kNoBox},
      {"copy of no match", nullptr, two(copy, L"data\\*.none", L"copy"), 0, kNoBox},
      {"move of no match", nullptr, two(move, L"data\\*.none", L"copy"), 0, kNoBox},
      {"delete of a missing share", nullptr, on(remove, L"\\\\?\\UNC\\server\\share\\x"), 0, kNoBox},
      {"link Wine does not make", nullptr, two(link, L"data", L"lnk"), 0, kNoBox},
      {"link over a folder", L"mkdir there", two(link, L"data", L"there"), 0, kNoBox},
      {"clear files of a folder past 256 characters", nullptr,
       [](A api, S s) {
         const std::wstring sub = Robust::WideOf(s.At(L"data\\Sub\\"));
         const std::wstring folder = sub + std::wstring(257 - sub.size(), L'f');
         CreateDirectoryW(Host::Extended(folder).c_str(), nullptr);
         Host::PutFile(folder + L"\\f.txt");
         const int64_t answer = api.clearFromFiles(As<C>(folder).c_str());
         return Robust::Exists(Host::Extended(folder + L"\\f.txt")) ? answer : 1;
       },
       0, kNoBox},
      {"copy deeper than the shell", nullptr,
       [](A api, S s) {
         const std::wstring sandbox = Robust::WideOf(s.At(L""));
         return int64_t(api.copy(s.At(L"data").c_str(),
                                 As<C>(sandbox + std::wstring(250 - sandbox.size(), L'd')).c_str()));
       },
       0, kBox},
  };
}

TYPED_TEST(Safety, NothingOutsideWhatACallNamesChanges) {
  for (const Case<TypeParam>& c : Cases<TypeParam>()) {
    SCOPED_TRACE(c.what);
    this->TearDown();
    this->SetUp();
    if (c.plant != nullptr) this->Make(c.plant);
    const Host::Snapshot before = Host::SnapshotOf(this->sandbox_);
    const Robust::Outcome outcome = this->Call([&](const Host::Forms<TypeParam>& api) { return c.call(api, *this); });
    EXPECT_EQ(outcome.result, c.answer) << outcome.report;
    EXPECT_EQ(outcome.boxes, c.box ? 1u : 0u) << outcome.box.text;
    EXPECT_EQ(outcome.report.empty(), c.answer != 0) << outcome.report;
    EXPECT_TRUE(Says(outcome.report, c.says)) << outcome.report;
    EXPECT_EQ(outcome.report.find(L"Выполнено успешно"), std::wstring::npos) << outcome.report;
    if (c.untouched) EXPECT_TRUE(Host::SnapshotOf(this->sandbox_) == before);
    if (c.after) EXPECT_TRUE(c.after(*this));
    if (c.keep == nullptr) {
      EXPECT_TRUE(this->TreeIntact());
    } else if (*c.keep != L'\0') {
      EXPECT_TRUE(Robust::Exists(this->sandbox_ + L"\\" + c.keep));
    }
  }
}

// A move to another volume is a copy, seen whole, then a delete of the
// source: the shell moves only within one (Wine answers success, or "same
// file", and moves nothing, or the first of several). A move that does not
// fit leaves the source whole and says how far the copy got.
TYPED_TEST(Safety, MovesToAnotherVolumeCarryEverythingOrLeaveTheSourceWhole) {
  if (GetFileAttributesW(L"V:\\") == INVALID_FILE_ATTRIBUTES || GetFileAttributesW(L"Q:\\") == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "the jail has no second volume V: and no full drive Q:";
  const std::wstring there =
      L"V:\\sf-" + std::to_wstring(GetCurrentProcessId()) + (sizeof(TypeParam) == 1 ? L"-a" : L"-w");
  const std::wstring data = this->Full(L"data");
  const Host::Snapshot tree = Host::SnapshotOf(data);
  const auto move = [&](const std::wstring& from, const std::wstring& to) {
    return this->Call([&](const Host::Forms<TypeParam>& api) { return api.move(this->At(from).c_str(), this->At(to).c_str()); });
  };
  Robust::Outcome outcome = move(L"data", there + L"\\folder");
  EXPECT_EQ(outcome.result, 1) << outcome.report;
  EXPECT_FALSE(Robust::Exists(data));
  EXPECT_EQ(Host::SnapshotOf(there + L"\\folder"), tree);
  this->Replant();
  outcome = move(L"data\\*", there + L"\\set");
  EXPECT_EQ(outcome.result, 1) << outcome.report;
  EXPECT_TRUE(Robust::IsEmptyDirectory(data));
  EXPECT_EQ(Host::SnapshotOf(there + L"\\set"), tree);
  this->Replant();
  outcome = move(L"data\\Sub\\locked.txt", there + L"\\locked.txt");
  EXPECT_EQ(outcome.result, 1) << outcome.report;
  EXPECT_FALSE(Robust::Exists(data + L"\\Sub\\locked.txt"));
  EXPECT_NE(GetFileAttributesW((there + L"\\locked.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  Host::PutFile(data + L"\\big.bin", std::string(3 << 20, 'b'));
  const Host::Snapshot whole = Host::SnapshotOf(data);
  const std::wstring full = L"Q:\\sf-" + std::to_wstring(GetCurrentProcessId());
  outcome = move(L"data", full);
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(Host::SnapshotOf(data), whole);
  EXPECT_TRUE(Says(outcome.report, L"источник не тронут|не хватает места|Last Error: 112.")) << outcome.report;
  const bool fullRemoved = Host::RemoveTestTree(full), thereRemoved = Host::RemoveTestTree(there);
  EXPECT_TRUE(fullRemoved && thereRemoved);
}

// The walks keep no recursion on the caller's stack: a tree three thousand
// levels deep is refused, or (clearing files) passed over where it cannot
// be listed, from a thread with a 256 KiB stack, in good time.
TYPED_TEST(Safety, ATreeDeeperThanAnyStackIsRefusedAndKeptWhole) {
  // mkdir -p walks down by relative steps: no path of its passes PATH_MAX.
  this->Make(L"mkdir -p data/Sub/$(i=0; while [ $i -lt 3000 ]; do printf d/; i=$((i+1)); done)");
  using Api = const Host::Forms<TypeParam>&;
  const auto data = this->At(L"data"), copy = this->At(L"copy");
  const std::pair<const char*, std::function<int(Api)>> calls[] = {
      {"delete", [&](Api api) { return api.remove(data.c_str()); }},
      {"clear", [&](Api api) { return api.clearContents(data.c_str()); }},
      {"copy", [&](Api api) { return api.copy(data.c_str(), copy.c_str()); }},
      {"move", [&](Api api) { return api.move(data.c_str(), copy.c_str()); }},
      {"clear files", [&](Api api) { return api.clearFromFiles(data.c_str()); }},
  };
  for (const auto& [what, call] : calls) {
    struct Work {
      std::function<int(Api)> call;
      Robust::Outcome outcome;
      Safety<TypeParam>* test;
    } work{call, {}, this};
    const Utils::KernelHandle thread(CreateThread(
        nullptr, 256 * 1024,
        [](void* argument) -> DWORD {
          Work& w = *static_cast<Work*>(argument);
          Host::BoxHook hook;
          w.outcome = Robust::Observe(hook, [&] { return w.call(Host::ApiOf<TypeParam>()); });
          return 0;
        },
        &work, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    ASSERT_TRUE(thread);
    ASSERT_EQ(WaitForSingleObject(thread.get(), 60000), WAIT_OBJECT_0) << what << " did not return";
    EXPECT_EQ(work.outcome.result, 0) << what;
    EXPECT_LE(work.outcome.boxes, 1u) << what;
    EXPECT_FALSE(Robust::Exists(Robust::WideOf(copy))) << what;
    // Clearing files removes every file it can list; the rest is refused.
    if (std::string(what) != "clear files") {
      EXPECT_TRUE(this->TreeIntact()) << what;
    }
  }
  EXPECT_TRUE(Robust::IsDirectory(this->sandbox_ + L"\\data\\Sub\\d\\d\\d"));
  this->Make(L"rm -rf data/Sub/d");  // far quicker than any walk through Wine
}

}  // namespace
