// Copy, move and delete of whole trees: the walk first, then the shell,
// then the effect looked for on disk, and a true reason for what is not done.
#include "utils/files/Utils.File.h"

#include <map>

#include "utils/files/Utils.File.Effects.h"
#include "utils/files/Utils.File.Facts.h"
#include "utils/files/Utils.File.Reach.h"
#include "utils/files/Utils.File.Reason.h"
#include "utils/files/Utils.File.Remove.h"
#include "utils/files/Utils.File.Shell.h"
#include "utils/files/Utils.File.Tree.h"
#include "utils/text/Utils.Strings.h"

namespace Utils::MainFile {
namespace {

using std::wstring;
using Error::Outcome;
using Reason::Work;

constexpr char kFileOperationSignature[] =
    "bool __cdecl Utils::MainFile::FileOperation(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &,const class std::basic_string<wchar_t,struct "
    "std::char_traits<wchar_t>,class std::allocator<wchar_t> > &,const unsigned short)";

// Text after an embedded null would reach the shell as further names.
wstring UpToNull(const wstring& path) { return path.substr(0, path.find(L'\0')); }

[[noreturn]] void RaiseBadOperation(const unsigned short wFunc) {
  Error::Raise(SF_SITE(kFileOperationSignature, Error::kMethod),
               L"Неверно выбран параметр выбора операции.\r\nwFunc = " + std::to_wstring(wFunc), false);
}

Outcome NothingMatches(const Error::Site& site, const wstring& source) {
  return Error::Failure(site, L"Нет ничего, что соответствовало бы пути:\n\"" + source + L"\"", false);
}

Outcome TooLongForTheShell(const Error::Site& site, const wstring& path) {
  return Error::Failure(site,
                        L"Путь длиной " + std::to_wstring(path.size()) +
                            L" символов оболочка Windows не принимает (не более 259):\n\"" + path + L"\"",
                        false);
}

// Entries other than "." and ".." that pattern matches.
bool MatchesEntries(const wstring& pattern) {
  bool any = false;
  Level::Scan(pattern, Level::Options{false, false}, [&](const WIN32_FIND_DATAW&) {
    any = true;
    return false;
  });
  return any;
}

// The entries a move copied, as its walk saw them: the delete after the
// copy takes only those, unchanged, since another program may have added
// to the source or written to it meanwhile.
Outcome UnchangedSince(const Error::Site& site, const Tree::Survey& copied, const Tree::Survey& now) {
  std::map<wstring, const Tree::Entry*> seen;
  for (const Tree::Entry& entry : copied.entries) seen.emplace(entry.relative, &entry);
  for (const Tree::Entry& entry : now.entries) {
    const auto was = seen.find(entry.relative);
    const bool same = was != seen.end() && was->second->kind == entry.kind &&
                      (entry.kind != Tree::Kind::kFile ||
                       (was->second->size == entry.size &&
                        CompareFileTime(&was->second->written, &entry.written) == 0));
    if (!same)
      return Error::Failure(site,
                            L"Всё скопировано в место назначения, но источник изменился после копирования и не "
                            L"удалён:\n\"" + now.PathOf(entry) + L"\"\nКопия в месте назначения, источник на месте.",
                            false);
  }
  return Outcome();
}

Outcome Delete(const Error::Site& site, const wstring& source, Work work,
               const Tree::Survey* copied = nullptr) {
  const Tree::Survey survey = Tree::Take(site, source, Tree::Plan::Delete());
  if (survey.Matches() == 0) return NothingMatches(site, source);
  Removal::RequireRemovableLinks(site, survey);
  if (copied != nullptr)
    if (Outcome unchanged = UnchangedSince(site, *copied, survey); !unchanged) return unchanged;
  Outcome removed = Removal::RemoveLinks(site, survey);
  removed &= Removal::RemoveOtherNamed(site, survey);
  if (!removed) return removed;
  Shell::Answer answer;
  // Links and files of several names may have been all the source named.
  if (survey.pattern ? MatchesEntries(source) : IsThere(source)) {
    Removal::LiftReadOnly(survey);
    answer = Shell::Run(FO_DELETE, source);
  }
  if (answer.Claimed() && Effects::Departures(survey, Effects::Among::kMatches).Whole()) return Outcome();
  const Effects::Account account = Effects::Departures(survey, Effects::Among::kEverything);
  Removal::KeepReadOnly(survey, account);
  return Reason::Of(site, Reason::Findings{work, source, answer, survey, account, false});
}

// A move of a link would move what it leads to.
void RequireNoLinks(const Error::Site& site, const Tree::Survey& survey) {
  for (const Tree::Entry& entry : survey.entries)
    if (entry.kind == Tree::Kind::kLink)
      Error::Raise(site,
                   L"Перемещение ссылки или дерева со ссылкой не выполняется: переместилось бы "
                   L"то, на что она указывает:\n\"" + survey.PathOf(entry) + L"\"",
                   false);
}

// Moving "Data" to "DATA" is a rename, not a move into itself.
bool IsRename(const wstring& source, const wstring& destination) {
  return source != destination &&
         CompareStringOrdinal(source.c_str(), -1, destination.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Where the shell put what it copied or moved: inside an existing directory
// of the destination's name, or (some shells, and only for a copy: a move
// that merged went where nothing was looked at) merged into it.
Effects::Account ArrivalsOf(const Tree::Survey& survey, bool merges, bool& nested) {
  nested = survey.destination.nested;
  Effects::Account arrived = Effects::Arrivals(survey, nested);
  if (arrived.Whole() || !nested || !merges) return arrived;
  Effects::Account merged = Effects::Arrivals(survey, false);
  if (!merged.Whole()) return arrived;
  nested = false;
  return merged;
}

// The matches of a pattern go into the destination folder, made first: a
// shell handed one match and no folder could give the match its name.
void MakeDestinationFolder(const Error::Site& site, const Tree::Survey& survey) {
  const wstring& folder = survey.destination.path;
  if (!survey.pattern || IsExistingDirectory(String::Path::DriveAsRoot(folder))) return;
  if (!CreatePath(folder)) Error::Raise(site, L"Не создан каталог назначения:\n\"" + folder + L"\"", false);
}

Outcome CopyTree(const Error::Site& site, const wstring& source, const Tree::Survey& survey, Work work) {
  MakeDestinationFolder(site, survey);
  const Shell::Answer answer = Shell::Run(FO_COPY, source, survey.destination.path);
  bool nested = false;
  const Effects::Account arrived = ArrivalsOf(survey, work == Work::kCopy, nested);
  if (answer.Claimed() && arrived.Whole()) return Outcome();
  return Reason::Of(site, Reason::Findings{work, source, answer, survey, arrived, nested});
}

// The shell moves within a volume by renaming, and only there; it cannot
// merge a directory into one that already stands where it goes, nor always
// put a file in the place of one (Wine answers success and leaves both).
bool MovesByRenaming(const Tree::Survey& survey) {
  const std::vector<Held>& chain = survey.destination.chain;
  if (chain.empty() || !Held::Of(survey.directory).OnVolumeOf(chain.front())) return false;
  for (const Tree::Entry& entry : survey.entries)
    if (entry.IsMatch() && entry.landed) return false;
  return true;
}

// One request for a lone source; one for each match of a pattern, each to
// its own name in the destination (some shells move only the first of
// several).
Shell::Answer MoveByRenaming(const Error::Site& site, unsigned short wFunc, const wstring& source,
                             const Tree::Survey& survey) {
  if (!survey.pattern) return Shell::Run(wFunc, source, survey.destination.path);
  MakeDestinationFolder(site, survey);
  Shell::Answer answer;
  for (const Tree::Entry& entry : survey.entries) {
    if (!entry.IsMatch() || entry.kind == Tree::Kind::kGone) continue;
    answer = Shell::Run(wFunc, survey.PathOf(entry), survey.DestinationOf(entry));
    if (!answer.Claimed()) break;
  }
  return answer;
}

// What the shell did of a move done by renaming, seen on disk.
Outcome Moved(const Error::Site& site, const wstring& source, const Tree::Survey& survey,
              const Shell::Answer& answer, bool nested) {
  const Effects::Account arrived = Effects::Arrivals(survey, nested);
  const Effects::Account departed = Effects::Departures(survey, Effects::Among::kMatches);
  if (answer.Claimed() && arrived.Whole() && departed.Whole()) return Outcome();
  const Effects::Account& account = departed.Whole() ? arrived : departed;
  return Reason::Of(site, Reason::Findings{Work::kMove, source, answer, survey, account, nested, &arrived, &departed});
}

// A move the shell cannot do by renaming is a copy, seen whole, then a
// delete of what was copied, if still as it was. Whether the source can be
// deleted at all is asked before anything is copied.
Outcome CopyThenDelete(const Error::Site& site, const wstring& source, const Tree::Survey& survey) {
  Removal::RequireRemovableLinks(site, Tree::Take(site, source, Tree::Plan::Delete()));
  const Outcome copied = CopyTree(site, source, survey, Work::kMoveCopy);
  return copied ? Delete(site, source, Work::kMoveDelete, &survey) : copied;
}

Outcome MoveTree(const Error::Site& site, unsigned short wFunc, const wstring& source, const Tree::Survey& survey) {
  if (!MovesByRenaming(survey)) return CopyThenDelete(site, source, survey);
  return Moved(site, source, survey, MoveByRenaming(site, wFunc, source, survey), survey.destination.nested);
}

Outcome CopyOrMove(const Error::Site& site, const unsigned short wFunc, const wstring& source,
                   const wstring& destination) {
  const bool copy = wFunc == FO_COPY;
  // "Data" to "DATA" names the entry itself: its one place is the destination.
  const bool rename = !copy && IsRename(source, destination);
  Tree::Destination target = Tree::Destination::Of(source, destination);
  if (rename) target.nested = false;
  const Tree::Survey survey =
      Tree::Take(site, source, copy ? Tree::Plan::Copy() : Tree::Plan::Move(), std::move(target));
  if (!copy) RequireNoLinks(site, survey);
  if (survey.Matches() == 0) return NothingMatches(site, source);
  if (rename) return Moved(site, source, survey, Shell::Run(wFunc, source, destination), false);
  if (survey.intoItself)
    return Error::Failure(site,
                          L"Назначение совпадает с источником или лежит внутри него:\n\"" + source + L"\"\n\"" +
                              destination + L"\"",
                          false);
  return copy ? CopyTree(site, source, survey, Work::kCopy) : MoveTree(site, wFunc, source, survey);
}

Outcome ShellOperation(const wstring& from, const wstring& to, const unsigned short wFunc) {
  const Error::Site site = SF_SITE(kFileOperationSignature, Error::kMethod);
  const wstring source = UpToNull(from);
  Reach::RequireBelowRoot(site, source);
  const wstring shellSource = Reach::ShellPath(source);
  if (!Shell::Fits(shellSource)) return TooLongForTheShell(site, shellSource);
  if (wFunc == FO_DELETE) return Delete(site, shellSource, Work::kDelete);
  const wstring destination = UpToNull(to);
  Reach::RequireDestination(site, destination);
  const wstring shellDestination = Reach::ShellPath(destination);
  if (!Shell::Fits(shellDestination)) return TooLongForTheShell(site, shellDestination);
  return CopyOrMove(site, wFunc, shellSource, shellDestination);
}

}  // namespace

Outcome FileOperation(const wstring& from, const wstring& to, const unsigned short wFunc) {
  if (wFunc < FO_MOVE || wFunc > FO_RENAME) RaiseBadOperation(wFunc);
  return ShellOperation(from, to, wFunc);
}

Outcome DeleteOperation(const wstring& path) { return FileOperation(path, wstring(), FO_DELETE); }

}  // namespace Utils::MainFile
