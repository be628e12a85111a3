#pragma once
// Removing what a walk found, entry by entry where the shell's own delete
// would do harm: links as links, the names of files that have others with
// the attributes those keep, read-only files as any other. Nothing stops at
// the first failure; each answers its outcome.
#include <string>

#include "utils/errors/Utils.Outcome.h"
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
// (or of every file, with all) lose the attribute before the shell runs, and
// get it back if they stay.
class ReadOnlyLifted {
 public:
  ReadOnlyLifted(const Tree::Survey& survey, bool all);
  ReadOnlyLifted(const ReadOnlyLifted&) = delete;
  ReadOnlyLifted& operator=(const ReadOnlyLifted&) = delete;
  // Puts the attribute back on each lifted file still there by its own name.
  ~ReadOnlyLifted();

 private:
  const Tree::Survey& survey_;
  std::vector<std::size_t> lifted_;
};

// One entry through the shell: its answer.
Shell::Answer RemoveEntry(const std::wstring& path);

}  // namespace Utils::Removal
