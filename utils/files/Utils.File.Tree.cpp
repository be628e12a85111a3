#include "utils/files/Utils.File.Tree.h"

#include <algorithm>
#include <deque>
#include <unordered_map>

#include "utils/text/Utils.Strings.h"

namespace Utils::Tree {
namespace {

using std::wstring;

// A directory's listing asks for its separator and "*" after its path.
constexpr std::size_t kListingSuffix = 2;
constexpr DWORD kChangedByShells = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

wstring LastNameOf(const wstring& path) {
  const wstring trimmed = String::Path::WithoutTrailingBackslash(path);
  return trimmed.substr(trimmed.rfind(L'\\') + 1);
}

wstring Quoted(const wstring& path) { return L"\n\"" + path + L"\""; }

wstring VanishedMessage(const wstring& path) {
  return L"Элемент исчез, пока просматривалось дерево; дерево не трогается:" + Quoted(path);
}

// What already stands in a directory a copy or move writes into, by the
// name as the file system folds it.
using Landing = std::unordered_map<wstring, std::vector<WIN32_FIND_DATAW>>;

class Walker {
 public:
  Walker(const Error::Site& site, const Plan& plan, Survey& survey) : site_(site), plan_(plan), survey_(survey) {}

  void Run(const wstring& source) {
    if (!OpenLevel(source, kNone)) return;  // nothing matches
    while (!frames_.empty()) {
      Frame& frame = frames_.back();
      if (frame.next == frame.level.size()) {
        frames_.pop_back();
        continue;
      }
      const std::size_t at = frame.next++;
      Visit(frame.level[at], frame.directory, frame.landed[at] != 0);
    }
    if (plan_.Has(Plan::kFileLinks) || plan_.Has(Plan::kOtherNames)) OpenFiles();
  }

 private:
  struct Frame {
    std::size_t directory;  // the entry whose level this is; kNone for the source's matches
    FindDataList level;
    std::vector<char> landed;  // of each record: something of its name stands where it goes
    std::size_t next = 0;
    Held held;  // the directory, held once a link asks whether it leads back
    bool heldYet = false;
  };

  wstring DirectoryPath(std::size_t directory) const {
    return directory == kNone ? survey_.directory : survey_.PathOf(survey_.entries[directory]) + L'\\';
  }

  // Lists the level of pattern below directory and makes it the walk's
  // next frame. False when there is nothing to walk there.
  bool OpenLevel(const wstring& pattern, std::size_t directory) {
    Frame frame;
    frame.directory = directory;
    const bool top = directory == kNone;
    const Level::Options options{plan_.unlistable != Plan::Unlistable::kRefuse,
                                 top && survey_.pattern && plan_.Has(Plan::kShortNameMatches)};
    Level::Ended ended{};
    try {
      ended = Level::Scan(pattern, options, [&](const WIN32_FIND_DATAW& record) {
        frame.level.push_back(record);
        return true;
      });
    } catch (const Error::Failure& refused) {
      if (plan_.unlistable == Plan::Unlistable::kRefuse) throw;
      Count(refused);  // the level's check refused it
      return false;
    }
    if (ended.end == Level::End::kNotOpened) {
      Unopened(pattern, directory, ended.error);
      return false;
    }
    if (ended.end == Level::End::kCutShort) CutShort(pattern, ended.error);
    if (plan_.Has(Plan::kCasePairs)) RequireNoCasePairs(frame.level, directory);
    if (options.shortNames) RequireLongNameMatches(frame.level, pattern);
    frame.landed.assign(frame.level.size(), 0);
    if (!survey_.destination.path.empty()) SurveyLanding(frame);
    frames_.push_back(std::move(frame));
    return true;
  }

  // A level that could not be opened. Below the top it has vanished, or is
  // refused, counted or passed over as the plan says; the top is a source
  // that matches nothing.
  void Unopened(const wstring& pattern, std::size_t directory, DWORD error) {
    // A source kept from us is no source that matches nothing.
    if (directory == kNone && plan_.unlistable == Plan::Unlistable::kRefuse && error != ERROR_ACCESS_DENIED) return;
    if (directory != kNone && IsNotFound(error) && !IsThere(survey_.PathOf(survey_.entries[directory]))) {
      Vanished(directory);
      return;
    }
    if (plan_.unlistable == Plan::Unlistable::kPassOver) return;
    SetLastError(error);
    const Error::Failure failure(site_, NoHandleMessage(pattern), true);
    if (plan_.unlistable == Plan::Unlistable::kRefuse) throw failure;
    Count(failure);
  }

  // Only "no more files" ends a level whole; what follows a cut could be
  // anything, so an operation that changes the tree refuses it.
  void CutShort(const wstring& pattern, DWORD error) {
    SetLastError(error);
    const Error::Failure failure(site_, CutShortMessage(pattern), true);
    if (plan_.cutShort == Plan::CutShort::kRefuse) throw failure;
    Count(failure);
  }

  // A level passed over: written out, its reason kept, and counted.
  void Count(const Error::Failure& failure) {
    Error::Echo(failure.Text());
    survey_.skipped &= failure;
    ++survey_.unlisted;
  }

  void Vanished(std::size_t index) {
    if (plan_.Has(Plan::kVanished)) Error::Raise(site_, VanishedMessage(survey_.PathOf(survey_.entries[index])), false);
    survey_.entries[index].kind = Kind::kGone;
  }

  void Visit(const WIN32_FIND_DATAW& record, std::size_t directory, bool landed) {
    const wstring name = record.cFileName;
    const bool isDirectory = IsDirectory(record);
    const bool link = IsLink(record);
    if (plan_.links == Plan::Links::kEnterButNotBack && IsDirectoryLink(record) &&
        LastNameOf(DirectoryPath(directory)) == name)
      return;
    const wstring relative = directory == kNone ? name : survey_.entries[directory].relative + L'\\' + name;
    const wstring path = survey_.directory + relative;
    RequireExactName(path, name);
    const bool entered = isDirectory && (!link || plan_.links != Plan::Links::kList);
    if (entered && link && !Enterable(path)) return;
    RequireFits(path, isDirectory);
    Entry entry{relative,  isDirectory ? Kind::kDirectory : Kind::kFile,
                record.dwFileAttributes, SizeOf(record), record.ftLastWriteTime, directory, false, landed};
    if (link && !entered) entry.kind = Kind::kLink;
    if (!survey_.destination.path.empty()) RequireFits(survey_.DestinationOf(entry), isDirectory);
    survey_.entries.push_back(entry);
    if (plan_.Has(Plan::kRecords)) survey_.records.push_back(record);
    if (!entered) return;
    const std::size_t index = survey_.entries.size() - 1;
    if ((directory == kNone || link) && ReachesDestination(path)) survey_.intoItself = true;
    OpenLevel(path + L"\\*", index);
  }

  // Names the shell would take for another entry, or write under another
  // name, are refused; the listing leaves device names to its level check.
  void RequireExactName(const wstring& path, const wstring& name) {
    if (!String::Path::IsExactName(name) && !(plan_.Has(Plan::kDevicesToLevel) && String::Path::IsDeviceName(name)))
      Error::Raise(site_, String::Path::InexactNameMessage(path), false);
    if (plan_.Has(Plan::kCarriedNames) && !CarriesItsName(path))
      Error::Raise(site_,
                   L"Имя элемента в системе записано не так, как его показывает Windows; оболочка перенесла бы "
                   L"его под другим именем:" + Quoted(path),
                   false);
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
                     L"к ним по отдельности:" + Quoted(at + first->second) + Quoted(at + record.cFileName),
                     false);
    }
  }

  // The system matches a wildcard against short names too: "*.htm" finds
  // "report.html" through "REPO~1.HTM". Nobody who writes the pattern means
  // that entry.
  void RequireLongNameMatches(const FindDataList& level, const wstring& source) {
    const wstring pattern = source.substr(source.rfind(L'\\') + 1);
    for (const WIN32_FIND_DATAW& record : level) {
      const wstring shortName = record.cAlternateFileName;
      if (shortName.empty() || String::Path::Matches(pattern, record.cFileName) ||
          !String::Path::Matches(pattern, shortName))
        continue;
      Error::Raise(site_,
                   L"Элемент подходит к шаблону \"" + pattern + L"\" только коротким именем \"" + shortName +
                       L"\", а не своим:" + Quoted(survey_.directory + record.cFileName),
                   false);
    }
  }

  // What already stands where the level's entries go, looked at before the
  // shell runs: the shell would write a file's bytes into a file standing
  // where a directory goes, through a link standing there, or into a name
  // that differs in case, and nothing of that could be taken back.
  void SurveyLanding(Frame& frame) {
    const Destination& destination = survey_.destination;
    const bool top = frame.directory == kNone;
    // One entry that is not nested lands as the destination itself.
    const bool asDestination = top && !survey_.pattern && !destination.nested;
    if (!top && !survey_.entries[frame.directory].landed) return;  // a new directory holds nothing yet
    const wstring at = top ? (asDestination ? ParentOf(destination.path) : destination.path)
                           : survey_.DestinationOf(survey_.entries[frame.directory]);
    const Landing landing = LandingAt(at);
    if (landing.empty()) return;
    for (std::size_t i = 0; i < frame.level.size(); ++i) {
      const WIN32_FIND_DATAW& record = frame.level[i];
      const wstring name = asDestination ? LastNameOf(destination.path) : record.cFileName;
      const auto there = landing.find(String::UpperInvariant(name));
      if (there == landing.end()) continue;
      frame.landed[i] = Landable(record, DirectoryPath(frame.directory) + record.cFileName, at + L'\\', name,
                                 there->second);
    }
  }

  wstring ParentOf(const wstring& path) const { return path.substr(0, path.rfind(L'\\')); }

  // The destination directory's entries by folded name; empty where nothing
  // stands. A directory that cannot be seen whole is refused: what it hides
  // could be anything.
  Landing LandingAt(const wstring& at) {
    Landing landing;
    const Level::Ended ended = Level::Scan(at + L"\\*", Level::Options{false, false}, [&](const WIN32_FIND_DATAW& record) {
      landing[String::UpperInvariant(record.cFileName)].push_back(record);
      return true;
    });
    if (ended.end == Level::End::kNotOpened && IsThere(at) && !IsExistingDirectory(at))
      Error::Raise(site_, L"В месте назначения файл, а не каталог:" + Quoted(at), false);
    if (ended.end == Level::End::kComplete || (ended.end == Level::End::kNotOpened && IsNotFound(ended.error)))
      return landing;
    SetLastError(ended.error);
    Error::Raise(site_,
                 L"Каталог в месте назначения нельзя просмотреть целиком; что в нём стоит, не видно:" + Quoted(at),
                 true);
  }

  // Whether what stands where the entry goes is something else, which it
  // may go onto; refused where it may not. Not so for the entry itself.
  bool Landable(const WIN32_FIND_DATAW& record, const wstring& source, const wstring& at, const wstring& name,
                const std::vector<WIN32_FIND_DATAW>& there) {
    const wstring target = at + there.front().cFileName;
    if (there.size() > 1)
      RefuseLanding(L"В месте назначения два имени, различающиеся только регистром букв; оболочка записала бы в "
                    L"одно из них:",
                    target, source, at + there.back().cFileName);
    // An entry that already is where it goes (its parent named as the
    // destination, a second name of the same file): a copy onto itself
    // would cut it short, a move would delete it.
    if (MayBeOneFile(record, there.front()) && Held::Of(source).Is(Held::Of(target))) {
      survey_.intoItself = true;
      return false;
    }
    if (IsLink(there.front()) || (!IsDirectory(there.front()) && IsFileLink(target)))
      RefuseLanding(L"В месте назначения стоит ссылка; оболочка записала бы то, на что она указывает:", target,
                    source);
    if (IsDirectory(record) && !IsDirectory(there.front()))
      RefuseLanding(L"Каталог копировался бы на место файла:", source, target);
    if (!IsDirectory(record) && IsDirectory(there.front()))
      RefuseLanding(L"Файл копировался бы на место каталога:", source, target);
    if (name != there.front().cFileName)
      RefuseLanding(L"В месте назначения то же имя в другом регистре букв; оболочка записала бы в него, не меняя "
                    L"имени:",
                    source, target);
    return true;
  }

  // Under Wine two names of one file list the same size, times and
  // attributes, and files that differ in any are two, with no open to tell.
  // A Windows directory keeps those of each name as last written through
  // it: there only an open tells.
  static bool MayBeOneFile(const WIN32_FIND_DATAW& one, const WIN32_FIND_DATAW& other) {
    if (IsDirectory(one) || IsDirectory(other) || !ListsFileLinksAsFiles()) return true;
    return SizeOf(one) == SizeOf(other) && one.dwFileAttributes == other.dwFileAttributes &&
           CompareFileTime(&one.ftLastWriteTime, &other.ftLastWriteTime) == 0 &&
           CompareFileTime(&one.ftCreationTime, &other.ftCreationTime) == 0;
  }

  [[noreturn]] void RefuseLanding(const wstring& what, const wstring& first, const wstring& second,
                                  const wstring& third = wstring()) {
    Error::Raise(site_, what + Quoted(first) + Quoted(second) + (third.empty() ? wstring() : Quoted(third)) +
                            L"\nНичего не скопировано и не перемещено.",
                 false);
  }

  // Under Wine a link to a file is listed as a file: it resolves elsewhere
  // than where it is listed.
  bool IsFileLink(const wstring& path) {
    if (!ListsFileLinksAsFiles()) return false;
    const wstring final = FinalPathOf(path);
    const wstring directory = String::Path::WithoutTrailingBackslash(FinalPathOf(ParentOf(path)));
    return !final.empty() && !directory.empty() && !SamePath(final, directory + path.substr(path.rfind(L'\\')));
  }

  static bool SamePath(const wstring& one, const wstring& other) {
    return CompareStringOrdinal(one.c_str(), -1, other.c_str(), -1, TRUE) == CSTR_EQUAL;
  }

  bool ReachesDestination(const wstring& path) {
    const std::vector<Held>& chain = survey_.destination.chain;
    if (chain.empty()) return false;
    const Held held = Held::Of(path);
    for (const Held& link : chain)
      if (held.Is(link)) return true;
    return false;
  }

  // A link the walk may follow: not one leading back into the walk or above
  // it, which would have it walk the same tree again and again, nor one
  // leading where another link led, which could double the walk at every
  // level. Passed over where the plan says so, refused otherwise.
  bool Enterable(const wstring& link) {
    Held target = Held::Of(link);
    const bool back = LeadsBack(target);
    const bool again =
        std::any_of(entered_.begin(), entered_.end(), [&](const Held& other) { return other.Is(target); });
    if (!back && !again) {
      entered_.push_back(std::move(target));
      return true;
    }
    if (plan_.links == Plan::Links::kEnterButNotBack) return false;
    Error::Raise(site_,
                 back ? L"Ссылка ведёт обратно в дерево, которое она продолжает:" + Quoted(link)
                      : L"Ссылка ведёт в каталог, в который дерево уже вошло по другой ссылке:" + Quoted(link),
                 false);
  }

  // A link to a directory that the walk is inside of, or to one above
  // where it started.
  bool LeadsBack(const Held& target) {
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
    const bool links = plan_.Has(Plan::kFileLinks) && ListsFileLinksAsFiles();
    std::unordered_map<std::size_t, wstring> directories;  // final paths, by the entry of the directory
    for (std::size_t i = 0; i < survey_.entries.size(); ++i) {
      Entry& entry = survey_.entries[i];
      const bool names = plan_.Has(Plan::kOtherNames) && (entry.attributes & kChangedByShells) != 0;
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
      const wstring name = path.substr(path.rfind(L'\\'));
      if (known->second.empty() || final.empty() || !SamePath(final, known->second + name)) entry.kind = Kind::kLink;
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
    Error::Raise(site_, L"Элемент нельзя открыть, чтобы узнать, что это:" + Quoted(path), true);
  }

  const Error::Site& site_;
  const Plan& plan_;
  Survey& survey_;
  std::deque<Frame> frames_;  // the levels the walk is inside of; a new frame leaves the others in place
  std::vector<Held> above_;   // where the walk started and every directory above, once a link asks
  std::vector<Held> entered_;  // where the links walked into lead
  bool aboveHeld_ = false;
};

}  // namespace

Plan Plan::Delete() {
  return Plan{Links::kList, Unlistable::kRefuse, CutShort::kRefuse, kFileLinks | kOtherNames | kShortNameMatches};
}

// The source of a clear is "*", which every long name matches.
Plan Plan::Clear() { return Plan{Links::kList, Unlistable::kRefuse, CutShort::kRefuse, kFileLinks | kOtherNames}; }

Plan Plan::ClearFiles() {
  return Plan{Links::kEnterButNotBack, Unlistable::kCount, CutShort::kRefuse, kFileLinks | kOtherNames};
}

Plan Plan::Copy() {
  return Plan{Links::kEnter, Unlistable::kRefuse, CutShort::kRefuse,
              kCasePairs | kShortNameMatches | kVanished | kCarriedNames};
}

Plan Plan::Move() {
  return Plan{Links::kList, Unlistable::kRefuse, CutShort::kRefuse,
              kFileLinks | kCasePairs | kShortNameMatches | kVanished | kCarriedNames};
}

Plan Plan::Listing() {
  return Plan{Links::kEnterButNotBack, Unlistable::kPassOver, CutShort::kCount, kDevicesToLevel | kRecords};
}

Destination Destination::Of(const wstring& source, const wstring& path) {
  Destination destination;
  destination.path = path;
  const std::size_t slash = source.rfind(L'\\');
  destination.nested = source.find_first_of(L"*?", slash + 1) == wstring::npos &&
                       IsExistingDirectory(String::Path::DriveAsRoot(path));
  destination.chain = ChainOf(path);
  return destination;
}

std::size_t Survey::Matches() const {
  std::size_t matches = 0;
  for (const Entry& entry : entries) matches += entry.IsMatch() && entry.kind != Kind::kGone;
  return matches;
}

wstring Survey::DestinationOf(const Entry& entry, bool nested) const {
  if (pattern || nested) return destination.path + L'\\' + entry.relative;
  const std::size_t below = entry.relative.find(L'\\');
  return below == wstring::npos ? destination.path : destination.path + entry.relative.substr(below);
}

Survey Take(const Error::Site& site, const wstring& source, const Plan& plan, Destination destination) {
  Survey survey;
  const std::size_t slash = source.rfind(L'\\');
  survey.directory = source.substr(0, slash + 1);
  survey.pattern = source.find_first_of(L"*?", slash + 1) != wstring::npos;
  survey.destination = std::move(destination);
  Walker(site, plan, survey).Run(source);
  return survey;
}

std::vector<Held> ChainOf(const wstring& path) {
  std::vector<Held> chain;
  wstring at = String::Path::WithoutTrailingBackslash(path);
  for (;;) {
    Held held = Held::Of(String::Path::DriveAsRoot(at));
    if (held.Known()) chain.push_back(std::move(held));
    const std::size_t slash = at.rfind(L'\\');
    if (slash == wstring::npos || slash < 2) break;
    at.erase(slash);
  }
  return chain;
}

}  // namespace Utils::Tree
