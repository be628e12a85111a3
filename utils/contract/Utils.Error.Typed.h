#pragma once
// Kept for the contract, reached by no export: the typed descriptions of an
// error value, the narrow texts, and the texts of WinINet and common-dialog
// codes, which no operation of the library meets. The library's own reports
// describe codes through Utils.Error.h.
#include <windows.h>

#include <string>

#include "utils/errors/Utils.ErrorTables.h"

namespace Utils::Error {

// Description of an error value; the value's type says where the code comes
// from (bool: the thread's last error; LONG: a Windows code, -1 for the last
// error; WORD: a common-dialog code; INT: a shell file-operation result).
// A Windows code in WinINet's range gets WinINet's text.
template <class T> std::wstring DescriptionW(T value);
template <class T> std::string DescriptionA(T value);
template <> std::wstring DescriptionW<bool>(bool withLastError);
template <> std::string DescriptionA<bool>(bool withLastError);
template <> std::wstring DescriptionW<LONG>(LONG code);
template <> std::string DescriptionA<LONG>(LONG code);
template <> std::wstring DescriptionW<WORD>(WORD code);
template <> std::string DescriptionA<WORD>(WORD code);
template <> std::wstring DescriptionW<INT>(INT code);
template <> std::string DescriptionA<INT>(INT code);

// SystemTextW in the system's ANSI code page.
std::string SystemTextA(DWORD code);

// Library-own texts of WinINet, shell file-operation and common-dialog codes,
// narrow in code page 1251; codes without a row get the system text.
std::wstring InternetW(const long code);
std::string InternetA(const long code);
std::string ShellA(int code);
std::wstring CommonDialogW(WORD code);
std::string CommonDialogA(WORD code);

namespace Detail {

// The warning of a description asked for a type that carries no error code.
void WarnUnexpectedTypeW();
void WarnUnexpectedTypeA();

}  // namespace Detail

// Types other than those specialised above carry no error code.
template <class T> std::wstring DescriptionW(T) {
  Detail::WarnUnexpectedTypeW();
  return std::wstring();
}

template <class T> std::string DescriptionA(T) {
  Detail::WarnUnexpectedTypeA();
  return std::string();
}

namespace Tables {

const Table& Internet();
const Table& CommonDialog();

// Rows as ShellRow writes them, with WinINet codes in decimal and
// common-dialog codes as "0x" and four hex digits.
std::wstring InternetRow(const Row& row);
std::wstring CommonDialogRow(const Row& row);

// The narrow rows are the wide ones in code page 1251, whatever the system's
// ANSI code page is.
constexpr int kCyrillicCodePage = 1251;

// The WinINet code whose text is the server's last response, not its row.
constexpr long kServerResponseCode = 12003;

}  // namespace Tables
}  // namespace Utils::Error
