#pragma once
// The shell's file operation (SHFileOperationW), requested the one way the
// library requests it: silent, final, one name each side.
#include <windows.h>
#include <shellapi.h>

#include <string>

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

// What the shell answered: its code, and whether it said it stopped. Only
// a code of 0 with nothing stopped claims the work done; what a claim is
// worth is seen on disk, and what a code means is not always what it says.
struct Answer {
  int code = 0;
  bool aborted = false;
  bool Claimed() const { return code == 0 && !aborted; }
};

// Runs one request. The destination is not handed over for a delete.
Answer Run(unsigned short wFunc, const std::wstring& source, const std::wstring& destination = std::wstring());

// The request's name in a report: "копирование", "удаление", ...
const wchar_t* NameOf(unsigned short wFunc);

}  // namespace Utils::Shell
