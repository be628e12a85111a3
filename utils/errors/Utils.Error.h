#pragma once
// Failure reports: how a raised failure (utils/runtime/Utils.Failure.h) is
// composed, described, shown and delivered.
#include <windows.h>

#include <string>

#include "utils/runtime/Utils.Failure.h"

namespace Utils::Error {

// The header a warning shows: the signature, CR LF and the "File:"/"Line:"
// block.
std::wstring HeaderW(const Site& site);

// What a report says of a Windows code: the system's text.
std::wstring CodeW(DWORD code);

// "\nLast Error: <code>.\n<system text>\n" for any code.
std::wstring SystemTextW(DWORD code);

// The library's own text of a shell file-operation result; a result
// without a row gets the system text.
std::wstring ShellW(int code);

// Show a text in a message box through MessageBoxTimeoutW of the already
// loaded User32.dll. Throws a composed failure when User32.dll is not loaded.
void ShowW(const wchar_t* text, const wchar_t* caption, const UINT style, const DWORD timeout);

// The one way a report or a warning reaches the caller: kept as the calling
// thread's last report (Utils.ThreadState.h), then shown in a box unless the
// thread is quiet.
void Deliver(const std::wstring& report, const wchar_t* caption, const UINT style);

// Delivers a warning that is not raised: signature, location and message.
// The thread's last error is left as it was.
void Warn(const Site& site, const wchar_t* caption, const std::wstring& message);

// Writes a report, and a line end when asked, to the standard wide output.
void Echo(const std::wstring& report, const bool lineEnd = true);

constexpr UINT kStyleError = 0x50010;
constexpr UINT kStyleInformation = 0x52040;

}  // namespace Utils::Error
