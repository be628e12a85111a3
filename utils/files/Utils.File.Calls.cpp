#include "utils/files/Utils.File.Calls.h"

#include <shlobj.h>

namespace Utils {

FileSystemCalls RealCalls() {
  return FileSystemCalls{&SHFileOperationW, &SHCreateDirectoryExW, &CreateSymbolicLinkW, &FindFirstFileExW,
                         &FindNextFileW};
}

FileSystemCalls& Calls() {
  static FileSystemCalls calls = RealCalls();
  return calls;
}

}  // namespace Utils
