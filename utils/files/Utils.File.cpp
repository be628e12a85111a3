#include "utils/files/Utils.File.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>

#include "utils/errors/Utils.Error.h"
#include "utils/files/Utils.FilesFind.h"
#include "utils/text/Utils.Strings.h"

namespace Utils {
namespace {

using std::wstring;

constexpr char kFileOperationSignature[] =
    "bool __cdecl Utils::MainFile::FileOperation(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &,const class std::basic_string<wchar_t,struct "
    "std::char_traits<wchar_t>,class std::allocator<wchar_t> > &,const unsigned short)";
constexpr char kSymbolicLinkSignature[] =
    "bool __cdecl Utils::MainFile::SymbolicLink(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &,const class std::basic_string<wchar_t,struct "
    "std::char_traits<wchar_t>,class std::allocator<wchar_t> > &,const bool)";
constexpr char kRemoveLinkSignature[] =
    "bool __cdecl Utils::MainFile::RemoveLink(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &)";
constexpr char kClearContentsSignature[] =
    "bool __cdecl Utils::Path::ClearContents(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &)";
constexpr char kClearFromFilesSignature[] =
    "bool __cdecl Utils::Path::ClearFromFiles(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &)";

// --- what a path reaches ----------------------------------------------------
// The shell resolves a relative path against the process's current directory
// and expands "C:", "\" and ".." as the system does, so a path that looks
// harmless can name a whole drive. Only paths anchored at a drive or a share
// are handed over, and nothing whose removal would take a root with it.

enum class Reach { kUnanchored, kRoot, kBelowRoot };

bool StartsWith(const wstring& text, const wchar_t* prefix) {
  return text.rfind(prefix, 0) == 0;
}

bool IsSeparator(const wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(const wchar_t c) {
  return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool IsDriveAbsolute(const wstring& path) {
  return path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' &&
         IsSeparator(path[2]);
}

// \\server\share; not the device namespaces \\.\ and \\?\.
bool IsUnc(const wstring& path) {
  return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
         !IsSeparator(path[2]) && path[2] != L'?' && path[2] != L'.';
}

// The path without a long prefix; empty when it is not anchored.
wstring Anchored(const wstring& path) {
  wstring rest = path;
  if (StartsWith(path, L"\\\\?\\UNC\\"))
    rest = L"\\\\" + path.substr(8);
  else if (StartsWith(path, L"\\\\?\\"))
    rest = path.substr(4);
  return IsDriveAbsolute(rest) || IsUnc(rest) ? rest : wstring();
}

// The system's own normalisation: "." and ".." resolved, trailing dots and
// blanks dropped, slashes turned into backslashes.
wstring NormalisedPath(const wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return wstring();
  wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, &full[0], nullptr);
  if (length == 0 || length >= size) return wstring();
  full.resize(length);
  return full;
}

// Characters of "C:\" or "\\server\share\" at the start of a normalised path.
std::size_t RootLength(const wstring& full) {
  if (IsDriveAbsolute(full)) return 3;
  const std::size_t server = full.find(L'\\', 2);
  if (server == wstring::npos) return full.size();
  const std::size_t share = full.find(L'\\', server + 1);
  return share == wstring::npos ? full.size() : share + 1;
}

void DropTrailingSeparators(wstring& path) {
  while (!path.empty() && path.back() == L'\\') path.pop_back();
}

// No wildcard in the last name: the path names one entry, not a pattern.
bool NamesOneEntry(const wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return path.find_first_of(L"*?", slash == wstring::npos ? 0 : slash + 1) == wstring::npos;
}

Reach ReachOf(const wstring& path) {
  const wstring anchored = Anchored(path);
  if (anchored.empty()) return Reach::kUnanchored;
  const wstring full = NormalisedPath(anchored);
  if (full.empty()) return Reach::kUnanchored;
  wstring below = full.substr(std::min(RootLength(full), full.size()));
  DropTrailingSeparators(below);
  // A wildcard name is expanded in its directory: that directory is what
  // the operation reaches into.
  if (!NamesOneEntry(below)) {
    const std::size_t slash = below.rfind(L'\\');
    below.erase(slash == wstring::npos ? 0 : slash);
    DropTrailingSeparators(below);
  }
  return below.empty() ? Reach::kRoot : Reach::kBelowRoot;
}

[[noreturn]] void RefuseReach(const Error::Site& site, const wstring& path,
                              const Reach reach) {
  const wchar_t* message =
      reach == Reach::kRoot
          ? L"Операция над корневым каталогом запрещена:\n\""
          : L"Путь задан не полностью (нужен путь от буквы диска или от "
            L"сетевого ресурса):\n\"";
  Error::Raise(site, message + path + L"\"", false);
}

// "...", "x." and "x " read as one entry to the system and as another to
// the shell, which takes "..." for the parent: such a path could make the
// shell act above what the call names.
void RequireUnambiguous(const Error::Site& site, const wstring& path) {
  const wstring component = String::Path::AmbiguousComponent(path);
  if (!component.empty())
    Error::Raise(site,
                 L"Имя \"" + component +
                     L"\" в пути система и оболочка Windows читают по-разному (только точки, "
                     L"точка или пробел в конце):\n\"" + path + L"\"",
                 false);
}

void RequireBelowRoot(const Error::Site& site, const wstring& path) {
  const Reach reach = ReachOf(path);
  if (reach != Reach::kBelowRoot) RefuseReach(site, path, reach);
  RequireUnambiguous(site, path);
}

// A destination is a name: the shell would expand a pattern there and write
// over whatever it matched.
void RequireDestination(const Error::Site& site, const wstring& path) {
  const Reach reach = ReachOf(path);
  if (reach == Reach::kUnanchored) RefuseReach(site, path, reach);
  RequireUnambiguous(site, path);
  if (Anchored(path).find_first_of(L"*?") != wstring::npos)
    Error::Raise(site, L"Путь назначения не может быть шаблоном (\"*\", \"?\"):\n\"" + path + L"\"",
                 false);
}

// What the shell is given: the anchored path normalised, so that it never
// sees a "." or "..", a long prefix or a trailing separator.
wstring ShellPath(const wstring& path) {
  wstring full = NormalisedPath(Anchored(path));
  DropTrailingSeparators(full);
  return full;
}

// --- the file system's answers ----------------------------------------------

bool IsThere(const wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsExistingDirectory(const wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Entries other than "." and ".." that pattern matches.
bool MatchesEntries(const wstring& pattern) {
  WIN32_FIND_DATAW record;
  const FindHandle search(FindFirstFileW(pattern.c_str(), &record));
  if (!search) return false;
  do {
    if (!IsDotEntry(record)) return true;
  } while (FindNextFileW(search.get(), &record));
  return false;
}

bool Gone(const Tree::Survey& survey, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i)
    if (IsThere(survey.PathOf(survey.entries[i]))) return false;
  return true;
}

// --- links --------------------------------------------------------------------
// The shell's recursive delete may walk through a directory link into the
// directory it points to and empty that too; under Wine every call on a
// link acts on its target. Links are removed as links first, through a
// handle the system opened on the link itself, and only where it can.

FileHandle OpenLinkItself(const wstring& path, DWORD access) {
  FileHandle link(CreateFileW(path.c_str(), access,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                              nullptr));
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (link && GetFileInformationByHandleEx(link.get(), FileAttributeTagInfo, &tag, sizeof tag) &&
      (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && IsReparseTagNameSurrogate(tag.ReparseTag))
    return link;
  return FileHandle();
}

void RequireRemovableLink(const Error::Site& site, const wstring& path) {
  if (!OpenLinkItself(path, 0))
    Error::Raise(site,
                 L"Ссылку нельзя удалить, не затронув то, на что она указывает (система "
                 L"открывает вместо неё её цель):\n\"" + path + L"\"",
                 false);
}

bool RemoveLinkItself(const wstring& path) {
  Identity target;
  const wstring targetPath = FinalPathOf(path);
  const bool targetThere = !targetPath.empty() && IdentityOf(targetPath, target);
  {
    const FileHandle link = OpenLinkItself(path, DELETE);
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (!link || !SetFileInformationByHandle(link.get(), FileDispositionInfo, &disposition,
                                             sizeof disposition))
      return false;
  }
  Identity after;
  return !IsThere(path) && (!targetThere || (IdentityOf(targetPath, after) && after == target));
}

void RequireRemovableLinks(const Error::Site& site, const Tree::Survey& survey) {
  for (const Tree::Entry& entry : survey.entries)
    if (entry.kind == Tree::Kind::kLink) RequireRemovableLink(site, survey.PathOf(entry));
}

bool RemoveLinks(const Tree::Survey& survey) {
  bool removed = true;
  for (const Tree::Entry& entry : survey.entries)
    if (entry.kind == Tree::Kind::kLink) removed = RemoveLinkItself(survey.PathOf(entry)) && removed;
  return removed;
}

// --- the shell request ------------------------------------------------------

// Text after an embedded null would reach the shell as further names.
wstring UpToNull(const wstring& path) { return path.substr(0, path.find(L'\0')); }

// One name, closed by a double null whatever its own terminator.
wstring NameList(const wstring& path) {
  wstring list = path;
  list.append(2, L'\0');
  return list;
}

bool UsesDestination(const unsigned short wFunc) { return wFunc != FO_DELETE; }

// The shell's request carries names of fewer than MAX_PATH characters. It
// cannot carry out a longer one, and some shells overrun their own buffers
// on one, taking the host process down.
bool FitsShell(const wstring& path) { return !path.empty() && path.size() < MAX_PATH; }

[[noreturn]] void RaiseBadOperation(const unsigned short wFunc) {
  Error::Raise(SF_SITE(kFileOperationSignature, Error::kMethod),
               L"Неверно выбран параметр выбора операции.\r\nwFunc = " +
                   std::to_wstring(wFunc),
               false);
}

bool RunShell(const unsigned short wFunc, const wstring& source,
              const wstring& destination) {
  const wstring from = NameList(source);
  const wstring to = NameList(destination);
  SHFILEOPSTRUCTW request{};
  request.hwnd = nullptr;
  request.wFunc = wFunc;
  request.pFrom = from.c_str();
  request.pTo = UsesDestination(wFunc) ? to.c_str() : nullptr;
  request.fFlags = MainFile::kSilentFinal;
  request.fAnyOperationsAborted = TRUE;
  request.hNameMappings = nullptr;
  request.lpszProgressTitle = nullptr;
  SetLastError(0);
  const int answer = Calls().fileOperation(&request);
  return answer == 0 && !request.fAnyOperationsAborted;
}

// One entry already surveyed, deleted and seen to be gone: some shells
// answer success for what they could not delete.
bool ShellDelete(const wstring& path) {
  return RunShell(FO_DELETE, path, wstring()) && !IsThere(path);
}

// --- the operations, on paths already checked and normalised -----------------

bool Delete(const Error::Site& site, const wstring& source) {
  Tree::Plan plan;
  plan.findFileLinks = true;
  const Tree::Survey survey = Tree::Take(site, source, plan);
  if (survey.matches == 0) return false;
  RequireRemovableLinks(site, survey);
  if (!RemoveLinks(survey)) return false;
  // Links may have been all the source named.
  const bool left = survey.pattern ? MatchesEntries(source) : IsThere(source);
  return (!left || RunShell(FO_DELETE, source, wstring())) && Gone(survey, 0, survey.matches);
}

// The tree is checked as the shell will walk it: through links for a copy,
// and a move holds no link at all, since moving one moves what it leads to.
Tree::Survey SurveyToCopyOrMove(const Error::Site& site, const unsigned short wFunc,
                                const wstring& source, const wstring& destination,
                                bool& nested) {
  Tree::Plan plan;
  plan.enterLinks = wFunc == FO_COPY;
  plan.findFileLinks = !plan.enterLinks;
  plan.destination = destination;
  plan.nested = nested = NamesOneEntry(source) && IsExistingDirectory(destination);
  plan.destinationChain = Tree::ChainOf(destination);
  Tree::Survey survey = Tree::Take(site, source, plan);
  if (!plan.enterLinks)
    for (const Tree::Entry& entry : survey.entries)
      if (entry.kind == Tree::Kind::kLink)
        Error::Raise(site,
                     L"Перемещение ссылки или дерева со ссылкой не выполняется: переместилось бы "
                     L"то, на что она указывает:\n\"" + survey.PathOf(entry) + L"\"",
                     false);
  return survey;
}

// Moving "Data" to "DATA" is a rename, not a move into itself.
bool IsRename(const wstring& source, const wstring& destination) {
  return source != destination &&
         CompareStringOrdinal(source.c_str(), -1, destination.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Done when the entry carries the new name letter for letter: some shells
// answer success and leave the old one.
bool Renamed(const wstring& destination) {
  WIN32_FIND_DATAW record;
  const FindHandle search(FindFirstFileW(destination.c_str(), &record));
  return search && destination.compare(destination.rfind(L'\\') + 1, wstring::npos,
                                       record.cFileName) == 0;
}

bool CopyOrMove(const Error::Site& site, const unsigned short wFunc, const wstring& source,
                const wstring& destination) {
  bool nested = false;
  const Tree::Survey survey = SurveyToCopyOrMove(site, wFunc, source, destination, nested);
  if (survey.matches == 0) return false;
  if (survey.intoItself && !(wFunc != FO_COPY && IsRename(source, destination))) return false;
  if (!RunShell(wFunc, source, destination)) return false;
  // Some shells put a directory inside an existing one of the destination's
  // name, others merge it there.
  const bool arrived =
      Tree::Arrived(survey, destination, nested) ||
      (nested && Tree::Arrived(survey, destination, false));
  if (wFunc != FO_COPY && IsRename(source, destination)) return arrived && Renamed(destination);
  return arrived && (wFunc == FO_COPY || Gone(survey, 0, survey.matches));
}

bool ShellOperation(const wstring& from, const wstring& to, const unsigned short wFunc) {
  const Error::Site site = SF_SITE(kFileOperationSignature, Error::kMethod);
  const wstring source = UpToNull(from);
  RequireBelowRoot(site, source);
  const wstring shellSource = ShellPath(source);
  if (!FitsShell(shellSource)) return false;
  if (!UsesDestination(wFunc)) return Delete(site, shellSource);
  const wstring destination = UpToNull(to);
  RequireDestination(site, destination);
  const wstring shellDestination = ShellPath(destination);
  if (!FitsShell(shellDestination)) return false;
  return CopyOrMove(site, wFunc, shellSource, shellDestination);
}

// --- creation ---------------------------------------------------------------

// SHCreateDirectoryExW answers "already exists" for a file of that name as
// well, and some shells answer success for a path too long to create; only
// a directory there is what the caller asked for.
bool IsCreated(const int code, const wstring& path) {
  return (code == ERROR_SUCCESS || code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) &&
         IsExistingDirectory(path);
}

void CreateLinkParent(const wstring& link) {
  const wstring parent = String::Path::TrimNameFileCW(link, 1, L'\\');
  // Without a backslash there is no parent to make, and making the link's
  // own name a directory would only block the link.
  if (parent == link) return;
  if (!MainFile::CreatePath(parent))
    Error::Raise(SF_SITE(kSymbolicLinkSignature, Error::kMethod),
                 L"Не создан для символьной ссылки каталог:\n\"" + parent + L"\"", false);
}

// Wine's CreateSymbolicLinkW answers success and makes nothing, and a
// directory of the link's name may already be in its place.
bool IsLinkTo(const wstring& link, const wstring& target) {
  WIN32_FIND_DATAW record;
  const FindHandle search(FindFirstFileW(SearchArgument(link).c_str(), &record));
  if (!search || !IsLink(record)) return false;
  Identity reached, wanted;
  return !IdentityOf(target, wanted) || (IdentityOf(link, reached) && reached == wanted);
}

// --- clearing ---------------------------------------------------------------

wstring DirectoryPrefix(const wstring& path) {
  return !path.empty() && path.back() == L'\\' ? path : path + L'\\';
}

// The directory to clear, normalised; anything else is refused before a
// search: a pattern is no directory, though its first match may be ".".
wstring ClearableDirectory(const Error::Site& site, const wstring& path) {
  RequireBelowRoot(site, path);
  const wstring directory = ShellPath(path);
  if (!NamesOneEntry(path) || StatusOf(path) != FilesFind::kDirectory)
    Error::Raise(site, L"Путь\r\n\"" + path + L"\"\r\n не является каталогом!", false);
  return directory;
}

constexpr DWORD kSettableAttributes =
    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED |
    FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM |
    FILE_ATTRIBUTE_TEMPORARY;

DWORD Settable(const DWORD attributes) {
  const DWORD settable = attributes & kSettableAttributes;
  return settable == 0 ? FILE_ATTRIBUTE_NORMAL : settable;
}

// Clearing removes read-only files like any other, but not every shell
// deletes one; the attribute is lifted first and put back if the file stays.
bool DeleteFileEntry(const wstring& path, const DWORD attributes) {
  const bool lift = (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
                    SetFileAttributesW(path.c_str(),
                                       Settable(attributes & ~FILE_ATTRIBUTE_READONLY));
  const bool deleted = ShellDelete(path);
  if (!deleted && lift) SetFileAttributesW(path.c_str(), Settable(attributes));
  return deleted;
}

}  // namespace

FileSystemCalls RealCalls() {
  return FileSystemCalls{&SHFileOperationW, &SHCreateDirectoryExW, &CreateSymbolicLinkW};
}

FileSystemCalls& Calls() {
  static FileSystemCalls calls = RealCalls();
  return calls;
}

namespace MainFile {

bool FileOperation(const wstring& from, const wstring& to, const unsigned short wFunc) {
  if (wFunc < FO_MOVE || wFunc > FO_RENAME) RaiseBadOperation(wFunc);
  return ShellOperation(from, to, wFunc);
}

bool DeleteOperation(const wstring& path) { return FileOperation(path, wstring(), FO_DELETE); }

bool CreatePath(const wstring& path) {
  return IsCreated(Calls().createDirectory(nullptr, path.c_str(), nullptr), path);
}

bool SymbolicLink(const wstring& target, const wstring& link, const bool) {
  if (StatusOf(target) == FilesFind::kNothing)
    Error::Raise(SF_SITE(kSymbolicLinkSignature, Error::kMethod),
                 L"Отсутсвует исходный путь:\n\"" + target + L"\"", false);
  String::Path::Has(link, false);
  CreateLinkParent(link);
  return Calls().createSymbolicLink(link.c_str(), target.c_str(),
                                    SYMBOLIC_LINK_FLAG_DIRECTORY) != FALSE &&
         IsLinkTo(link, target);
}

bool RemoveLink(const wstring& path) {
  const wstring link = SearchArgument(path);
  RequireRemovableLink(SF_SITE(kRemoveLinkSignature, Error::kMethod), link);
  return RemoveLinkItself(link);
}

}  // namespace MainFile

namespace Path {

bool ClearContents(const wstring& path) {
  const Error::Site site = SF_SITE(kClearContentsSignature, Error::kMethod);
  const wstring prefix = DirectoryPrefix(ClearableDirectory(site, path));
  Tree::Plan plan;
  plan.findFileLinks = true;
  const Tree::Survey survey = Tree::Take(site, prefix + L"*", plan);
  // Nothing listed: empty, or a directory that cannot be listed at all.
  if (survey.matches == 0) return PathIsDirectoryEmptyW(prefix.c_str()) != FALSE;
  RequireRemovableLinks(site, survey);
  bool cleared = RemoveLinks(survey);
  // Directories first, then files, each on its own so that one failure
  // does not stop the rest.
  for (const Tree::Kind kind : {Tree::Kind::kDirectory, Tree::Kind::kFile})
    for (std::size_t i = 0; i < survey.matches; ++i) {
      const Tree::Entry& entry = survey.entries[i];
      if (entry.kind != kind) continue;
      const wstring entryPath = survey.PathOf(entry);
      cleared = (kind == Tree::Kind::kDirectory
                     ? ShellDelete(entryPath)
                     : DeleteFileEntry(entryPath, GetFileAttributesW(entryPath.c_str()))) &&
                cleared;
    }
  return cleared;
}

bool ClearFromFiles(const wstring& path) {
  const Error::Site site = SF_SITE(kClearFromFilesSignature, Error::kMethod);
  const wstring prefix = DirectoryPrefix(ClearableDirectory(site, path));
  FindDataList files;
  unsigned long long unlisted = 0;
  ListFilesBelow(prefix + L"*", files, &unlisted);
  // A file link is removed as a link; where listings show it as a file,
  // only its final path tells.
  std::vector<wstring> paths;
  paths.reserve(files.size());
  for (const WIN32_FIND_DATAW& file : files) paths.push_back(file.cFileName);
  const std::vector<char> hidden = Tree::FileLinksAmong(paths);
  std::vector<bool> links(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    links[i] = IsLink(files[i]) || hidden[i];
    if (links[i]) RequireRemovableLink(site, files[i].cFileName);
  }
  bool cleared = unlisted == 0;
  for (std::size_t i = 0; i < files.size(); ++i)
    cleared = (links[i] ? RemoveLinkItself(files[i].cFileName)
                        : DeleteFileEntry(files[i].cFileName, files[i].dwFileAttributes)) &&
              cleared;
  return cleared;
}

}  // namespace Path
}  // namespace Utils
