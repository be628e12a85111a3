#pragma once
// What an operation finds on disk after the shell: some shells answer
// success for work they did not do, so no answer of success stands without
// what is seen, by exact name: an entry counts only under its own name,
// letter for letter.
#include <string>
#include <unordered_map>
#include <vector>

#include "utils/files/Utils.File.Tree.h"

namespace Utils::Effects {

class ExactNames {
 public:
  enum class Seen { kThere, kAbsent, kUnknown };
  struct Found {
    DWORD attributes;
    unsigned long long size;
    FILETIME written;
  };
  // What is at path: kUnknown when its directory could not be listed whole.
  // listed: how many entries the system shows under that name (Wine shows
  // two names that are not UTF-8 alike).
  Seen Look(const std::wstring& path, Found* found = nullptr, std::size_t* listed = nullptr);

 private:
  struct Level {
    bool complete = false;
    std::unordered_map<std::wstring, std::vector<Found>> names;
  };
  std::unordered_map<std::wstring, Level> levels_;  // by the directory's pattern
};

// Where a survey's entries are after the work, in walk order: done (at the
// destination, or gone from where they were) or not, and for each that is
// not, how it fails.
struct Account {
  enum class Miss { kNone, kAbsent, kUnlike, kStays };
  std::vector<std::size_t> done, undone;  // indexes into the survey's entries
  std::vector<Miss> misses;               // of each undone entry

  bool Whole() const { return undone.empty(); }
};

// Every entry at its destination as the survey saw it: each directory a
// directory, each file a file of the same size, last written when it was
// (a copy keeps that time; a file that was standing there before is not the
// copy). A link arrives as what it led to, whatever that was. nested: where
// the shell nests a lone source.
Account Arrivals(const Tree::Survey& survey, bool nested);
// The entries looked for, gone from where they were. Two entries the system
// shows under one name count once each: that many of the name must be gone.
enum class Among { kMatches, kEverything, kFiles };
Account Departures(const Tree::Survey& survey, Among among);

}  // namespace Utils::Effects
