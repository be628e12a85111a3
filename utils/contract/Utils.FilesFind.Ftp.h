#pragma once
// Kept for the contract, reached by no export: the FTP search of a
// FilesFind, which no operation of the library sets up. WinINet is found at
// run time (Utils.WinInet.h).
#include <windows.h>
#include <wininet.h>

#include <string>

#include "utils/runtime/Utils.Handle.h"

namespace Utils::Ftp {

// InternetCloseHandle of WinINet.
BOOL WINAPI CloseSearch(HINTERNET search);

using SearchHandle = Smart::Unique<HINTERNET, &CloseSearch>;

SearchHandle FindFirst(HINTERNET connection, const std::wstring& argument, WIN32_FIND_DATAW& first, DWORD flags,
                       DWORD_PTR context);
bool FindNext(const SearchHandle& search, WIN32_FIND_DATAW& record);

}  // namespace Utils::Ftp
