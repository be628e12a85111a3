#include "utils/contract/Utils.WinInet.h"

namespace Utils::WinInet {

// Never freed: the one place to free it would be DllMain, which must not
// free a library.
HMODULE Loaded() {
  static const HMODULE wininet = LoadLibraryExW(L"wininet.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return wininet;
}

}  // namespace Utils::WinInet
