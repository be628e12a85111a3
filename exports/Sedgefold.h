#pragma once
// The library's exported functions (bare names, exported through the .def
// file). A forms take text in the system ANSI code page, W forms UTF-16.
// Every Path export reports its failures (in a message box, unless the
// calling thread is quiet: SedgefoldReportMode) and returns 0 (or null).
//
// Every 0 (or null) of a Path export leaves its reason in the calling
// thread's last report (SedgefoldLastReportW), box or no box. The plain
// answers are the only ones that leave it empty: PathCheck and PathIsEmpty
// answering 0 ("no"), and a listing that lists no name. Where a function
// below says "without a box", the reason is kept all the same.
#include <cstddef>
#include <cstdint>

namespace MT {

// The terminal's string records, as its arrays lay them out: 12 bytes each,
// capacity first (characters, terminator included), then the text pointer.
// The host owns both; the library only writes text into the buffer.
#pragma pack(push, 4)
struct _MQLSTRA {
  int capacity;
  char* text;
};
struct _MQLSTRW {
  int capacity;
  wchar_t* text;
};
#pragma pack(pop)

static_assert(sizeof(_MQLSTRA) == 12, "the terminal's records are 12 bytes");
static_assert(sizeof(_MQLSTRW) == 12, "the terminal's records are 12 bytes");
static_assert(offsetof(_MQLSTRA, capacity) == 0 && offsetof(_MQLSTRA, text) == 4,
              "capacity at 0, text pointer at 4");
static_assert(offsetof(_MQLSTRW, capacity) == 0 && offsetof(_MQLSTRW, text) == 4,
              "capacity at 0, text pointer at 4");

}  // namespace MT

extern "C" {

// 1 when path names an existing directory holding nothing but "." and "..";
// a plain 0 otherwise.
int PathIsEmptyA(const char* path);
int PathIsEmptyW(const wchar_t* path);

// Cuts the last name off the path in the caller's buffer, in place: one
// trailing backslash is ignored, and the text ends after the backslash
// before it (C:\dir\file.txt and C:\dir\sub\ both leave C:\dir\). A path
// without such a backslash stays as it is. Returns the buffer, or null on
// failure, the buffer then unchanged.
char* PathTrimNameFileA(char* path);
wchar_t* PathTrimNameFileW(wchar_t* path);

// 1 when path names an existing directory (one trailing backslash allowed),
// a plain 0 for a file or a missing path.
int PathCheckA(const char* path);
int PathCheckW(const wchar_t* path);

// Listing of one directory level: the entries matching pattern (normally a
// directory, a backslash and "*"), "." and ".." never among them, in the
// order the system returns them. mode 1 lists directories, 2 files, 3 both;
// any other mode is a failure, and nothing is searched. A pattern that
// matches nothing is a failure, not an empty listing. Returns the number of
// names copied: the smaller of the entries found and count. On failure 0 is
// returned; names written before it stay written.
//
// Character buffer: count slots of size bytes each, one after another;
// name i goes into slot i, at byte offset i * size, with its terminating
// zero (1 byte for A, 2 for W). Bytes after the terminator are left as they
// were. A slot too small for its name is filled with zeros and the call
// fails; so does a null buffer with names to copy, and a count * size that
// does not fit 64 bits (checked before anything is searched or copied).
// A names are converted to the system ANSI code page, as for PathGetListMA.
uint64_t PathGetListA(const char* pattern, const int mode, char* buffer,
                      const uint64_t count, const uint64_t size);
uint64_t PathGetListW(const wchar_t* pattern, const int mode, wchar_t* buffer,
                      const uint64_t count, const uint64_t size);

// The same listing into the host's string records: name i into record i,
// which must hold the name with its terminator. A record too small gets an
// empty text (when it has room for one) and the call fails; a negative
// capacity, a null text pointer or a null records pointer with names to
// copy fail without anything written there. A names are converted to the
// system ANSI code page; a character it lacks becomes its default character
// ("?"), never a look-alike: a fullwidth "\uFF3C" is no backslash. Beware
// that "?" is a wildcard to the A forms that take paths.
uint64_t PathGetListMA(const char* pattern, const int mode, MT::_MQLSTRA* records,
                       const uint64_t count);
uint64_t PathGetListMW(const wchar_t* pattern, const int mode, MT::_MQLSTRW* records,
                       const uint64_t count);

// Creates the directory and every missing directory above it. 1 when it
// exists as a directory afterwards (also when it already did), else 0
// without a box (the system's reason kept, or that a file stands there).
int PathCreateA(const char* path);
int PathCreateW(const wchar_t* path);

// Deletes the directory (or file) with everything in it, for good; 1 when
// it is gone. Links inside are removed as links, never followed. The path
// must be a full path below a drive or share root, hold no component that
// the system and the shell read differently ("...", "x.", "x "), and name
// a tree whose every entry the shell can address exactly; otherwise a box
// is shown and nothing is touched; so are a directory whose listing ends
// in an error other than "no more files", and a pattern one of whose
// matches matches it only by its 8.3 short name. Where the system cannot
// remove a link by itself (Wine), a tree holding one is refused likewise.
// A read-only, hidden or system file that has other names keeps those
// attributes under them. A missing path, a pattern matching nothing, one
// of MAX_PATH characters or more, or a shell that left the work undone
// gives 0 without a box.
int PathDeleteA(const char* path);
int PathDeleteW(const wchar_t* path);

// Removes the directory only when it holds nothing. 1 also when there is
// no directory of that name; 0 without a box, with nothing removed, when
// it has entries.
// A directory link is removed as a link (refused with a box under Wine).
int PathDeleteEmptyA(const char* path);
int PathDeleteEmptyW(const wchar_t* path);

// Deletes everything inside the directory and keeps the directory. Each
// entry is removed on its own: 0 without a box when any of them stays. A
// path that is not a directory below a root (a pattern is none; every
// spelling PathDelete takes is one), or a tree that PathDelete would
// refuse, shows a box and removes nothing.
int PathClearContentsA(const char* path);
int PathClearContentsW(const wchar_t* path);

// Deletes every file at every depth below the directory and keeps all
// directories. Directory links below it are entered and the files found
// through them deleted too; a file link is removed as a link. 0 without a
// box also when a level could not be listed (the level is named in the
// report and written to the standard output). Boxes as for
// PathClearContents.
int PathClearFromFilesA(const char* path);
int PathClearFromFilesW(const wchar_t* path);

// Copy or move source (a directory or file, a wildcard allowed in its last
// name) to destination, a name and never a pattern; a file already standing
// where an entry goes is replaced without asking, a folder there merged
// into; what stands there and cannot take it (a file where a folder goes and
// the reverse, a link, a name in another case) is refused with a box before
// anything is touched. A move to another volume, or onto something standing
// where it goes, is a copy seen whole and a delete of what was copied, as
// it was copied. Both must be full paths, the source below a
// root, with no component read differently by the system and the shell,
// and the source tree must hold only entries the shell can address exactly
// at both ends; otherwise a box, and nothing is touched. A move of a link
// or of a tree holding one is refused; so is a copy of a tree holding a
// link back into itself, a tree holding two names equal but for case, a
// pattern one of whose matches matches only by its short name, a directory
// whose listing is cut short, and an entry that vanishes meanwhile (for a
// copy, a folder; a file it misses it finds missing afterwards). 1 only
// when the work is seen done: every entry at the destination under its own
// exact name (files with their sizes and write times), and for a move the
// source gone; a
// copy or move that stopped halfway stays halfway, and answers 0 without a
// box. 0, with nothing done and no box, for a source that is not there or
// a pattern matching nothing, a destination that is the source or lies
// inside it (by identity: another letter or a link to the same folder
// counts), and a path of MAX_PATH characters or more.
int PathCopyA(const char* source, const char* destination);
int PathCopyW(const wchar_t* source, const wchar_t* destination);
int PathMoveA(const char* source, const char* destination);
int PathMoveW(const wchar_t* source, const wchar_t* destination);

// Creates a directory symbolic link at link pointing to target, making the
// directories above link first; 1 only when a link to target is there
// afterwards. A missing target or an invalid link path shows a box; a link
// that Windows refuses (or, under Wine, does not make) gives 0 without one,
// and the report says that no link is there.
int PathSymbolicLinkA(const char* target, const char* link);
int PathSymbolicLinkW(const wchar_t* target, const wchar_t* link);

// How failures on the calling thread are reported: 0 in a message box (the
// default), 1 quietly, with no box at all; -1 only asks. Warnings obey the
// mode too. Returns the mode in force before the call; any other mode
// changes nothing and returns -1 (so does 1 when the system has no memory
// or TLS slot left to keep it). Never shows a box.
int SedgefoldReportMode(int mode);

// The calling thread's last report: the text its box shows, or would have
// shown in quiet mode, with any warnings of the call before it, one blank
// line apart. Every Path export empties it as it starts, so a length of 0
// means that the thread's last Path call reported nothing. Copies at most
// capacity - 1 characters (never half a character) and a terminator; a null
// buffer or a capacity of 0 or less copies nothing. Returns the length of
// the whole report in characters, terminator not counted, whatever was
// copied. The A form converts to the system ANSI code page without best
// fit and counts the bytes of that text. Never fails, never shows a box,
// and leaves the report as it is.
int SedgefoldLastReportW(wchar_t* buffer, int capacity);
int SedgefoldLastReportA(char* buffer, int capacity);

// The library's version as one number, MAJOR * 10000 + MINOR * 100 + PATCH
// (1.1.0 is 10100), so that a caller built for one version can refuse
// another before its first real call. Never fails, never shows a box, and
// leaves the last report as it is.
int SedgefoldVersion(void);

}
