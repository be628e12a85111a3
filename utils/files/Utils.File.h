#pragma once
// Changing the file system: shell copy, move and delete, directory
// creation, directory links, and clearing directories. A failure that is
// no broken precondition answers false and leaves its reason noted for the
// calling thread (Error::Note).
#include <string>

namespace Utils {
namespace MainFile {

// Shell operation wFunc (1 move, 2 copy, 3 delete, 4 rename), silent and
// final. True only when the work is done: the shell reports complete
// success and what it claims is found on disk, by exact name. Another wFunc
// raises a report.
//
// Refused with a report before anything is touched: a source that is not a
// full path below a root (a drive or a share; a wildcard only in its last
// name), a destination that is not a full path or is a pattern, a name in
// either that the system and the shell read differently ("...", "x."), and
// a tree the walk refuses (Tree::Take): an entry the shell cannot address
// exactly, a level it cannot list whole, a pattern's match that matches
// only by its short name, and for a copy or move two names equal but for
// case or an entry that vanished meanwhile. A delete removes links inside
// what it names as links first, never what they lead to; where the system
// cannot remove a link by itself, the delete is refused. A move of a link,
// or of a tree holding one, is refused. A file with other names keeps its
// attributes under them.
//
// False, with nothing done and the reason noted: nothing matches the
// source, a path of MAX_PATH characters or more (the shell takes none
// longer), a destination that is the source or lies inside it (by
// identity, whatever letters or links lead there).
bool FileOperation(const std::wstring& from, const std::wstring& to, const unsigned short wFunc);
bool DeleteOperation(const std::wstring& path);

// Creates a directory with its missing parents; an existing directory is
// success, an existing file in its place is not.
bool CreatePath(const std::wstring& path);

// A directory link at link pointing to target, after checking that the
// target exists, validating link and creating its parent directories. True
// only when a link leading to target is there afterwards.
bool SymbolicLink(const std::wstring& target, const std::wstring& link, const bool unused = true);

// Removes the link at path itself, never what it leads to, and checks that
// it is gone and its target unchanged. Raises a report, before anything is
// touched, where the system cannot remove the link without acting on its
// target (Wine).
bool RemoveLink(const std::wstring& path);

}  // namespace MainFile

namespace Path {

// Empties a directory and keeps it. False after any failed removal. A path
// that is not an existing directory below a root raises a report; so does a
// tree that a delete would refuse, before anything is removed.
bool ClearContents(const std::wstring& path);
// Removes every file of a directory tree and keeps every directory; enters
// directory links below it. False also when a level could not be listed.
// Reports as for ClearContents.
bool ClearFromFiles(const std::wstring& path);

}  // namespace Path
}  // namespace Utils
