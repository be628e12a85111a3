// Emptying a directory and keeping it: of everything, or of every file at
// every depth. Each entry is removed on its own, so that one failure does
// not stop the rest.
#include "utils/files/Utils.File.h"

#include <shlwapi.h>

#include "utils/files/Utils.File.Links.h"
#include "utils/files/Utils.File.Reach.h"
#include "utils/files/Utils.File.Remove.h"
#include "utils/files/Utils.File.Shell.h"
#include "utils/files/Utils.File.Tree.h"
#include "utils/files/Utils.FilesFind.h"

namespace Utils::Path {
namespace {

using std::wstring;

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
  if (!Reach::NamesOneEntry(path) || StatusOf(directory) != FilesFind::kDirectory)
    Error::Raise(site, L"Путь\r\n\"" + path + L"\"\r\n не является каталогом!", false);
  return directory + L'\\';
}

bool EmptyAsItIs(const Error::Site& site, const wstring& prefix) {
  if (PathIsDirectoryEmptyW(prefix.c_str())) return true;
  Error::Note(Error::Failure(site, L"Каталог не удалось перечислить:\n\"" + prefix + L"\"", true));
  return false;
}

}  // namespace

bool ClearContents(const wstring& path) {
  const Error::Site site = SF_SITE(kClearContentsSignature, Error::kMethod);
  const wstring prefix = ClearableDirectory(site, path);
  const Tree::Survey survey = Tree::Take(site, prefix + L"*", Tree::Plan::Clear());
  // Nothing listed: empty, or a directory that cannot be listed at all.
  if (survey.Matches() == 0) return EmptyAsItIs(site, prefix);
  Removal::RequireRemovableLinks(site, survey);
  bool cleared = Removal::RemoveLinks(site, survey);
  // A file of several names anywhere below keeps its attributes for them
  // only if it is removed before the shell deletes the directory it is in.
  if (!Removal::RemoveOtherNamed(site, survey)) return false;
  // Directories first, then files.
  for (const Tree::Kind kind : {Tree::Kind::kDirectory, Tree::Kind::kFile})
    for (const Tree::Entry& entry : survey.entries) {
      if (!entry.IsMatch() || entry.kind != kind || entry.otherNames) continue;
      const wstring at = survey.PathOf(entry);
      cleared = (kind == Tree::Kind::kDirectory ? Shell::Delete(site, at) : Removal::RemoveFile(site, at, entry)) &&
                cleared;
    }
  return cleared;
}

bool ClearFromFiles(const wstring& path) {
  const Error::Site site = SF_SITE(kClearFromFilesSignature, Error::kMethod);
  const wstring prefix = ClearableDirectory(site, path);
  const Tree::Survey survey = Tree::Take(site, prefix + L"*", Tree::Plan::ClearFiles());
  // Links to files are removed as links; directory links were walked into.
  Removal::RequireRemovableLinks(site, survey);
  bool cleared = survey.unlisted == 0;
  for (const Tree::Entry& entry : survey.entries) {
    const wstring at = survey.PathOf(entry);
    if (entry.kind == Tree::Kind::kFile)
      cleared = Removal::RemoveFile(site, at, entry) && cleared;
    else if (entry.kind == Tree::Kind::kLink)
      cleared = Links::Remove(site, at) && cleared;
  }
  return cleared;
}

}  // namespace Utils::Path
