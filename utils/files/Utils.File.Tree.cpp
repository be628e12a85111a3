#include "utils/files/Utils.File.Tree.h"

#include <deque>
#include <unordered_map>

#include "utils/text/Utils.Strings.h"

namespace Utils::Tree {
namespace {

using std::wstring;

// A directory's listing asks for its separator and "*" after its path.
constexpr std::size_t kListingSuffix = 2;
constexpr DWORD kChangedByShells = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

wstring LastNameOf(const wstring& path, wchar_t separator) {
  const wstring trimmed = !path.empty() && path.back() == separator ? path.substr(0, path.size() - 1) : path;
  const std::size_t at = trimmed.rfind(separator);
  return at == wstring::npos ? trimmed : trimmed.substr(at + 1);
}

wstring VanishedMessage(const wstring& path) {
  return L"Элемент исчез, пока просматривалось дерево; дерево не трогается:\n\"" + path + L"\"";
}

class Walker {
 public:
  Walker(const Error::Site& site, const Plan& plan, Survey& survey, FilesFind& find)
      : site_(site), plan_(plan), survey_(survey), find_(find) {}

  void Run(const wstring& source) {
    if (!OpenLevel(source, kNone)) return;  // nothing matches
    while (!frames_.empty()) {
      Frame& frame = frames_.back();
      if (frame.next == frame.level.size()) {
        frames_.pop_back();
        continue;
      }
      Visit(frame.level[frame.next++], frame.directory);
    }
    if (plan_.findFileLinks || plan_.findOtherNames) OpenFiles();
  }

 private:
  struct Frame {
    std::size_t directory;  // the entry whose level this is; kNone for the source's matches
    FindDataList level;
    std::size_t next = 0;
    Held held;  // the directory, held once a link asks whether it leads back
    bool heldYet = false;
  };

  wstring DirectoryPath(std::size_t directory) const {
    return directory == kNone ? survey_.directory : survey_.PathOf(survey_.entries[directory]);
  }

  // Lists the level of pattern below directory and makes it the walk's
  // next frame. False when there is nothing to walk there.
  bool OpenLevel(const wstring& pattern, std::size_t directory) {
    Frame frame;
    frame.directory = directory;
    const bool top = directory == kNone;
    const FilesFind::Scan scan{plan_.levels != Plan::Levels::kRefuse,
                               top && survey_.pattern && plan_.refuseShortNameMatches};
    FilesFind::Ended ended{};
    try {
      ended = find_.ScanLevel(pattern, scan, [&](const WIN32_FIND_DATAW& record) {
        frame.level.push_back(record);
        return true;
      });
    } catch (const Error::Failure& refused) {
      if (plan_.levels == Plan::Levels::kRefuse) throw;
      Count(refused);  // the level's check refused it
      return false;
    }
    if (ended.end == FilesFind::End::kNotOpened) {
      Unopened(pattern, directory, ended.error);
      return false;
    }
    if (ended.end == FilesFind::End::kCutShort) CutShort(pattern, ended.error);
    if (plan_.refuseCasePairs) RequireNoCasePairs(frame.level, directory);
    if (scan.shortNames) RequireLongNameMatches(frame.level, pattern);
    frames_.push_back(std::move(frame));
    return true;
  }

  // A level that could not be opened. Below the top it has vanished, or is
  // refused, counted or passed over as the plan says; the top is a source
  // that matches nothing.
  void Unopened(const wstring& pattern, std::size_t directory, DWORD error) {
    if (directory == kNone && plan_.levels == Plan::Levels::kRefuse) return;
    if (directory != kNone && IsNotFound(error) && !IsThere(DirectoryPath(directory))) {
      Vanished(directory);
      return;
    }
    if (plan_.levels == Plan::Levels::kPassOver) return;
    SetLastError(error);
    const Error::Failure failure(site_, NoHandleMessage(pattern), true);
    if (plan_.levels == Plan::Levels::kRefuse) throw failure;
    Count(failure);
  }

  // Only "no more files" ends a level whole; what follows a cut could be
  // anything, so an operation that changes the tree refuses it.
  void CutShort(const wstring& pattern, DWORD error) {
    SetLastError(error);
    const Error::Failure failure(site_, CutShortMessage(pattern), true);
    if (!plan_.countCutShort) throw failure;
    Count(failure);
  }

  // A level passed over: written out, its reason noted, and counted.
  void Count(const Error::Failure& failure) {
    Error::Echo(failure.Text());
    Error::Note(failure);
    ++survey_.unlisted;
  }

  void Vanished(std::size_t index) {
    if (plan_.refuseVanished) Error::Raise(site_, VanishedMessage(survey_.PathOf(survey_.entries[index])), false);
    survey_.entries[index].kind = Kind::kGone;
  }

  void Visit(const WIN32_FIND_DATAW& record, std::size_t directory) {
    const wstring name = record.cFileName;
    const bool isDirectory = IsDirectory(record);
    if (plan_.listingLinks && IsDirectoryLink(record) && LastNameOf(DirectoryPath(directory), survey_.separator) == name)
      return;
    const wstring relative = directory == kNone ? name : survey_.entries[directory].relative + survey_.separator + name;
    const wstring path = survey_.directory + relative;
    if (!String::Path::IsExactName(name) && !(plan_.listingNames && String::Path::IsDeviceName(name)))
      Error::Raise(site_, String::Path::InexactNameMessage(path), false);
    const bool link = IsLink(record);
    const bool entered = isDirectory && (!link || plan_.enterLinks);
    if (entered && link && LeadsBack(path)) {
      if (plan_.listingLinks) return;
      Error::Raise(site_, L"Ссылка ведёт обратно в дерево, которое она продолжает:\n\"" + path + L"\"", false);
    }
    RequireFits(path, isDirectory);
    Entry entry{relative, isDirectory ? Kind::kDirectory : Kind::kFile, record.dwFileAttributes, SizeOf(record),
                directory, false};
    if (link && !entered) entry.kind = Kind::kLink;
    if (!plan_.destination.empty())
      RequireFits(survey_.DestinationOf(entry, plan_.destination, plan_.nested), isDirectory);
    survey_.entries.push_back(entry);
    if (plan_.keepRecords) survey_.records.push_back(record);
    if (!entered) return;
    const std::size_t index = survey_.entries.size() - 1;
    if ((directory == kNone || link) && ReachesDestination(path)) survey_.intoItself = true;
    OpenLevel(path + survey_.separator + L'*', index);
  }

  void RequireFits(const wstring& path, bool directory) {
    const std::size_t length = path.size() + (directory ? kListingSuffix : 0);
    if (length > kLongestPath) Error::Raise(site_, TooLongMessage(directory, path, length), false);
  }

  // One directory cannot hold two names that differ only in case on
  // Windows; a copy would land both on one.
  void RequireNoCasePairs(const FindDataList& level, std::size_t directory) {
    std::unordered_map<wstring, wstring> seen;
    const wstring at = DirectoryPath(directory);
    for (const WIN32_FIND_DATAW& record : level) {
      const auto [first, fresh] = seen.emplace(String::UpperInvariant(record.cFileName), record.cFileName);
      if (!fresh)
        Error::Raise(site_,
                     L"В каталоге два имени, различающиеся только регистром букв; Windows не может обратиться "
                     L"к ним по отдельности:\n\"" + at + first->second + L"\"\n\"" + at + record.cFileName + L"\"",
                     false);
    }
  }

  // The system matches a wildcard against short names too: "*.htm" finds
  // "report.html" through "REPO~1.HTM". Nobody who writes the pattern means
  // that entry.
  void RequireLongNameMatches(const FindDataList& level, const wstring& source) {
    const wstring pattern = source.substr(source.rfind(survey_.separator) + 1);
    for (const WIN32_FIND_DATAW& record : level) {
      const wstring shortName = record.cAlternateFileName;
      if (shortName.empty() || String::Path::Matches(pattern, record.cFileName) ||
          !String::Path::Matches(pattern, shortName))
        continue;
      Error::Raise(site_,
                   L"Элемент подходит к шаблону \"" + pattern + L"\" только коротким именем \"" + shortName +
                       L"\", а не своим:\n\"" + survey_.directory + record.cFileName + L"\"",
                   false);
    }
  }

  bool ReachesDestination(const wstring& path) {
    if (plan_.destinationChain == nullptr || plan_.destinationChain->empty()) return false;
    const Held held = Held::Of(path);
    for (const Held& link : *plan_.destinationChain)
      if (held.Is(link)) return true;
    return false;
  }

  // A link to a directory that the walk is inside of, or to one above
  // where it started, would have it walk the same tree again and again.
  bool LeadsBack(const wstring& link) {
    const Held target = Held::Of(link);
    if (!target.Known()) return false;
    for (Frame& frame : frames_) {
      if (!frame.heldYet) {
        frame.held = Held::Of(DirectoryPath(frame.directory));
        frame.heldYet = true;
      }
      if (target.Is(frame.held)) return true;
    }
    if (!aboveHeld_) {
      above_ = ChainOf(survey_.directory);
      aboveHeld_ = true;
    }
    for (const Held& directory : above_)
      if (target.Is(directory)) return true;
    return false;
  }

  // One open of each file that needs one, on the calling thread: where the
  // listing shows links to files as files, a link resolves elsewhere than
  // where it is listed; a read-only, hidden or system file tells how many
  // names it has.
  void OpenFiles() {
    const bool links = plan_.findFileLinks && ListsFileLinksAsFiles();
    std::unordered_map<std::size_t, wstring> directories;  // final paths, by the entry of the directory
    for (std::size_t i = 0; i < survey_.entries.size(); ++i) {
      Entry& entry = survey_.entries[i];
      const bool names = plan_.findOtherNames && (entry.attributes & kChangedByShells) != 0;
      if (entry.kind != Kind::kFile || (!links && !names)) continue;
      const wstring path = survey_.PathOf(entry);
      const FileHandle file = OpenMetadata(path);
      if (!file) {
        Unexamined(i, path);
        continue;
      }
      if (names) entry.otherNames = NamesOf(file) > 1;
      if (!links) continue;
      auto known = directories.find(entry.parent);
      if (known == directories.end())
        known = directories
                    .emplace(entry.parent, String::Path::WithoutTrailingBackslash(
                                               FinalPathOf(DirectoryPath(entry.parent))))
                    .first;
      const wstring final = FinalPathOf(file);
      const wstring name = path.substr(path.rfind(survey_.separator));
      if (known->second.empty() || final.empty() ||
          CompareStringOrdinal(final.c_str(), -1, (known->second + name).c_str(), -1, TRUE) != CSTR_EQUAL)
        entry.kind = Kind::kLink;
    }
  }

  // A file that could not be opened: vanished since it was listed, or kept
  // from us; what it is cannot be told then.
  void Unexamined(std::size_t index, const wstring& path) {
    const DWORD error = GetLastError();
    if (IsNotFound(error)) {
      Vanished(index);
      return;
    }
    Error::Raise(site_, L"Элемент нельзя открыть, чтобы узнать, что это:\n\"" + path + L"\"", true);
  }

  const Error::Site& site_;
  const Plan& plan_;
  Survey& survey_;
  FilesFind& find_;
  std::deque<Frame> frames_;  // the levels the walk is inside of; a new frame leaves the others in place
  std::vector<Held> above_;   // where the walk started and every directory above, once a link asks
  bool aboveHeld_ = false;
};

}  // namespace

Plan Plan::Delete() {
  Plan plan;
  plan.findFileLinks = true;
  plan.findOtherNames = true;
  plan.refuseShortNameMatches = true;
  return plan;
}

// The source of a clear is "*", which every long name matches.
Plan Plan::Clear() {
  Plan plan = Delete();
  plan.refuseShortNameMatches = false;
  return plan;
}

Plan Plan::ClearFiles() {
  Plan plan = Clear();
  plan.enterLinks = true;
  plan.listingLinks = true;
  plan.levels = Levels::kCount;
  return plan;
}

Plan Plan::Copy(const std::wstring& destination, bool nested, const std::vector<Held>& chain) {
  Plan plan;
  plan.enterLinks = true;
  plan.refuseCasePairs = true;
  plan.refuseShortNameMatches = true;
  plan.refuseVanished = true;
  plan.destination = destination;
  plan.nested = nested;
  plan.destinationChain = &chain;
  return plan;
}

Plan Plan::Move(const std::wstring& destination, bool nested, const std::vector<Held>& chain) {
  Plan plan = Copy(destination, nested, chain);
  plan.enterLinks = false;
  plan.findFileLinks = true;
  return plan;
}

Plan Plan::Listing() {
  Plan plan;
  plan.enterLinks = true;
  plan.listingLinks = true;
  plan.listingNames = true;
  plan.levels = Levels::kPassOver;
  plan.countCutShort = true;
  plan.keepRecords = true;
  return plan;
}

std::size_t Survey::Matches() const {
  std::size_t matches = 0;
  for (const Entry& entry : entries) matches += entry.IsMatch() && entry.kind != Kind::kGone;
  return matches;
}

wstring Survey::DestinationOf(const Entry& entry, const wstring& destination, bool nested) const {
  if (pattern || nested) return destination + separator + entry.relative;
  const std::size_t below = entry.relative.find(separator);
  return below == wstring::npos ? destination : destination + entry.relative.substr(below);
}

Survey Take(const Error::Site& site, const wstring& source, const Plan& plan, FilesFind& find) {
  Survey survey;
  survey.separator = find.Separator();
  const std::size_t slash = source.rfind(survey.separator);
  survey.directory = source.substr(0, slash + 1);
  survey.pattern = source.find_first_of(L"*?", slash + 1) != wstring::npos;
  Walker(site, plan, survey, find).Run(source);
  return survey;
}

Survey Take(const Error::Site& site, const wstring& source, const Plan& plan) {
  FilesFind find;
  return Take(site, source, plan, find);
}

std::vector<Held> ChainOf(const wstring& destination) {
  std::vector<Held> chain;
  wstring path = String::Path::WithoutTrailingBackslash(destination);
  for (;;) {
    Held held = Held::Of(path.size() == 2 ? path + L"\\" : path);
    if (held.Known()) chain.push_back(std::move(held));
    const std::size_t slash = path.rfind(L'\\');
    if (slash == wstring::npos || slash < 2) break;
    path.erase(slash);
  }
  return chain;
}

}  // namespace Utils::Tree
