#include "cli/Library.h"

namespace Cli {

Library::Library() : module_(LoadLibraryW(L"Sedgefold.dll")), loadError_(0) {
  if (module_ == nullptr) loadError_ = GetLastError();
}

Library::~Library() {
  if (module_ != nullptr) FreeLibrary(module_);
}

std::wstring Library::FilePath() const {
  if (module_ == nullptr) return std::wstring();
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(module_, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

FARPROC Library::Address(const char* name) const {
  return module_ != nullptr ? GetProcAddress(module_, name) : nullptr;
}

}  // namespace Cli
