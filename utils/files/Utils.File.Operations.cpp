// Copy, move and delete of whole trees: the walk first, then the shell,
// then the effect looked for on disk.
#include "utils/files/Utils.File.h"

#include "utils/files/Utils.File.Facts.h"
#include "utils/files/Utils.File.Reach.h"
#include "utils/files/Utils.File.Remove.h"
#include "utils/files/Utils.File.Shell.h"
#include "utils/files/Utils.File.Tree.h"

namespace Utils::MainFile {
namespace {

using std::wstring;

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

bool Noted(const Error::Site& site, const wstring& message) {
  Error::Note(Error::Failure(site, message, false));
  return false;
}

bool NothingMatches(const Error::Site& site, const wstring& source) {
  return Noted(site, L"Нет ничего, что соответствовало бы пути:\n\"" + source + L"\"");
}

bool TooLongForTheShell(const Error::Site& site, const wstring& path) {
  return Noted(site, L"Путь длиной " + std::to_wstring(path.size()) +
                         L" символов оболочка Windows не принимает (не более 259):\n\"" + path + L"\"");
}

// Entries other than "." and ".." that pattern matches.
bool MatchesEntries(const wstring& pattern) {
  bool any = false;
  FilesFind().ScanLevel(pattern, FilesFind::Scan{false, false}, [&](const WIN32_FIND_DATAW&) {
    any = true;
    return false;
  });
  return any;
}

bool Delete(const Error::Site& site, const wstring& source) {
  const Tree::Survey survey = Tree::Take(site, source, Tree::Plan::Delete());
  if (survey.Matches() == 0) return NothingMatches(site, source);
  Removal::RequireRemovableLinks(site, survey);
  if (!Removal::RemoveLinks(site, survey) || !Removal::RemoveOtherNamed(site, survey)) return false;
  // Links and files of several names may have been all the source named.
  const bool left = survey.pattern ? MatchesEntries(source) : IsThere(source);
  return (!left || Shell::Run(site, FO_DELETE, source, wstring())) && Tree::Gone(site, survey);
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

bool CopyOrMove(const Error::Site& site, const unsigned short wFunc, const wstring& source,
                const wstring& destination) {
  const bool copy = wFunc == FO_COPY;
  const bool nested = Reach::NamesOneEntry(source) && IsExistingDirectory(destination);
  const std::vector<Held> chain = Tree::ChainOf(destination);
  const Tree::Plan plan = copy ? Tree::Plan::Copy(destination, nested, chain) : Tree::Plan::Move(destination, nested, chain);
  const Tree::Survey survey = Tree::Take(site, source, plan);
  if (!copy) RequireNoLinks(site, survey);
  if (survey.Matches() == 0) return NothingMatches(site, source);
  if (survey.intoItself && !(!copy && IsRename(source, destination)))
    return Noted(site, L"Назначение совпадает с источником или лежит внутри него:\n\"" + source + L"\"\n\"" +
                           destination + L"\"");
  if (!Shell::Run(site, wFunc, source, destination)) return false;
  // Some shells put a directory inside an existing one of the destination's
  // name, others merge it there.
  const bool arrived = Tree::Arrived(site, survey, destination, nested) ||
                       (nested && Tree::Arrived(site, survey, destination, false));
  return arrived && (copy || Tree::Gone(site, survey));
}

bool ShellOperation(const wstring& from, const wstring& to, const unsigned short wFunc) {
  const Error::Site site = SF_SITE(kFileOperationSignature, Error::kMethod);
  const wstring source = UpToNull(from);
  Reach::RequireBelowRoot(site, source);
  const wstring shellSource = Reach::ShellPath(source);
  if (!Shell::Fits(shellSource)) return TooLongForTheShell(site, shellSource);
  if (wFunc == FO_DELETE) return Delete(site, shellSource);
  const wstring destination = UpToNull(to);
  Reach::RequireDestination(site, destination);
  const wstring shellDestination = Reach::ShellPath(destination);
  if (!Shell::Fits(shellDestination)) return TooLongForTheShell(site, shellDestination);
  return CopyOrMove(site, wFunc, shellSource, shellDestination);
}

}  // namespace

bool FileOperation(const wstring& from, const wstring& to, const unsigned short wFunc) {
  if (wFunc < FO_MOVE || wFunc > FO_RENAME) RaiseBadOperation(wFunc);
  return ShellOperation(from, to, wFunc);
}

bool DeleteOperation(const wstring& path) { return FileOperation(path, wstring(), FO_DELETE); }

}  // namespace Utils::MainFile
