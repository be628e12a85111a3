// The scratch fixture's removal must never reach through a link: a link in a
// test's tree may point at data outside it.
#include "Host.h"

namespace {

class ScratchBench : public Host::Scratch {};

TEST_F(ScratchBench, RemovalLeavesLinkTargetsAlone) {
  const std::wstring kept = MakeFile(L"outside\\kept.txt", "x");
  const std::wstring link = MakeDirLink(L"tree\\link", Path(L"outside"));
  MakeFile(L"tree\\sub\\file.txt", "y");
  ASSERT_EQ(GetFileAttributesW(link.c_str()) &
                (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT),
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));

  EXPECT_TRUE(Host::RemoveTree(Path(L"tree")));
  EXPECT_EQ(GetFileAttributesW(Path(L"tree").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesW(kept.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ScratchBench, RemovalCopesWithDanglingLinks) {
  MakeDir(L"gone");
  MakeDirLink(L"tree\\dangling", Path(L"gone"));
  ASSERT_TRUE(RemoveDirectoryW(Path(L"gone").c_str()));

  EXPECT_TRUE(Host::RemoveTree(Path(L"tree")));
  EXPECT_EQ(GetFileAttributesW(Path(L"tree").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
