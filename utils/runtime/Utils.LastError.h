#pragma once
// The thread's last error kept across a scope: work done while a failure is
// reported or kept must not change the error its report describes.
#include <windows.h>

namespace Utils {

class KeptLastError {
 public:
  KeptLastError() : code_(GetLastError()) {}
  ~KeptLastError() { SetLastError(code_); }
  KeptLastError(const KeptLastError&) = delete;
  KeptLastError& operator=(const KeptLastError&) = delete;

 private:
  DWORD code_;
};

}  // namespace Utils
