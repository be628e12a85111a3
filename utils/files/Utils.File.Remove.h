#pragma once
// Removing what a walk found, entry by entry where the shell's own delete
// would do harm: links as links, the names of files that have others with
// the attributes those keep, read-only files as any other. Each failure is
// noted for the site; nothing stops at the first.
#include <string>

#include "utils/errors/Utils.Error.h"
#include "utils/files/Utils.File.Tree.h"

namespace Utils::Removal {

// Refuses, before anything is touched, a survey holding a link the system
// cannot remove by itself (Wine); then removes every link of the survey.
void RequireRemovableLinks(const Error::Site& site, const Tree::Survey& survey);
bool RemoveLinks(const Error::Site& site, const Tree::Survey& survey);

// Removes the names of the survey's files that have other names, before a
// shell that would take their read-only, hidden or system attribute from
// the file (and so from every name) gets the tree.
bool RemoveOtherNamed(const Error::Site& site, const Tree::Survey& survey);

// One file: its own name alone when it has others; otherwise through the
// shell, read-only lifted first and put back if the file stays.
bool RemoveFile(const Error::Site& site, const std::wstring& path, const Tree::Entry& entry);

}  // namespace Utils::Removal
