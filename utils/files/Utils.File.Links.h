#pragma once
// Links, removed as links: the shell's recursive delete may walk through a
// directory link into the directory it points to and empty that too, and
// under Wine every call on a link acts on its target. A link is removed
// through a handle the system opened on the link itself, and only where it
// can open one.
#include <string>

#include "utils/errors/Utils.Error.h"

namespace Utils::Links {

// Raises a report for site, before anything is touched, where the system
// cannot open the link at path without opening its target (Wine).
void RequireRemovable(const Error::Site& site, const std::wstring& path);

// Removes the link itself and sees it gone and its target unchanged; the
// reason of a failure is noted for site.
bool Remove(const Error::Site& site, const std::wstring& path);

// A link at link leading to target (Wine's CreateSymbolicLinkW answers
// success and makes nothing, and a directory of the link's name may be in
// its place).
bool LeadsTo(const std::wstring& link, const std::wstring& target);

}  // namespace Utils::Links
