#pragma once
// The jail the test programs run in (tests/jail.sh): a throw-away Wine prefix
// with no Z: drive, so that no path reaches the machine's own files. Each
// test program links Jail.cpp, which refuses to run the tests anywhere else
// and starts the Unix tools the tests make trees with.
#include <string>
#include <vector>

namespace Jail {

// A copy of the host's /bin/sh on the jail's drive C:, put there by
// tests/jail.sh. Started through Wine it runs as a Unix process and finds the
// Unix tools (ln, rm, touch, mkdir) on the host's PATH.
constexpr wchar_t kShell[] = L"C:\\unix\\sh";

// A program of the Unix host, started through kShell, and its exit status
// (-1 when it did not finish within timeoutMs, or outside Wine); and the
// Unix path of a Windows path (empty outside Wine).
int RunUnix(const std::vector<std::wstring>& argv, unsigned long timeoutMs = 10000);
std::wstring UnixPath(const std::wstring& path);
// A shell script run by the Unix shell in directory (a Windows path): what
// only Unix can make. Its exit status, as RunUnix answers.
int RunScript(const std::wstring& directory, const std::wstring& script, unsigned long timeoutMs = 60000);

}  // namespace Jail
