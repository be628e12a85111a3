// Emptying a directory and keeping it: of everything, or of every file at
// every depth. Each entry is removed on its own, so that one failure does
// not stop the rest, and the answer is what is gone by its own name.
#include "utils/files/Utils.File.h"

#include <shlwapi.h>

#include "utils/files/Utils.File.Effects.h"
#include "utils/files/Utils.File.Level.h"
#include "utils/files/Utils.File.Reach.h"
#include "utils/files/Utils.File.Reason.h"
#include "utils/files/Utils.File.Remove.h"
#include "utils/files/Utils.File.Tree.h"

namespace Utils::Path {
namespace {

using std::wstring;
using Error::Outcome;

constexpr char kClearContentsSignature[] =
    "bool __cdecl Utils::Path::ClearContents(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &)";
constexpr char kClearFromFilesSignature[] =
    "bool __cdecl Utils::Path::ClearFromFiles(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &)";

// The directory to clear as the shell will be given it, with its separator;
// every spelling a delete accepts names it ("x\", "x/", "\\?\C:\.\x"). Anything
// else is refused before a search: a pattern is no directory, though its
// first match may be ".".
wstring ClearableDirectory(const Error::Site& site, const wstring& path) {
  Reach::RequireBelowRoot(site, path);
  const wstring directory = Reach::ShellPath(path);
  if (!Reach::NamesOneEntry(path) || Level::StatusOf(directory) != Level::Status::kDirectory)
    Error::Raise(site, L"Путь\r\n\"" + path + L"\"\r\n не является каталогом!", false);
  return directory + L'\\';
}

Outcome EmptyAsItIs(const Error::Site& site, const wstring& prefix) {
  if (PathIsDirectoryEmptyW(prefix.c_str())) return Outcome();
  return Error::Failure(site, L"Каталог не удалось перечислить:\n\"" + prefix + L"\"", true);
}

// Removes each entry of kind that among names, but those that hold what
// must not reach the shell; the first answer that did not claim the work,
// or a claiming one.
Shell::Answer RemoveEach(const Tree::Survey& survey, Tree::Kind kind, Effects::Among among,
                         const std::vector<char>& holding) {
  Shell::Answer first;
  for (std::size_t i = 0; i < survey.entries.size(); ++i) {
    const Tree::Entry& entry = survey.entries[i];
    if (entry.kind != kind || entry.otherNames || holding[i] ||
        (among == Effects::Among::kMatches && !entry.IsMatch()))
      continue;
    const Shell::Answer answer = Removal::RemoveEntry(survey, entry);
    if (first.Claimed()) first = answer;
  }
  return first;
}

// What is still there, by exact name, and why.
Outcome Left(const Error::Site& site, const wstring& prefix, const Shell::Answer& answer, const Tree::Survey& survey,
             Effects::Among among) {
  if (Effects::Departures(survey, among).Whole()) return Outcome();
  const Effects::Account account =
      Effects::Departures(survey, among == Effects::Among::kMatches ? Effects::Among::kEverything : among);
  Removal::KeepReadOnly(survey, account);
  return Reason::Of(site, Reason::Findings{Reason::Work::kClear, prefix, answer, survey, account, false});
}

}  // namespace

Outcome ClearContents(const wstring& path) {
  const Error::Site site = SF_SITE(kClearContentsSignature, Error::kMethod);
  const wstring prefix = ClearableDirectory(site, path);
  const Tree::Survey survey = Tree::Take(site, prefix + L"*", Tree::Plan::Clear());
  // Nothing listed: empty, or a directory that cannot be listed at all.
  if (survey.Matches() == 0) return EmptyAsItIs(site, prefix);
  Removal::RequireRemovableLinks(site, survey);
  Outcome outcome = Removal::RemoveLinks(site, survey);
  // A file of several names anywhere below keeps its attributes for them
  // only if it is removed before the shell deletes the directory it is in.
  outcome &= Removal::RemoveOtherNamed(site, survey);
  const std::vector<char> holding = outcome ? std::vector<char>(survey.entries.size(), 0)
                                            : Removal::HoldingWhatStayed(survey);
  Shell::Answer answer = RemoveEach(survey, Tree::Kind::kDirectory, Effects::Among::kMatches, holding);
  const Shell::Answer files = RemoveEach(survey, Tree::Kind::kFile, Effects::Among::kMatches, holding);
  if (answer.Claimed()) answer = files;
  outcome &= Left(site, prefix, answer, survey, Effects::Among::kMatches);
  return outcome;
}

Outcome ClearFromFiles(const wstring& path) {
  const Error::Site site = SF_SITE(kClearFromFilesSignature, Error::kMethod);
  const wstring prefix = ClearableDirectory(site, path);
  const Tree::Survey survey = Tree::Take(site, prefix + L"*", Tree::Plan::ClearFiles());
  // Links to files are removed as links; directory links were walked into.
  Removal::RequireRemovableLinks(site, survey);
  Outcome outcome = survey.skipped;
  outcome &= Removal::RemoveLinks(site, survey);
  outcome &= Removal::RemoveOtherNamed(site, survey);
  const Shell::Answer answer =
      RemoveEach(survey, Tree::Kind::kFile, Effects::Among::kFiles, std::vector<char>(survey.entries.size(), 0));
  outcome &= Left(site, prefix, answer, survey, Effects::Among::kFiles);
  return outcome;
}

}  // namespace Utils::Path
