#pragma once
// The jail the test programs run in (tests/jail.sh): a throw-away Wine prefix
// with no Z: drive, so that no path reaches the machine's own files. Each
// test program links Jail.cpp, which refuses to run the tests anywhere else.

namespace Jail {

// A copy of the host's /bin/sh on the jail's drive C:, put there by
// tests/jail.sh. Started through Wine it runs as a Unix process and finds the
// Unix tools (ln, rm, touch, mkdir) on the host's PATH.
constexpr wchar_t kShell[] = L"C:\\unix\\sh";

}  // namespace Jail
