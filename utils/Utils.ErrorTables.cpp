#include "utils/Utils.Error.h"

// Placeholder lookups: every code gets the system text until the library's
// own tables are in place.
namespace Utils::Error {

std::wstring InternetW(const long code) { return SystemTextW(static_cast<DWORD>(code)); }
std::string InternetA(const long code) { return SystemTextA(static_cast<DWORD>(code)); }
std::wstring ShellW(int code) { return SystemTextW(static_cast<DWORD>(code)); }
std::string ShellA(int code) { return SystemTextA(static_cast<DWORD>(code)); }
std::wstring CommonDialogW(WORD code) { return SystemTextW(code); }
std::string CommonDialogA(WORD code) { return SystemTextA(code); }

}  // namespace Utils::Error
