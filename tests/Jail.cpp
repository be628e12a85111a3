// Before the first test, the program checks that it runs in the jail: with a
// Z: drive (the Unix root) or without the mark tests/wine-run.sh sets, a test
// that deletes, clears, copies or moves could reach the machine's own files,
// so it runs nothing. Listing the tests (--gtest_list_tests) runs no
// environment and needs no check.
#include "Jail.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

const char* Refusal() {
  // Wine's drive list is made when its server starts; a path is looked up
  // in the prefix's drive links when it is used.
  if ((GetLogicalDrives() & (1u << ('Z' - 'A'))) || GetFileAttributesW(L"Z:\\") != INVALID_FILE_ATTRIBUTES)
    return "drive Z: exists";
  if (GetEnvironmentVariableW(L"SF_JAIL", nullptr, 0) == 0) return "SF_JAIL is not set";
  return nullptr;
}

class Guard : public ::testing::Environment {
 public:
  void SetUp() override {
    if (const char* reason = Refusal()) {
      std::fprintf(stderr,
                   "Not in the test jail (%s): no test run. Run it with "
                   "bash tests/wine-run.sh BUILD_DIR PROGRAM [ARGS...]\n",
                   reason);
      std::fflush(stderr);
      std::exit(3);
    }
  }
};

[[maybe_unused]] ::testing::Environment* const gGuard =
    ::testing::AddGlobalTestEnvironment(new Guard);

}  // namespace
