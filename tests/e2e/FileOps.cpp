// The exports that change the file system, through their A and W forms, on
// trees the tests build: what they do, and above all what they must leave
// alone (siblings, parents, link targets, the current directory, drive roots).
#include <algorithm>

#include "Robust.h"

namespace {

using Host::As;
using Host::SnapshotOf;

// The process's current directory, put back however the test ends.
struct CurrentDirectory {
  explicit CurrentDirectory(const std::wstring& path) {
    GetCurrentDirectoryW(MAX_PATH, previous);
    EXPECT_TRUE(SetCurrentDirectoryW(path.c_str()));
  }
  ~CurrentDirectory() { SetCurrentDirectoryW(previous); }
  wchar_t previous[MAX_PATH] = {};
};

template <class C> class FileOps : public Host::Scratch {
 protected:
  using Forms = Host::Forms<C>;

  // A call that must show no box.
  template <class Fn, class... Paths> int Quiet(Fn Forms::*fn, const Paths&... paths) {
    const Robust::Outcome outcome =
        Robust::Observe(this->hook_, [&] { return (Host::ApiOf<C>().*fn)(As<C>(paths).c_str()...); });
    EXPECT_EQ(outcome.boxes, 0u) << outcome.box.text;
    return static_cast<int>(outcome.result);
  }

  // A call that must show exactly one box, titled with an export whose name
  // begins with name, of this width, and answer 0.
  template <class Fn, class... Paths>
  std::wstring Boxed(const wchar_t* name, Fn Forms::*fn, const Paths&... paths) {
    const Robust::Outcome outcome =
        Robust::Observe(this->hook_, [&] { return (Host::ApiOf<C>().*fn)(As<C>(paths).c_str()...); });
    EXPECT_EQ(outcome.result, 0) << name;
    EXPECT_EQ(outcome.boxes, 1u) << name;
    const std::wstring title = outcome.box.FirstLine();
    EXPECT_EQ(title.rfind(L"Ошибка в функции \"int __cdecl " + std::wstring(name), 0), 0u) << outcome.box.text;
    EXPECT_NE(title.find(sizeof(C) == 1 ? L"A(const char *" : L"W(const wchar_t *"), std::wstring::npos)
        << outcome.box.text;
    return outcome.box.text;
  }

  // "Каталог", so that every tree also carries a name outside ASCII through
  // the A forms' code page.
  const std::wstring kCyrillic = L"\u041A\u0430\u0442\u0430\u043B\u043E\u0433";

  // A tree of every kind of entry: nested, hidden, read-only, Cyrillic.
  std::wstring MakeTree(const std::wstring& relative) {
    MakeDir(relative);
    Robust::PlantTree(Path(relative));
    MakeDir(relative + L"\\" + kCyrillic + L"\\Deeper");
    return Path(relative);
  }

  // Neighbours that no operation on Data may touch: a sibling whose name
  // starts like it, and a file in the parent.
  void MakeNeighbours() {
    MakeFile(L"Data2\\keep.txt", "sibling");
    MakeFile(L"parent.txt", "parent");
    neighbours_ = {SnapshotOf(Path(L"Data2")), Robust::Exists(Path(L"parent.txt"))};
  }
  void ExpectNeighboursIntact() {
    EXPECT_EQ(SnapshotOf(Path(L"Data2")), neighbours_.first);
    EXPECT_TRUE(Robust::Exists(Path(L"parent.txt")));
  }

 private:
  std::pair<Host::Snapshot, bool> neighbours_;
};

using Widths = ::testing::Types<char, wchar_t>;
TYPED_TEST_SUITE(FileOps, Widths);

// Wine's shell answers 0 (success) for a copy or move it could not do; the
// library must answer 0 for them all the same.
TYPED_TEST(FileOps, CopyAndMoveCarryTheWholeTreeOrChangeNothing) {
  using F = typename TestFixture::Forms;
  this->MakeFile(L"Blocker.txt", "blocker");
  this->MakeNeighbours();
  const std::wstring data = this->MakeTree(L"Data");
  const Host::Snapshot before = SnapshotOf(this->Root()), tree = SnapshotOf(data);
  EXPECT_EQ(this->Quiet(&F::copy, this->Path(L"Missing"), this->Path(L"Target")), 0);
  EXPECT_NE(this->Boxed(L"PathCopy", &F::copy, data, this->Path(L"Blocker.txt\\Target")).find(L"Blocker.txt"),
            std::wstring::npos);
  EXPECT_NE(this->Boxed(L"PathMove", &F::move, data, this->Path(L"Blocker.txt\\Moved")).find(L"Blocker.txt"),
            std::wstring::npos);
  EXPECT_EQ(SnapshotOf(this->Root()), before);

  EXPECT_EQ(this->Quiet(&F::copy, data, this->Path(L"Copy")), 1);
  EXPECT_EQ(SnapshotOf(this->Path(L"Copy")), tree);
  EXPECT_EQ(SnapshotOf(data), tree);
  EXPECT_EQ(this->Quiet(&F::move, this->Path(L"Copy"), this->Path(L"Moved")), 1);
  EXPECT_FALSE(Robust::Exists(this->Path(L"Copy")));
  EXPECT_EQ(SnapshotOf(this->Path(L"Moved")), tree);
  this->ExpectNeighboursIntact();
}

// A drive that fills up mid-copy: some shells answer success with the file
// cut short, and 1 would be a lie a caller deletes its source on.
TYPED_TEST(FileOps, ACopyThatArrivesShortIsNoCopy) {
  using F = typename TestFixture::Forms;
  if (GetFileAttributesW(L"Q:\\") == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "the jail has no full drive Q:";
  const std::wstring source = this->MakeFile(L"Big\\big.bin", std::string(3 << 20, 'b'));
  const std::wstring destination = L"Q:\\copy-" + std::to_wstring(GetCurrentProcessId());
  EXPECT_EQ(this->Quiet(&F::copy, this->Path(L"Big"), destination), 0);
  // The shell's code says nothing true here: the reason is the drive's room.
  const std::wstring report = Host::LastReport();
  for (const std::wstring& says : {destination + L"\\big.bin", std::wstring(L"не хватает места"),
                                   std::wstring(L"Last Error: 112.")})
    EXPECT_NE(report.find(says), std::wstring::npos) << report;
  EXPECT_EQ(report.find(L"Выполнено успешно"), std::wstring::npos) << report;
  EXPECT_TRUE(Host::RemoveTestTree(destination));
  EXPECT_TRUE(Robust::Exists(source));
}

// The tree lies in the current directory, on the jail's spare drive R:, so
// that a refusal that failed would act on it and be seen.
TYPED_TEST(FileOps, RelativePathsAndDriveRootsAreRefusedAndNothingIsTouched) {
  using F = typename TestFixture::Forms;
  const std::wstring work = L"R:\\work-" + std::to_wstring(GetCurrentProcessId()), data = work + L"\\Data";
  ASSERT_TRUE(CreateDirectoryW(work.c_str(), nullptr)) << "no drive R:";
  Robust::PlantTree(data);
  const CurrentDirectory inside(work);
  const std::wstring unanchored = L"Путь задан не полностью", root = L"корневым каталогом";
  // Wine's way to any Unix path, this tree's included.
  std::wstring unix = L"\\\\?\\unix" + Host::UnixPath(data);
  std::replace(unix.begin(), unix.end(), L'/', L'\\');
  ASSERT_TRUE(Robust::IsDirectory(unix)) << Host::Ansi(unix);
  const std::pair<std::wstring, const std::wstring*> refused[] = {
      {L"", &unanchored}, {L"Data", &unanchored}, {L".", &unanchored}, {L"Data\\*", &unanchored},
      {this->Root().substr(0, 2), &unanchored}, {data.substr(2), &unanchored}, {L"R:\\", &root},
      {L"R:\\*", &root}, {work + L"\\..", &root}, {work + L"\\..\\*", &root}, {L"R:\\.", &root},
      {unix, &unanchored}};
  const Host::Snapshot before = SnapshotOf(work);
  for (const auto& [path, message] : refused) {
    for (const auto remove : {&F::remove, &F::clearContents, &F::clearFromFiles})
      EXPECT_NE(this->Boxed(L"Path", remove, path).find(*message), std::wstring::npos) << path;
    this->Boxed(L"PathMove", &F::move, path, this->Path(L"Moved"));
    // A root is a fine destination; a relative one is not.
    if (message == &unanchored) this->Boxed(L"PathCopy", &F::copy, data, path);
  }
  EXPECT_EQ(SnapshotOf(work), before);
  EXPECT_EQ(this->Quiet(&F::remove, data), 1) << "below the root, the drive works as any other";
  EXPECT_TRUE(Host::RemoveTestTree(work));
}

}  // namespace
