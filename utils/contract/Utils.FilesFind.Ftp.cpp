// Kept for the contract, reached by no export: a FilesFind searches an FTP
// connection of WinINet only when UseFtp set it up, which no operation of
// the library does.
#include "utils/contract/Utils.FilesFind.Ftp.h"

namespace Utils::Ftp {

SearchHandle FindFirst(HINTERNET connection, const std::wstring& argument, WIN32_FIND_DATAW& first, DWORD flags,
                       DWORD_PTR context) {
  return SearchHandle(FtpFindFirstFileW(connection, argument.c_str(), &first, flags, context));
}

bool FindNext(const SearchHandle& search, WIN32_FIND_DATAW& record) {
  return InternetFindNextFileW(search.get(), &record) != FALSE;
}

}  // namespace Utils::Ftp
