#pragma once
// Removing what a walk found, entry by entry where the shell's own delete
// would do harm: links as links, the names of files that have others with
// the attributes those keep, read-only files as any other. Nothing stops at
// the first failure; each answers its outcome.
#include <string>

#include "utils/errors/Utils.Outcome.h"
#include "utils/files/Utils.File.Effects.h"
#include "utils/files/Utils.File.Shell.h"
#include "utils/files/Utils.File.Tree.h"

namespace Utils::Removal {

// Refuses, before anything is touched, a survey holding a link the system
// cannot remove by itself (Wine); then removes every link of the survey.
void RequireRemovableLinks(const Error::Site& site, const Tree::Survey& survey);
Error::Outcome RemoveLinks(const Error::Site& site, const Tree::Survey& survey);

// Removes the names of the survey's files that have other names, before a
// shell that would take their read-only, hidden or system attribute from
// the file (and so from every name) gets the tree.
Error::Outcome RemoveOtherNamed(const Error::Site& site, const Tree::Survey& survey);

// One name at path removed through a handle the system opened on that name:
// a link itself, never what it leads to (seen unchanged afterwards), or one
// name of a file with several, whose attributes, lifted to let the name go,
// are put back for the others before the handle closes.
enum class Name { kLink, kOfFile };
Error::Outcome RemoveName(const Error::Site& site, const std::wstring& path, Name name);

// Not every shell deletes a read-only file: those of the survey's matches
// lose the attribute before the shell runs.
void LiftReadOnly(const Tree::Survey& survey);
// A file that stays keeps its read-only attribute, whoever lifted it (a
// shell lifts it from each file of a tree it deletes, and does not put it
// back on one it then cannot delete): the account's undone files get it
// back where they had it.
void KeepReadOnly(const Tree::Survey& survey, const Effects::Account& account);

// One entry of the survey through the shell, a read-only file lifted just
// before: the shell's answer.
Shell::Answer RemoveEntry(const Tree::Survey& survey, const Tree::Entry& entry);

// The matches that hold an entry the shell must not be given: a link or a
// name of a file with others that is still there, by its own name, after
// its own removal failed. The shell would delete what the link leads to, or
// take the file's attributes from its other names.
std::vector<char> HoldingWhatStayed(const Tree::Survey& survey);

}  // namespace Utils::Removal
