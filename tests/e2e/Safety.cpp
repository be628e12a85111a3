// What a call must leave alone, on trees a careless or hostile world makes:
// names of dots, names only a Unix tool can make, links to empty folders
// and to files, another letter for the same folder, patterns where a name
// belongs or that match through short names, names equal but for case, a
// second name of a read-only file outside the tree, trees deeper than any
// stack. Each case runs through the A and the W forms on the prefix's drive
// S: (T: shows the same folder) against the sandbox's tree "data", beside a
// sentinel tree that must not change.
#include <functional>
#include <string>
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

  std::basic_string<C> At(const std::wstring& relative) const {
    return As<C>(relative.rfind(L"\\\\", 0) == 0 ? relative : sandbox_ + L"\\" + relative);
  }

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
template <class C> struct Case {
  const char* what;
  const wchar_t* plant;  // a shell script run in the sandbox, or null
  std::function<int64_t(const Host::Forms<C>&, const Safety<C>&)> call;
  int64_t answer;
  bool box;
  const wchar_t* says = L"";      // in the report
  const wchar_t* keep = nullptr;  // in the sandbox afterwards; null: the tree "data" whole
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
  constexpr bool kBox = true, kNoBox = false;
  return {
      // Names equal but for case: no Windows name addresses them apart.
      {"copy beside A.TXT", L"echo UPPER > data/A.TXT", two(copy, L"data", L"copy"), 0, kBox, caseOnly},
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
      // What stands at the destination, seen before the shell: a name in another case, a file where a folder goes.
      {"copy onto A.TXT", L"mkdir -p copy/data && echo other > copy/data/A.TXT", two(copy, L"data", L"copy"), 0,
       kBox, L"другом регистре"},
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
      {"copy a link back", L"ln -s .. data/Sub/loop", two(copy, L"data", L"copy"), 0, kBox},
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
    const Robust::Outcome outcome = this->Call([&](const Host::Forms<TypeParam>& api) { return c.call(api, *this); });
    EXPECT_EQ(outcome.result, c.answer) << outcome.report;
    EXPECT_EQ(outcome.boxes, c.box ? 1u : 0u) << outcome.box.text;
    EXPECT_EQ(outcome.report.empty(), c.answer != 0) << outcome.report;
    EXPECT_NE(outcome.report.find(c.says), std::wstring::npos) << outcome.report;
    if (c.keep == nullptr) {
      EXPECT_TRUE(this->TreeIntact());
    } else if (*c.keep != L'\0') {
      EXPECT_TRUE(Robust::Exists(this->sandbox_ + L"\\" + c.keep));
    }
  }
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
