// The survey of a tree before the shell gets it, and the look at the
// destination after. Nothing here changes the file system.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "utils/files/Utils.File.h"
#include "utils/runtime/Utils.Handle.h"
#include "utils/text/Utils.Strings.h"

namespace Utils::Tree {
namespace {

using std::wstring;

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// A directory's listing asks for "\*" after its path.
constexpr std::size_t kListingSuffix = 2;

bool SameText(const wstring& a, const wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

wstring WithoutTrailingSeparator(wstring path) {
  if (!path.empty() && path.back() == L'\\') path.pop_back();
  return path;
}

unsigned long long SizeOf(const WIN32_FIND_DATAW& record) {
  return (static_cast<unsigned long long>(record.nFileSizeHigh) << 32) | record.nFileSizeLow;
}

// Tells a file link from a file where listings show both alike. The system
// resolves what it opens, so a link's final path is its target's, not the
// one it is listed at. Keeps the final path of the last directory asked
// about, since files come directory by directory.
class FileLinkFinder {
 public:
  bool IsLink(const wstring& path) {
    if (!ListsFileLinksAsFiles()) return false;
    const std::size_t slash = path.rfind(L'\\');
    if (path.compare(0, slash + 1, directory_) != 0 || directory_.empty()) {
      directory_ = path.substr(0, slash + 1);
      directoryFinal_ = WithoutTrailingSeparator(FinalPathOf(directory_));
    }
    const wstring final = FinalPathOf(path);
    return directoryFinal_.empty() || final.empty() ||
           !SameText(final, directoryFinal_ + path.substr(slash));
  }

 private:
  wstring directory_, directoryFinal_;
};

// Telling a file link from a file takes an open of the file, and the opens
// are the survey's whole cost where it is needed (Wine); they mostly wait on
// the Wine server, so those of a large tree are made by up to eight threads
// at once. Each takes one run of paths (they come directory by directory);
// a run its thread could not finish is checked again by the caller.
constexpr std::size_t kFilesPerThread = 256;
constexpr std::size_t kMostThreads = 8;

struct LinkRun {
  const std::vector<wstring>* paths;
  std::vector<char>* links;
  std::size_t begin, end;
  bool done;  // false: left to the caller, by a thread that did not start or stopped
};

DWORD WINAPI CheckRun(void* argument) {
  LinkRun& run = *static_cast<LinkRun*>(argument);
  try {
    FileLinkFinder finder;
    for (std::size_t i = run.begin; i < run.end; ++i) (*run.links)[i] = finder.IsLink((*run.paths)[i]);
    run.done = true;
  } catch (...) {
  }
  return 0;
}

class Walker {
 public:
  Walker(const Error::Site& site, const Plan& plan, Survey& survey)
      : site_(site), plan_(plan), survey_(survey) {}

  void Run(const wstring& source) {
    if (!List(source, kNone)) return;  // nothing matches
    survey_.matches = survey_.entries.size();
    while (!pending_.empty()) {
      const std::size_t directory = pending_.back();
      pending_.pop_back();
      const wstring pattern = survey_.PathOf(survey_.entries[directory]) + L"\\*";
      if (!List(pattern, directory))
        Error::Raise(site_, NoHandleMessage(pattern), true);
    }
    MarkFileLinks();
  }

 private:
  // Adds the entries matching pattern below parent (kNone: the source's own
  // matches). False when no search could be opened.
  bool List(const wstring& pattern, std::size_t parent) {
    WIN32_FIND_DATAW record{};
    SetLastError(0);
    const FindHandle search(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &record,
                                             FindExSearchNameMatch, nullptr, 0));
    if (!search) return false;
    do {
      if (!IsDotEntry(record)) Add(record, parent);
    } while (FindNextFileW(search.get(), &record));
    return true;
  }

  void Add(const WIN32_FIND_DATAW& record, std::size_t parent) {
    const wstring name = record.cFileName;
    const wstring relative =
        parent == kNone ? name : survey_.entries[parent].relative + L"\\" + name;
    const wstring path = survey_.directory + relative;
    if (!String::Path::IsExactName(name))
      Error::Raise(site_, String::Path::InexactNameMessage(path), false);
    const bool directory = IsDirectory(record);
    RequireFits(path, directory);
    Entry entry{relative, directory ? Kind::kDirectory : Kind::kFile, SizeOf(record)};
    if (!directory && plan_.findFileLinks && ListsFileLinksAsFiles())
      plainFiles_.push_back(survey_.entries.size());  // told apart after the walk
    if (IsLink(record))
      entry.kind = Kind::kLink;
    survey_.entries.push_back(entry);
    parents_.push_back(parent);
    if (!plan_.destination.empty())
      RequireFits(survey_.DestinationOf(entry, plan_.destination, plan_.nested), directory);
    if (directory) Directory(survey_.entries.size() - 1, path, entry.kind == Kind::kLink);
  }

  void MarkFileLinks() {
    std::vector<wstring> paths;
    paths.reserve(plainFiles_.size());
    for (const std::size_t index : plainFiles_) paths.push_back(survey_.PathOf(survey_.entries[index]));
    const std::vector<char> links = FileLinksAmong(paths);
    for (std::size_t i = 0; i < links.size(); ++i)
      if (links[i]) survey_.entries[plainFiles_[i]].kind = Kind::kLink;
  }

  void Directory(std::size_t index, const wstring& path, bool link) {
    if (!plan_.destinationChain.empty() && Reaches(index, plan_.destinationChain))
      survey_.intoItself = true;
    if (!link) {
      pending_.push_back(index);
    } else if (plan_.enterLinks) {
      if (LeadsBack(index))
        Error::Raise(site_, L"Ссылка ведёт обратно в дерево, которое она продолжает:\n\"" + path +
                                L"\"",
                     false);
      pending_.push_back(index);
    }
  }

  void RequireFits(const wstring& path, bool directory) {
    const std::size_t length = path.size() + (directory ? kListingSuffix : 0);
    if (length > kLongestPath) Error::Raise(site_, TooLongMessage(directory, path, length), false);
  }

  bool IdentityAt(std::size_t index, Identity& identity) {
    const auto known = identities_.find(index);
    if (known != identities_.end()) {
      identity = known->second.second;
      return known->second.first;
    }
    const bool found = IdentityOf(survey_.PathOf(survey_.entries[index]), identity);
    identities_.emplace(index, std::make_pair(found, identity));
    return found;
  }

  bool Reaches(std::size_t index, const std::vector<Identity>& chain) {
    Identity identity;
    return IdentityAt(index, identity) &&
           std::find(chain.begin(), chain.end(), identity) != chain.end();
  }

  // A link to a directory that the walk came through would make the shell
  // copy the same tree into itself until its paths grow too long.
  bool LeadsBack(std::size_t link) {
    std::vector<Identity> above;
    for (std::size_t at = parents_[link]; at != kNone; at = parents_[at]) {
      Identity identity;
      if (IdentityAt(at, identity)) above.push_back(identity);
    }
    for (const Identity& identity : ChainOf(survey_.directory)) above.push_back(identity);
    return Reaches(link, above);
  }

  const Error::Site& site_;
  const Plan& plan_;
  Survey& survey_;
  std::vector<std::size_t> parents_;  // of each entry; kNone for a match
  std::vector<std::size_t> pending_;  // directories still to list
  std::map<std::size_t, std::pair<bool, Identity>> identities_;
  std::vector<std::size_t> plainFiles_;  // files that may be links the listing hides
};

}  // namespace

std::vector<char> FileLinksAmong(const std::vector<wstring>& paths) {
  std::vector<char> links(paths.size(), 0);
  if (!ListsFileLinksAsFiles()) return links;  // the listing told them apart already
  const std::size_t count = std::max<std::size_t>(1, std::min(kMostThreads, paths.size() / kFilesPerThread));
  std::vector<LinkRun> runs(count);
  for (std::size_t r = 0; r < count; ++r)
    runs[r] = {&paths, &links, paths.size() * r / count, paths.size() * (r + 1) / count, false};
  std::vector<KernelHandle> threads;
  threads.reserve(count);  // no allocation once a thread runs
  for (std::size_t r = 1; r < count; ++r)
    if (HANDLE thread = CreateThread(nullptr, 0, CheckRun, &runs[r], 0, nullptr))
      threads.emplace_back(thread);
  CheckRun(&runs[0]);
  for (const KernelHandle& thread : threads) WaitForSingleObject(thread.get(), INFINITE);
  FileLinkFinder finder;
  for (const LinkRun& run : runs)
    for (std::size_t i = run.begin; i < run.end && !run.done; ++i) links[i] = finder.IsLink(paths[i]);
  return links;
}

wstring Survey::DestinationOf(const Entry& entry, const wstring& destination,
                              bool nested) const {
  if (pattern || nested) return destination + L"\\" + entry.relative;
  const std::size_t below = entry.relative.find(L'\\');
  return below == wstring::npos ? destination : destination + entry.relative.substr(below);
}

Survey Take(const Error::Site& site, const wstring& source, const Plan& plan) {
  Survey survey;
  const std::size_t slash = source.rfind(L'\\');
  survey.directory = source.substr(0, slash + 1);
  survey.pattern = source.find_first_of(L"*?", slash + 1) != wstring::npos;
  Walker(site, plan, survey).Run(source);
  return survey;
}

std::vector<Identity> ChainOf(const wstring& destination) {
  std::vector<Identity> chain;
  wstring path = WithoutTrailingSeparator(destination);
  for (;;) {
    Identity identity;
    if (IdentityOf(path.size() == 2 ? path + L"\\" : path, identity)) chain.push_back(identity);
    const std::size_t slash = path.rfind(L'\\');
    if (slash == wstring::npos || slash < 2) break;
    path.erase(slash);
  }
  return chain;
}

bool Arrived(const Survey& survey, const wstring& destination, bool nested) {
  for (const Entry& entry : survey.entries) {
    WIN32_FILE_ATTRIBUTE_DATA found;
    const wstring at = survey.DestinationOf(entry, destination, nested);
    if (!GetFileAttributesExW(at.c_str(), GetFileExInfoStandard, &found)) return false;
    const bool directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const unsigned long long size =
        (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    // A link arrives as what it led to, whatever that was.
    if (entry.kind == Kind::kDirectory && !directory) return false;
    if (entry.kind == Kind::kFile && (directory || size != entry.size)) return false;
  }
  return true;
}

}  // namespace Utils::Tree
