#pragma once
// Changing the file system: shell copy, move and delete, directory
// creation, directory links, and clearing directories. A broken
// precondition raises a report; work that fails answers its outcome, with
// the true reason found for it.
#include <string>

#include "utils/errors/Utils.Outcome.h"

namespace Utils {
namespace MainFile {

// Shell operation wFunc (1 move, 2 copy, 3 delete, 4 rename), silent and
// final. Done only when the shell reports complete success and what it
// claims is found on disk, by exact name. Another wFunc raises a report.
//
// Refused with a report before anything is touched: a source that is not a
// full path below a root (a drive or a share; a wildcard only in its last
// name), a destination that is not a full path or is a pattern, a name in
// either that the system and the shell read differently ("...", "x."), and
// a tree the walk refuses (Tree::Take): an entry the shell cannot address
// exactly, a level it cannot list whole, a pattern's match that matches
// only by its short name, and for a copy or move two names equal but for
// case, a name the shell would carry under another, an entry that vanished
// meanwhile, and what stands at the destination where an entry goes but
// cannot go onto it (a directory onto a file and the reverse, a link, a
// name in another case). A delete removes links inside what it names as
// links first, never what they lead to; where the system cannot remove a
// link by itself, the delete is refused. A move of a link, or of a tree
// holding one, is refused. A file with other names keeps its attributes
// under them. A move to another volume, or one that would merge into an
// existing directory, is a copy, checked whole, then a delete of the source.
//
// Failed, with nothing done: nothing matches the source, a path of MAX_PATH
// characters or more (the shell takes none longer), a destination that is
// the source or lies inside it (by identity, whatever letters or links lead
// there).
Error::Outcome FileOperation(const std::wstring& from, const std::wstring& to, const unsigned short wFunc);
Error::Outcome DeleteOperation(const std::wstring& path);

// Creates a directory with its missing parents; an existing directory is
// success, an existing file in its place is not.
Error::Outcome CreatePath(const std::wstring& path);

// A directory link at link pointing to target, after checking that the
// target exists, validating link and creating its parent directories. Done
// only when a link leading to target is there afterwards.
Error::Outcome SymbolicLink(const std::wstring& target, const std::wstring& link, const bool unused = true);

// Removes the directory at path only when it is empty; a directory link as
// a link (raising a report, before anything is touched, where the system
// cannot remove it without acting on its target). Nothing there, or no
// directory, is nothing to remove.
Error::Outcome DeleteEmpty(const std::wstring& path);

}  // namespace MainFile

namespace Path {

// Empties a directory and keeps it: done when every entry is gone by its
// own name, every one tried whatever the others did. A path that is not an
// existing directory below a root raises a report; so does a tree that a
// delete would refuse, before anything is removed.
Error::Outcome ClearContents(const std::wstring& path);
// Removes every file of a directory tree and keeps every directory; enters
// directory links below it. Failed also when a level could not be listed.
// Reports as for ClearContents.
Error::Outcome ClearFromFiles(const std::wstring& path);

}  // namespace Path
}  // namespace Utils
