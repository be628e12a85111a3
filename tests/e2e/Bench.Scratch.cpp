// The scratch fixture's removal must never reach through a link (a link in a
// test's tree may point at data outside it) and must cope with one whose
// target is gone, which Wine does not even list.
#include "Host.h"

namespace {

class ScratchBench : public Host::Scratch {};

TEST_F(ScratchBench, RemovalLeavesLinkTargetsAloneAndCopesWithDanglingLinks) {
  const std::wstring kept = MakeFile(L"outside\\kept.txt", "x");
  MakeDirLink(L"tree\\link", Path(L"outside"));
  MakeDirLink(L"tree\\sub\\dangling", MakeDir(L"gone"));
  MakeFile(L"tree\\sub\\file.txt", "y");
  ASSERT_TRUE(RemoveDirectoryW(Path(L"gone").c_str()));

  EXPECT_TRUE(Host::RemoveTree(Path(L"tree")));
  EXPECT_EQ(GetFileAttributesW(Path(L"tree").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesW(kept.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
