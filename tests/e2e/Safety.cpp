// What a call must leave alone, on trees a careless or hostile world makes:
// names of dots, names only a Unix tool can make, links to empty folders
// and to files, another letter for the same folder, patterns where a name
// belongs, trees deeper than any stack. Each case runs through the A and the
// W forms on drive S: of the test prefix (T: shows the same folder), beside
// sentinel trees at three levels that must come through unchanged.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Robust.h"

namespace {

using Host::ApiOf;
using Robust::As;

// Answers of a case.
constexpr bool kBox = true;
constexpr bool kNoBox = false;

std::wstring Unix(const std::wstring& path) { return Host::UnixPath(path); }

void RunSh(const std::wstring& script, const std::wstring& directory) {
  ASSERT_EQ(Host::RunUnix({L"sh", L"-c", script, L"sh", Unix(directory)}, 60000), 0) << script;
}

// Drive S: of the test prefix: a case folder of its own per test, with a
// tree to act on (c\p\t), trees that must not change beside it (c\p\sib),
// above it (c\sentinel) and at the drive's root.
template <class C> class Safety : public ::testing::Test {
 public:
  void SetUp() override {
    if (GetFileAttributesW(L"S:\\") == INVALID_FILE_ATTRIBUTES || !Host::RunningOnWine())
      GTEST_SKIP() << "needs the test prefix's drive S:";
    static unsigned counter = 0;
    root_ = L"S:\\safety-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
    ASSERT_TRUE(Host::RemoveTestTree(root_));
    for (const wchar_t* directory : {L"", L"\\c", L"\\c\\p", L"\\c\\p\\t", L"\\c\\p\\t\\sub"})
      ASSERT_TRUE(CreateDirectoryW((root_ + directory).c_str(), nullptr)) << directory;
    WriteText(L"c\\p\\t\\a.txt", "a");
    WriteText(L"c\\p\\t\\sub\\b.txt", "b");
    for (const std::wstring& sentinel : Sentinels()) {
      Robust::PlantTree(sentinel);
      digests_.push_back(Robust::Digest(sentinel));
    }
  }

  void TearDown() override {
    if (root_.empty()) return;
    const std::vector<std::wstring> sentinels = Sentinels();
    for (std::size_t i = 0; i < sentinels.size(); ++i)
      EXPECT_EQ(Robust::Digest(sentinels[i]), digests_[i]) << "sentinel changed: " << sentinels[i];
    EXPECT_TRUE(Host::RemoveTestTree(root_));
    EXPECT_TRUE(Host::RemoveTestTree(L"S:\\" + SentinelName()));
  }

  std::vector<std::wstring> Sentinels() const {
    return {Path(L"c\\p\\sib"), Path(L"c\\sentinel"), L"S:\\" + SentinelName()};
  }
  std::wstring SentinelName() const { return root_.substr(3) + L"-sentinel"; }

  std::wstring Path(const std::wstring& relative) const { return root_ + L"\\" + relative; }

  void WriteText(const std::wstring& relative, const std::string& text) {
    FILE* file = _wfopen(Path(relative).c_str(), L"wb");
    ASSERT_NE(file, nullptr) << relative;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }

  // A shell script run in the case folder (as $1): what only Unix can make.
  void Make(const std::wstring& script) { RunSh(L"cd \"$1\" && " + script, root_); }

  bool TreeIntact() const {
    return Robust::Exists(Path(L"c\\p\\t\\a.txt")) && Robust::Exists(Path(L"c\\p\\t\\sub\\b.txt"));
  }

  // One call through the form under test: its answer and boxes.
  Robust::Outcome Call(const std::function<int64_t(const Host::Forms<C>&)>& call) {
    Host::BoxHook hook;
    Host::BoxWatcher watcher;
    const Robust::Outcome outcome = Robust::Observe(hook, [&] { return call(ApiOf<C>()); });
    watcher.Stop();
    return outcome;
  }

  std::basic_string<C> At(const std::wstring& relative) const {
    return As<C>(relative.rfind(L"\\\\", 0) == 0 || relative.find(L':') == 1 ? relative
                                                                             : Path(relative));
  }

  std::wstring root_;
  std::vector<std::wstring> digests_;
};

using Forms = ::testing::Types<char, wchar_t>;
TYPED_TEST_SUITE(Safety, Forms);

// One case: what to plant, the call, its answer and whether a box explains
// it. None may change the tree it acts on.
template <class C> struct Case {
  const char* what;
  const wchar_t* plant;  // a shell script run in the case folder, or null
  std::function<int64_t(const Host::Forms<C>&, const Safety<C>&)> call;
  int64_t answer;
  bool box;
};

template <class C> std::vector<Case<C>> Cases() {
  using A = const Host::Forms<C>&;
  using S = const Safety<C>&;
  const auto remove = [](const wchar_t* path) {
    return [path](A api, S s) { return int64_t(api.remove(s.At(path).c_str())); };
  };
  const auto clear = [](const wchar_t* path) {
    return [path](A api, S s) { return int64_t(api.clearContents(s.At(path).c_str())); };
  };
  const auto clearFiles = [](const wchar_t* path) {
    return [path](A api, S s) { return int64_t(api.clearFromFiles(s.At(path).c_str())); };
  };
  const auto copy = [](const wchar_t* from, const wchar_t* to) {
    return [from, to](A api, S s) { return int64_t(api.copy(s.At(from).c_str(), s.At(to).c_str())); };
  };
  const auto move = [](const wchar_t* from, const wchar_t* to) {
    return [from, to](A api, S s) { return int64_t(api.move(s.At(from).c_str(), s.At(to).c_str())); };
  };
  const auto link = [](const wchar_t* target, const wchar_t* at) {
    return [target, at](A api, S s) { return int64_t(api.link(s.At(target).c_str(), s.At(at).c_str())); };
  };
  const auto deleteEmpty = [](const wchar_t* path) {
    return [path](A api, S s) { return int64_t(api.deleteEmpty(s.At(path).c_str())); };
  };
  const wchar_t* const linkToEmpty = L"ln -s ../../sentinel/Empty c/p/t/lk";
  const wchar_t* const fileLink = L"ln -s ../../sentinel/a.txt c/p/t/fl";
  return {
      // A component of dots reads as the folder to the system, as its parent
      // to the shell.
      {"t\\...", nullptr, remove(L"c\\p\\t\\..."), 0, kBox},
      {"t\\...\\", nullptr, remove(L"c\\p\\t\\...\\"), 0, kBox},
      {"t\\...\\.", nullptr, remove(L"c\\p\\t\\...\\."), 0, kBox},
      {"t\\..\\...", nullptr, remove(L"c\\p\\t\\..\\..."), 0, kBox},
      {"t\\...\\...", nullptr, clear(L"c\\p\\t\\...\\..."), 0, kBox},
      {"t.\\sub", nullptr, clearFiles(L"c\\p\\t.\\sub"), 0, kBox},
      {"move to t\\...", L"mkdir c/p/src", move(L"c\\p\\src", L"c\\p\\t\\..."), 0, kBox},
      {"copy to t \\x", nullptr, copy(L"c\\p\\t\\a.txt", L"c\\p\\t \\x"), 0, kBox},
      // Entries the shell cannot address exactly.
      {"delete over ...", L"mkdir c/p/t/...", remove(L"c\\p\\t"), 0, kBox},
      {"clear over file ...", L"touch c/p/t/...", clear(L"c\\p\\t"), 0, kBox},
      {"clear files over ...", L"mkdir c/p/t/sub/... && touch c/p/t/sub/.../x", clearFiles(L"c\\p\\t"),
       0, kBox},
      {"x beside link 'x '", L"mkdir c/p/t/x && ln -s ../../sentinel 'c/p/t/x '", clear(L"c\\p\\t"), 0,
       kBox},
      {"file ..\\sentinel\\a.txt", L"touch 'c/p/t/..\\sentinel\\a.txt'", remove(L"c\\p\\t"), 0, kBox},
      {"directory ..\\sentinel", L"mkdir 'c/p/t/..\\sentinel'", clearFiles(L"c\\p\\t"), 0, kBox},
      {"copy over ...", L"mkdir c/p/t/...", copy(L"c\\p\\t", L"c\\p\\copy"), 0, kBox},
      {"device name", L"touch c/p/t/sub/nul.txt", move(L"c\\p\\t", L"c\\p\\moved"), 0, kBox},
      // Links: Wine's calls act on what they lead to.
      {"delete-empty link", linkToEmpty, deleteEmpty(L"c\\p\\t\\lk"), 0, kBox},
      {"delete link", linkToEmpty, remove(L"c\\p\\t\\lk"), 0, kBox},
      {"clear over link", linkToEmpty, clear(L"c\\p\\t"), 0, kBox},
      {"delete over file link", fileLink, remove(L"c\\p\\t"), 0, kBox},
      {"clear files over file link", fileLink, clearFiles(L"c\\p\\t"), 0, kBox},
      {"move link", L"ln -s ../sentinel c/p/lk", move(L"c\\p\\lk", L"c\\p\\d"), 0, kBox},
      {"move over file link", fileLink, move(L"c\\p\\t", L"c\\p\\moved"), 0, kBox},
      // Into itself, by identity.
      {"copy to T:", nullptr,
       [](A api, S s) {
         const std::wstring t = s.Path(L"c\\p\\t");
         return int64_t(api.copy(As<C>(t).c_str(), As<C>(L"T" + t.substr(1)).c_str()));
       },
       0, kNoBox},
      {"copy through a link into itself", L"ln -s t c/p/lt", copy(L"c\\p\\t", L"c\\p\\lt\\x"), 0,
       kNoBox},
      {"copy a link back", L"ln -s .. c/p/t/sub/loop", copy(L"c\\p\\t", L"c\\p\\copy"), 0, kBox},
      // A destination is a name.
      {"pattern destination", nullptr, copy(L"c\\p\\t\\a.txt", L"c\\sent*"), 0, kBox},
      // Success only for work done.
      {"folder onto a file", L"echo f > c/p/file", copy(L"c\\p\\t", L"c\\p\\file"), 0, kNoBox},
      {"clear files t\\*", nullptr, clearFiles(L"c\\p\\t\\*"), 0, kBox},
      {"clear files t\\?", nullptr, clearFiles(L"c\\p\\t\\?"), 0, kBox},
      {"clear files t\\..*", nullptr, clearFiles(L"c\\p\\t\\..*"), 0, kBox},
      {"delete of no match", nullptr, remove(L"c\\p\\t\\*.none"), 0, kNoBox},
      {"copy of no match", nullptr, copy(L"c\\p\\t\\*.none", L"c\\p\\copy"), 0, kNoBox},
      {"move of no match", nullptr, move(L"c\\p\\t\\*.none", L"c\\p\\copy"), 0, kNoBox},
      {"delete of a missing share", nullptr, remove(L"\\\\?\\UNC\\server\\share\\x"), 0, kNoBox},
      {"link Wine does not make", nullptr, link(L"c\\sentinel", L"c\\p\\lnk"), 0, kNoBox},
      {"link over a folder", nullptr, link(L"c\\sentinel", L"c\\p\\t"), 0, kNoBox},
      {"clear files of a folder past 256 characters", nullptr,
       [](A api, S s) {
         const std::wstring folder = s.Path(L"c\\p\\t\\sub\\" + std::wstring(257 - s.Path(L"c\\p\\t\\sub\\").size(), L'f'));
         CreateDirectoryW(Host::Extended(folder).c_str(), nullptr);
         Utils::FileHandle(CreateFileW(Host::Extended(folder + L"\\f.txt").c_str(), GENERIC_WRITE, 0,
                                       nullptr, CREATE_NEW, 0, nullptr));
         const int64_t answer = api.clearFromFiles(As<C>(folder).c_str());
         return Robust::Exists(Host::Extended(folder + L"\\f.txt")) ? answer : 1;
       },
       0, kNoBox},
      {"copy deeper than the shell", nullptr,
       [](A api, S s) {
         const std::wstring to = s.Path(L"c\\p\\" + std::wstring(250 - s.Path(L"c\\p\\").size(), L'd'));
         return int64_t(api.copy(s.At(L"c\\p\\t").c_str(), As<C>(to).c_str()));
       },
       0, kBox},
  };
}

TYPED_TEST(Safety, NothingOutsideWhatACallNamesChanges) {
  for (const Case<TypeParam>& c : Cases<TypeParam>()) {
    SCOPED_TRACE(c.what);
    this->TearDown();
    this->digests_.clear();
    this->SetUp();
    if (c.plant != nullptr) this->Make(c.plant);
    const Robust::Outcome outcome = this->Call([&](const Host::Forms<TypeParam>& api) {
      return c.call(api, *this);
    });
    EXPECT_EQ(outcome.result, c.answer);
    EXPECT_EQ(outcome.boxes, c.box ? 1u : 0u) << outcome.box.text;
    EXPECT_TRUE(this->TreeIntact());
  }
}

// The walks keep no recursion on the caller's stack: a tree three thousand
// levels deep is refused, or (clearing files) passed over where it cannot
// be listed, from a thread with a 256 KiB stack, in good time.
TYPED_TEST(Safety, ATreeDeeperThanAnyStackIsRefusedAndKeptWhole) {
  // mkdir -p walks down by relative steps: no path of its passes PATH_MAX.
  this->Make(L"mkdir -p c/p/t/sub/$(i=0; while [ $i -lt 3000 ]; do printf d/; i=$((i+1)); done)");
  using Api = const Host::Forms<TypeParam>&;
  const std::pair<const char*, std::function<int(Api)>> calls[] = {
      {"delete", [&](Api api) { return api.remove(this->At(L"c\\p\\t").c_str()); }},
      {"clear", [&](Api api) { return api.clearContents(this->At(L"c\\p\\t").c_str()); }},
      {"copy", [&](Api api) { return api.copy(this->At(L"c\\p\\t").c_str(), this->At(L"c\\p\\u").c_str()); }},
      {"move", [&](Api api) { return api.move(this->At(L"c\\p\\t").c_str(), this->At(L"c\\p\\u").c_str()); }},
      {"clear files", [&](Api api) { return api.clearFromFiles(this->At(L"c\\p\\t").c_str()); }},
  };
  for (const auto& [what, call] : calls) {
    struct Work {
      std::function<int(Api)> call;
      Robust::Outcome outcome;
      Safety<TypeParam>* test;
    } work{call, {}, this};
    const HANDLE thread = CreateThread(
        nullptr, 256 * 1024,
        [](void* argument) -> DWORD {
          Work& w = *static_cast<Work*>(argument);
          w.outcome = w.test->Call([&](Api api) { return w.call(api); });
          return 0;
        },
        &work, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    const Utils::KernelHandle owned(thread);
    ASSERT_TRUE(owned);
    ASSERT_EQ(WaitForSingleObject(thread, 60000), WAIT_OBJECT_0) << what << " did not return";
    EXPECT_EQ(work.outcome.result, 0) << what;
    EXPECT_LE(work.outcome.boxes, 1u) << what;
    EXPECT_FALSE(Robust::Exists(this->Path(L"c\\p\\u"))) << what;
    // Clearing files removes every file it can list; the rest is refused.
    if (std::string(what) != "clear files") {
      EXPECT_TRUE(this->TreeIntact()) << what;
    }
  }
  EXPECT_TRUE(Robust::IsDirectory(this->Path(L"c\\p\\t\\sub\\d\\d\\d")));
  this->Make(L"rm -rf c/p/t/sub/d");  // far quicker than any walk through Wine
}

}  // namespace
