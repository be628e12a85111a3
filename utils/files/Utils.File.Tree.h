#pragma once
// The one walk of a tree: what every operation on a whole tree learns of it
// before it touches anything (delete, clear, copy, move, clearing files of a
// tree) and the recursive listing, each seeing the tree as its plan says.
// A copy or move sees its destination in the same walk, level by level
// beside the source. Nothing here changes the file system.
#include <string>
#include <vector>

#include "utils/errors/Utils.Error.h"
#include "utils/errors/Utils.Outcome.h"
#include "utils/files/Utils.File.Facts.h"
#include "utils/files/Utils.File.Level.h"

namespace Utils::Tree {

enum class Kind : unsigned char {
  kFile,
  kDirectory,
  kLink,  // a link of either kind that the walk did not follow
  kGone,  // vanished while the walk looked at it
};

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

struct Entry {
  std::wstring relative;  // below the survey's directory: a name, or names joined by a backslash
  Kind kind;
  DWORD attributes;
  unsigned long long size;  // of a file
  FILETIME written;         // last written, which a copy keeps
  std::size_t parent;       // the entry of the directory holding it; kNone for a match of the source
  bool otherNames;          // a file with further names, whose attributes a delete could take from them
  bool landed;              // something of its name already stands where a copy or move puts it
  bool IsMatch() const { return parent == kNone; }
  bool IsReadOnlyFile() const { return kind == Kind::kFile && (attributes & FILE_ATTRIBUTE_READONLY) != 0; }
};

// How an operation sees a tree: each operation's plan is stated whole, once,
// in the definitions of the named plans below.
struct Plan {
  enum class Links : unsigned char {
    kList,   // a directory link is listed as a link and left
    kEnter,  // walked into, as the shell copies through it; one leading back into the walk is refused
    // walked into on purpose, but not one named like the directory holding
    // it (it usually leads back there), nor one leading back into the walk
    // or above it: those are passed over
    kEnterButNotBack,
  };
  // A level below the top that cannot be listed: refused; written to the
  // standard wide output and counted; or, when it cannot even be opened,
  // passed over in silence (a level its check refuses is still written out
  // and counted). The last two check each level's directory as a listing
  // does.
  enum class Unlistable : unsigned char { kRefuse, kCount, kPassOver };
  // A level whose listing ends in an error other than "no more files".
  enum class CutShort : unsigned char { kRefuse, kCount };
  enum Check : unsigned {
    // Device names are left to the check of their level (the listing's echo).
    kDevicesToLevel = 1u << 0,
    // Under Wine, every file opened to tell the links to files it lists as
    // files, and to find those that vanished.
    kFileLinks = 1u << 1,
    // Read-only, hidden and system files opened to count their names: a
    // shell that deletes one takes those attributes from its other names.
    kOtherNames = 1u << 2,
    // Two names equal but for case in one directory: no Windows name can
    // address them apart.
    kCasePairs = 1u << 3,
    // A match of a wildcard source that matches only through its short name.
    kShortNameMatches = 1u << 4,
    // An entry that vanishes meanwhile is refused instead of left out.
    kVanished = 1u << 5,
    // A name the shell would write under another name (under Wine, a Unix
    // name that is not UTF-8 and is listed with U+FFFD).
    kCarriedNames = 1u << 6,
    // The whole search record of every entry (the listing hands them out).
    kRecords = 1u << 7,
  };

  Links links;
  Unlistable unlistable;
  CutShort cutShort;
  unsigned checks;

  bool Has(Check check) const { return (checks & check) != 0; }

  static Plan Delete();
  static Plan Clear();
  static Plan ClearFiles();
  static Plan Copy();
  static Plan Move();
  static Plan Listing();
};

// Where a copy or move puts the source: the path, whether the source lands
// inside it (one entry into an existing directory), and that directory and
// every one above it, held: a directory of the walk among them is "into
// itself".
struct Destination {
  std::wstring path;
  bool nested = false;
  std::vector<Held> chain;

  static Destination Of(const std::wstring& source, const std::wstring& path);
};

struct Survey {
  std::wstring directory;  // where the source's matches lie, with its separator
  bool pattern = false;    // the source's last name holds a wildcard
  std::vector<Entry> entries;            // depth first, each directory before what it holds
  std::vector<WIN32_FIND_DATAW> records;  // of each entry, when the plan keeps them
  Destination destination;               // a copy's or move's; no path otherwise
  bool intoItself = false;               // a directory of the walk is the destination or above it
  unsigned long long unlisted = 0;       // levels written out and passed over
  Error::Outcome skipped;                // why they were

  std::size_t Matches() const;
  std::wstring PathOf(const Entry& entry) const { return directory + entry.relative; }
  // Where an entry is put by a copy or move; nested as the shell nests it.
  std::wstring DestinationOf(const Entry& entry) const { return DestinationOf(entry, destination.nested); }
  std::wstring DestinationOf(const Entry& entry, bool nested) const;
};

// Walks what source names (one entry, or the matches of the wildcard in its
// last name), depth first and without recursion. Raises a report for site,
// before anything is touched, naming the first entry the plan's operation
// could not handle exactly, and for a copy or move the first entry whose
// place at the destination holds what it cannot go onto. A source that
// matches nothing gives no entries.
Survey Take(const Error::Site& site, const std::wstring& source, const Plan& plan,
            Destination destination = Destination());

// The directory at path and every existing directory above it, held.
std::vector<Held> ChainOf(const std::wstring& path);

}  // namespace Utils::Tree
