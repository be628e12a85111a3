#pragma once
// The one walk of a tree: what every operation on a whole tree learns of it
// before it touches anything (delete, clear, copy, move, clearing files of a
// tree) and the recursive listing, each seeing the tree as its plan says.
// Nothing here changes the file system.
#include <string>
#include <unordered_map>
#include <vector>

#include "utils/errors/Utils.Error.h"
#include "utils/files/Utils.File.Facts.h"
#include "utils/files/Utils.FilesFind.h"

namespace Utils::Tree {

enum class Kind : unsigned char {
  kFile,
  kDirectory,
  kLink,  // a link of either kind that the walk did not follow
  kGone,  // vanished while the walk looked at it
};

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

struct Entry {
  std::wstring relative;  // below the survey's directory: a name, or names joined by the separator
  Kind kind;
  DWORD attributes;
  unsigned long long size;  // of a file
  std::size_t parent;       // the entry of the directory holding it; kNone for a match of the source
  bool otherNames;          // a file with further names, whose attributes a delete could take from them
  bool IsMatch() const { return parent == kNone; }
};

// How an operation sees a tree. Every operation takes one of the plans
// named below; what differs between them is stated here, once.
struct Plan {
  // Directory links: walked into (a copy: the shell copies through them;
  // clearing files: on purpose), or listed as links and left.
  bool enterLinks = false;
  // Of the links walked into: one named like the directory holding it is
  // passed over (it usually leads back there), and one leading back into
  // the walk, or above it, is passed over instead of refused.
  bool listingLinks = false;
  // Names that cannot be given to the system exactly are refused, but for
  // device names that the listing leaves to the check of their level.
  bool listingNames = false;
  // A level below the top that cannot be listed: refused (kRefuse), or
  // written to the standard wide output and counted (kCount), or, when it
  // cannot even be opened, passed over in silence (kPassOver, where a
  // refused check is still written out). The last two check each level's
  // directory as the listing does.
  enum class Levels { kRefuse, kCount, kPassOver } levels = Levels::kRefuse;
  // A level whose listing ends in an error other than "no more files":
  // refused, or written out and counted (the listing).
  bool countCutShort = false;
  // Under Wine: every file opened, to tell the links to files it lists as
  // files (and to find those that vanished).
  bool findFileLinks = false;
  // Read-only, hidden and system files opened to count their names: a
  // shell that deletes one takes those attributes from its other names.
  bool findOtherNames = false;
  // Two names equal but for case in one directory: no Windows name can
  // address them apart.
  bool refuseCasePairs = false;
  // A match of a wildcard source that matches only through its short name.
  bool refuseShortNameMatches = false;
  // An entry that vanishes meanwhile: left out (a delete needs nothing of
  // it), or refused (a copy would miss it).
  bool refuseVanished = false;
  // The whole search record of every entry (the listing hands them out).
  bool keepRecords = false;

  // A copy or move: where the source goes, whether it lands inside an
  // existing directory there, and that directory and every one above it,
  // held: a directory of the walk among them is "into itself".
  std::wstring destination;
  bool nested = false;
  const std::vector<Held>* destinationChain = nullptr;

  static Plan Delete();
  static Plan Clear();
  static Plan ClearFiles();
  static Plan Copy(const std::wstring& destination, bool nested, const std::vector<Held>& chain);
  static Plan Move(const std::wstring& destination, bool nested, const std::vector<Held>& chain);
  static Plan Listing();
};

struct Survey {
  std::wstring directory;  // where the source's matches lie, with its separator
  bool pattern = false;    // the source's last name holds a wildcard
  wchar_t separator = L'\\';
  std::vector<Entry> entries;            // depth first, each directory before what it holds
  std::vector<WIN32_FIND_DATAW> records;  // of each entry, when the plan keeps them
  bool intoItself = false;               // a directory of the walk is the destination or above it
  unsigned long long unlisted = 0;       // levels written out and passed over

  std::size_t Matches() const;
  std::wstring PathOf(const Entry& entry) const { return directory + entry.relative; }
  // Where an entry is expected after a copy or move to destination.
  std::wstring DestinationOf(const Entry& entry, const std::wstring& destination, bool nested) const;
};

// Walks what source names (one entry, or the matches of the wildcard in its
// last name), depth first and without recursion, through find's searches.
// Raises a report for site, before anything is touched, naming the first
// entry the plan's operation could not handle exactly. A source that
// matches nothing gives no entries.
Survey Take(const Error::Site& site, const std::wstring& source, const Plan& plan, FilesFind& find);
Survey Take(const Error::Site& site, const std::wstring& source, const Plan& plan);

// The destination and every existing directory above it, held.
std::vector<Held> ChainOf(const std::wstring& destination);

// Answers of the file system after an operation, by exact name: an entry
// counts only under its own name, letter for letter.
class ExactNames {
 public:
  enum class Seen { kThere, kAbsent, kUnknown };
  struct Found {
    DWORD attributes;
    unsigned long long size;
  };
  // What is at path: kUnknown when its directory could not be listed whole.
  Seen Look(const std::wstring& path, Found* found = nullptr);

 private:
  struct Level {
    bool complete = false;
    std::unordered_map<std::wstring, Found> names;
  };
  std::unordered_map<std::wstring, Level> levels_;  // by the directory's pattern
};

// True when every entry is at the destination, by its exact name, as the
// survey saw it: each directory a directory, each file of the same size.
// The first one missing is noted for site.
bool Arrived(const Error::Site& site, const Survey& survey, const std::wstring& destination, bool nested);
// True when none of the survey's matches is left under its name.
bool Gone(const Error::Site& site, const Survey& survey);

}  // namespace Utils::Tree
