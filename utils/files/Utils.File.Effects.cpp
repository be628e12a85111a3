#include "utils/files/Utils.File.Effects.h"

#include <map>

namespace Utils::Effects {
namespace {

using std::wstring;
using Tree::Entry;
using Tree::Kind;

// Some file systems keep a write time to two seconds.
constexpr long long kTimeSlack = 2 * 10000000LL;

long long Ticks(const FILETIME& time) {
  return static_cast<long long>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

bool SameTime(const FILETIME& one, const FILETIME& other) {
  const long long apart = Ticks(one) - Ticks(other);
  return apart <= kTimeSlack && apart >= -kTimeSlack;
}

// A link arrives as what it led to, whatever that was.
bool Unlike(const Entry& entry, const ExactNames::Found& found) {
  const bool directory = (found.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return (entry.kind == Kind::kDirectory && !directory) ||
         (entry.kind == Kind::kFile &&
          (directory || found.size != entry.size || !SameTime(found.written, entry.written)));
}

void Count(Account& account, std::size_t index, Account::Miss miss) {
  if (miss == Account::Miss::kNone) {
    account.done.push_back(index);
    return;
  }
  account.undone.push_back(index);
  account.misses.push_back(miss);
}

}  // namespace

ExactNames::Seen ExactNames::Look(const wstring& path, Found* found, std::size_t* listed) {
  const std::size_t slash = path.rfind(L'\\');
  const wstring pattern = path.substr(0, slash + 1) + L'*', name = path.substr(slash + 1);
  auto level = levels_.find(pattern);
  if (level == levels_.end()) {
    level = levels_.emplace(pattern, Level()).first;
    Level& listed = level->second;
    const Utils::Level::Ended ended =
        Utils::Level::Scan(pattern, Utils::Level::Options{false, false}, [&](const WIN32_FIND_DATAW& record) {
          listed.names[record.cFileName].push_back(
              Found{record.dwFileAttributes, SizeOf(record), record.ftLastWriteTime});
          return true;
        });
    listed.complete = ended.end == Utils::Level::End::kComplete ||
                      (ended.end == Utils::Level::End::kNotOpened && IsNotFound(ended.error));
  }
  const auto entry = level->second.names.find(name);
  if (entry != level->second.names.end()) {
    if (found != nullptr) *found = entry->second.front();
    if (listed != nullptr) *listed = entry->second.size();
    return Seen::kThere;
  }
  return level->second.complete ? Seen::kAbsent : Seen::kUnknown;
}

Account Arrivals(const Tree::Survey& survey, bool nested) {
  Account account;
  ExactNames names;
  for (std::size_t i = 0; i < survey.entries.size(); ++i) {
    const Entry& entry = survey.entries[i];
    if (entry.kind == Kind::kGone) continue;
    ExactNames::Found found{};
    if (names.Look(survey.DestinationOf(entry, nested), &found) != ExactNames::Seen::kThere)
      Count(account, i, Account::Miss::kAbsent);
    else
      Count(account, i, Unlike(entry, found) ? Account::Miss::kUnlike : Account::Miss::kNone);
  }
  return account;
}

static bool LookedFor(const Entry& entry, Among among) {
  switch (among) {
    case Among::kMatches: return entry.IsMatch();
    case Among::kFiles: return entry.kind == Kind::kFile || entry.kind == Kind::kLink;
    default: return true;
  }
}

Account Departures(const Tree::Survey& survey, Among among) {
  Account account;
  ExactNames names;
  std::vector<char> gone(survey.entries.size(), 0);
  // Of a name still listed, how many listed entries are not yet taken for
  // one of the survey's entries: each stays once.
  std::map<wstring, std::size_t> left;
  for (std::size_t i = 0; i < survey.entries.size(); ++i) {
    const Entry& entry = survey.entries[i];
    if (entry.kind == Kind::kGone || !LookedFor(entry, among)) continue;
    // Below a directory that is gone nothing is left to look for.
    if (!entry.IsMatch() && gone[entry.parent] && among == Among::kEverything) {
      gone[i] = 1;
      Count(account, i, Account::Miss::kNone);
      continue;
    }
    const wstring path = survey.PathOf(entry);
    std::size_t listed = 0;
    const ExactNames::Seen seen = names.Look(path, nullptr, &listed);
    if (seen == ExactNames::Seen::kThere && !left.count(path)) left[path] = listed;
    bool stays = seen == ExactNames::Seen::kUnknown;
    if (seen == ExactNames::Seen::kThere) {
      std::size_t& still = left[path];
      stays = still > 0;
      if (stays) --still;
    }
    gone[i] = !stays;
    Count(account, i, stays ? Account::Miss::kStays : Account::Miss::kNone);
  }
  return account;
}

}  // namespace Utils::Effects
