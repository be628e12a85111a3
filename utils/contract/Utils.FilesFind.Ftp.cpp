// Kept for the contract, reached by no export: a FilesFind searches an FTP
// connection of WinINet only when UseFtp set it up, which no operation of
// the library does.
#include "utils/contract/Utils.FilesFind.Ftp.h"

#include "utils/contract/Utils.WinInet.h"

namespace Utils::Ftp {

// Without WinINet no search was opened, and none is found.
BOOL WINAPI CloseSearch(HINTERNET search) {
  const auto close = WinInet::Function<decltype(&InternetCloseHandle)>("InternetCloseHandle");
  return close != nullptr && close(search);
}

SearchHandle FindFirst(HINTERNET connection, const std::wstring& argument, WIN32_FIND_DATAW& first, DWORD flags,
                       DWORD_PTR context) {
  const auto find = WinInet::Function<decltype(&FtpFindFirstFileW)>("FtpFindFirstFileW");
  if (find == nullptr) return SearchHandle();
  return SearchHandle(find(connection, argument.c_str(), &first, flags, context));
}

bool FindNext(const SearchHandle& search, WIN32_FIND_DATAW& record) {
  const auto next = WinInet::Function<decltype(&InternetFindNextFileW)>("InternetFindNextFileW");
  return next != nullptr && next(search.get(), &record) != FALSE;
}

}  // namespace Utils::Ftp
