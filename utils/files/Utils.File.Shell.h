#pragma once
// The shell's file operation (SHFileOperationW), requested the one way the
// library requests it: silent, final, one name each side.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "utils/errors/Utils.Error.h"

namespace Utils::Shell {

// The flags of every shell request: nothing is ever shown or asked, and
// nothing goes to the recycle bin.
constexpr FILEOP_FLAGS kSilentFinal =
    FOF_MULTIDESTFILES | FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI;
static_assert(kSilentFinal == 0x0615, "the shell request's flags");

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
