#pragma once
// Links, seen as links: the shell's recursive delete may walk through a
// directory link into the directory it points to and empty that too, and
// under Wine every call on a link acts on its target. A link is removed
// through a handle the system opened on the link itself (Utils.File.Remove),
// and only where it can open one.
#include <string>

#include "utils/errors/Utils.Error.h"
#include "utils/runtime/Utils.Handle.h"

namespace Utils::Links {

// A handle on the link at path itself, with access; none where the system
// opens what it leads to instead (Wine), or where path is no link.
FileHandle OpenItself(const std::wstring& path, DWORD access);

// Raises a report for site, before anything is touched, where the system
// cannot open the link at path without opening its target (Wine).
void RequireRemovable(const Error::Site& site, const std::wstring& path);

// A link at link leading to target (Wine's CreateSymbolicLinkW answers
// success and makes nothing, and a directory of the link's name may be in
// its place).
bool LeadsTo(const std::wstring& link, const std::wstring& target);

}  // namespace Utils::Links
