#pragma once
// The shell's file operation (SHFileOperationW), requested the one way the
// library requests it: silent, final, one name each side.
#include <string>

#include "utils/errors/Utils.Error.h"

namespace Utils::Shell {

// The shell's request carries names of fewer than MAX_PATH characters. It
// cannot carry out a longer one, and some shells overrun their own buffers
// on one, taking the host process down.
bool Fits(const std::wstring& path);

// Runs one request; true when the shell reports complete success. A
// refusal is noted for site, with the shell's answer and the last error.
// The destination is not handed over for a delete.
bool Run(const Error::Site& site, unsigned short wFunc, const std::wstring& source, const std::wstring& destination);

// Deletes one entry and sees it gone: some shells answer success for what
// they could not delete.
bool Delete(const Error::Site& site, const std::wstring& path);

}  // namespace Utils::Shell
