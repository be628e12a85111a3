// Kept for the contract, reached by no export: the descriptions of
// common-dialog error codes (CommDlgExtendedError), which no operation of
// the library can meet.
#include "utils/contract/Utils.Error.Typed.h"
#include "utils/errors/Utils.Error.h"
#include "utils/text/Utils.CodingStr.h"

namespace Utils::Error {

std::wstring CommonDialogW(WORD code) {
  if (const Tables::Row* row = Tables::CommonDialog().Find(code)) return Tables::CommonDialogRow(*row);
  return SystemTextW(code);
}

std::string CommonDialogA(WORD code) {
  if (const Tables::Row* row = Tables::CommonDialog().Find(code))
    return CodingStr::UnicodeToAnsi(Tables::CommonDialogRow(*row), Tables::kCyrillicCodePage);
  return SystemTextA(code);
}

}  // namespace Utils::Error
