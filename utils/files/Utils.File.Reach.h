#pragma once
// What a path given to a destructive operation reaches. The shell resolves a
// relative path against the process's current directory and expands "C:",
// "\" and ".." as the system does, so a path that looks harmless can name a
// whole drive: only paths anchored at a drive or a share are handed over,
// and nothing whose removal would take a root with it.
#include <string>

#include "utils/errors/Utils.Error.h"

namespace Utils::Reach {

// No wildcard in the last name: the path names one entry, not a pattern.
bool NamesOneEntry(const std::wstring& path);

// A source: anchored, below a root, and with no name the system and the
// shell read differently. A destination: anchored (a root will do), no
// such name, and no pattern. Refused with a report otherwise.
void RequireBelowRoot(const Error::Site& site, const std::wstring& path);
void RequireDestination(const Error::Site& site, const std::wstring& path);

// What the shell is given: the anchored path normalised, so that it never
// sees a "." or "..", a long prefix, a slash or a trailing separator.
std::wstring ShellPath(const std::wstring& path);

}  // namespace Utils::Reach
