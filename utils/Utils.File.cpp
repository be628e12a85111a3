#include "utils/Utils.File.h"

#include <shlobj.h>

#include <algorithm>
#include <string>

#include "utils/Utils.Error.h"
#include "utils/Utils.FilesFind.h"
#include "utils/Utils.Strings.h"

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
constexpr char kClearContentsSignature[] =
    "bool __cdecl Utils::Path::ClearContents(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &)";
constexpr char kClearFromFilesSignature[] =
    "bool __cdecl Utils::Path::ClearFromFiles(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &)";

// Nothing is ever shown or asked, and nothing goes to the recycle bin.
constexpr FILEOP_FLAGS kSilentFinal = FOF_MULTIDESTFILES | FOF_SILENT |
                                      FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR |
                                      FOF_NOERRORUI;
static_assert(kSilentFinal == 0x0615, "the shell request's flags");

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

void RequireBelowRoot(const Error::Site& site, const wstring& path) {
  const Reach reach = ReachOf(path);
  if (reach != Reach::kBelowRoot) RefuseReach(site, path, reach);
}

void RequireAnchored(const Error::Site& site, const wstring& path) {
  const Reach reach = ReachOf(path);
  if (reach == Reach::kUnanchored) RefuseReach(site, path, reach);
}

// The destination is the source itself or lies inside it: a tree copied or
// moved there would have no end. Windows' shell refuses such a request;
// other shells answer success having done nothing. A destination that
// differs from the source in case only is a rename, and goes through.
bool IntoItself(const wstring& source, const wstring& destination) {
  wstring from = NormalisedPath(Anchored(source));
  wstring to = NormalisedPath(Anchored(destination));
  DropTrailingSeparators(from);
  DropTrailingSeparators(to);
  if (from.empty() || to.size() < from.size()) return false;
  if (to.size() == from.size()) return to == from;
  return to[from.size()] == L'\\' &&
         CompareStringOrdinal(from.c_str(), static_cast<int>(from.size()), to.c_str(),
                              static_cast<int>(from.size()), TRUE) == CSTR_EQUAL;
}

// --- answers the shell gets wrong -------------------------------------------
// Windows' shell refuses a copy or move of a missing source, or into a file,
// and says so; others answer success having done nothing. Where the source
// names one entry (no wildcard in its last name), its absence before and
// the destination's absence after are checked, so that such a success is
// never passed on.

bool IsThere(const wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// --- directory links ahead of a delete --------------------------------------
// The shell's recursive delete may walk through a directory link into the
// directory it points to and empty that too. Links inside what a delete
// names are therefore removed as links before the shell sees the rest.

// One FindFirstFileW search, closed however the scope is left.
class Search {
 public:
  explicit Search(const wstring& pattern)
      : handle_(FindFirstFileW(pattern.c_str(), &record_)) {}

  bool IsOpen() const { return handle_.Valid(); }
  const WIN32_FIND_DATAW& Record() const { return record_; }
  bool Next() { return FindNextFileW(handle_.Get(), &record_) != FALSE; }

 private:
  WIN32_FIND_DATAW record_{};
  LocalSearchHandle handle_;
};

wstring DirectoryPart(const wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == wstring::npos ? wstring() : path.substr(0, slash + 1);
}

bool HasAttribute(const WIN32_FIND_DATAW& record, const DWORD attribute) {
  return (record.dwFileAttributes & attribute) != 0;
}

struct LinkSweep {
  unsigned removed = 0;
  bool linkStays = false;
};

void RemoveDirectoryLinks(const wstring& pattern, LinkSweep& sweep) {
  const wstring argument = SearchArgument(pattern);
  const wstring directory = DirectoryPart(argument);
  Search search(argument);
  if (!search.IsOpen()) return;  // what cannot be searched, the shell cannot walk
  do {
    const WIN32_FIND_DATAW& record = search.Record();
    if (!IsDirectory(record) || IsDotEntry(record)) continue;
    const wstring path = directory + record.cFileName;
    if (!IsDirectoryLink(record))
      RemoveDirectoryLinks(path + L"\\*", sweep);
    else if (RemoveDirectoryW(path.c_str()))
      ++sweep.removed;
    else
      sweep.linkStays = true;
  } while (!sweep.linkStays && search.Next());
}

bool MatchesAnything(const wstring& pattern) {
  return Search(SearchArgument(pattern)).IsOpen();
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
bool FitsShell(const wstring& path) { return path.size() < MAX_PATH; }

[[noreturn]] void RaiseBadOperation(const unsigned short wFunc) {
  Error::Raise(SF_SITE(kFileOperationSignature, ""),
               L"Неверно выбран параметр выбора операции.\r\nwFunc = " +
                   std::to_wstring(wFunc),
               false);
}

// Requests that the shell cannot carry out, or would answer wrongly.
bool RefusedBeforeShell(const unsigned short wFunc, const wstring& source,
                        const wstring& destination) {
  if (!FitsShell(source)) return true;
  if (!UsesDestination(wFunc)) return false;
  return !FitsShell(destination) || IntoItself(source, destination);
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
  request.fFlags = kSilentFinal;
  request.fAnyOperationsAborted = TRUE;
  request.hNameMappings = nullptr;
  request.lpszProgressTitle = nullptr;
  SetLastError(0);
  const int answer = Calls().fileOperation(&request);
  return answer == 0 && !request.fAnyOperationsAborted;
}

// --- creation ---------------------------------------------------------------

bool IsExistingDirectory(const wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

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
    Error::Raise(SF_SITE(kSymbolicLinkSignature, ""),
                 L"Не создан для символьной ссылки каталог:\n\"" + parent + L"\"", false);
}

// --- the operation -----------------------------------------------------------

// A delete sweeps the directory links out of what it names first; a caller
// that listed the path as a file knows there is nothing to sweep, and saves
// the search that would show it.
enum class Sweep { kDirectoryLinks, kNothing };

bool ShellOperation(const wstring& from, const wstring& to, const unsigned short wFunc,
                    const Sweep sweep) {
  const wstring source = UpToNull(from);
  const wstring destination = UpToNull(to);
  RequireBelowRoot(SF_SITE(kFileOperationSignature, ""), source);
  if (UsesDestination(wFunc))
    RequireAnchored(SF_SITE(kFileOperationSignature, ""), destination);
  // A named source of a copy or move is looked up before the shell and its
  // destination after it.
  const bool named = UsesDestination(wFunc) && NamesOneEntry(source);
  if (RefusedBeforeShell(wFunc, source, destination) || (named && !IsThere(source)))
    return false;
  if (wFunc == FO_DELETE && sweep == Sweep::kDirectoryLinks) {
    LinkSweep links;
    RemoveDirectoryLinks(source, links);
    if (links.linkStays) return false;
    // Links may have been all the source named.
    if (links.removed > 0 && !MatchesAnything(source)) return true;
  }
  return RunShell(wFunc, source, destination) && (!named || IsThere(destination));
}

// --- clearing ---------------------------------------------------------------

wstring DirectoryPrefix(const wstring& path) {
  return !path.empty() && path.back() == L'\\' ? path : path + L'\\';
}

void RequireClearable(const Error::Site& site, const wstring& path) {
  RequireBelowRoot(site, path);
  if (StatusOf(path) != FilesFind::kDirectory)
    Error::Raise(site, L"Путь\r\n\"" + path + L"\"\r\n не является каталогом!", false);
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
// A link's attributes would be set on its target, so a link is left as is.
bool DeleteFileEntry(const wstring& path, const WIN32_FIND_DATAW& record) {
  const DWORD attributes = record.dwFileAttributes;
  const bool lift = HasAttribute(record, FILE_ATTRIBUTE_READONLY) &&
                    !HasAttribute(record, FILE_ATTRIBUTE_REPARSE_POINT) &&
                    SetFileAttributesW(path.c_str(),
                                       Settable(attributes & ~FILE_ATTRIBUTE_READONLY));
  const bool deleted =
      IsDirectory(record) ? MainFile::DeleteOperation(path)
                          : ShellOperation(path, wstring(), FO_DELETE, Sweep::kNothing);
  if (!deleted && lift) SetFileAttributesW(path.c_str(), Settable(attributes));
  return deleted;
}

// Each entry on its own, so that one failure does not stop the rest.
bool DeleteDirectories(const wstring& prefix, const FindDataList& directories) {
  bool deleted = true;
  for (const WIN32_FIND_DATAW& directory : directories)
    deleted = MainFile::DeleteOperation(prefix + directory.cFileName) && deleted;
  return deleted;
}

// prefix is empty when the records hold full paths.
bool DeleteFiles(const wstring& prefix, const FindDataList& files) {
  bool deleted = true;
  for (const WIN32_FIND_DATAW& file : files)
    deleted = DeleteFileEntry(prefix + file.cFileName, file) && deleted;
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
  return ShellOperation(from, to, wFunc, Sweep::kDirectoryLinks);
}

bool DeleteOperation(const wstring& path) { return FileOperation(path, wstring(), FO_DELETE); }

bool CreatePath(const wstring& path) {
  return IsCreated(Calls().createDirectory(nullptr, path.c_str(), nullptr), path);
}

bool SymbolicLink(const wstring& target, const wstring& link, const bool) {
  if (StatusOf(target) == FilesFind::kNothing)
    Error::Raise(SF_SITE(kSymbolicLinkSignature, ""),
                 L"Отсутсвует исходный путь:\n\"" + target + L"\"", false);
  String::Path::Has(link, false);
  CreateLinkParent(link);
  return Calls().createSymbolicLink(link.c_str(), target.c_str(),
                                    SYMBOLIC_LINK_FLAG_DIRECTORY) != FALSE;
}

}  // namespace MainFile

namespace Path {

bool ClearContents(const wstring& path) {
  RequireClearable(SF_SITE(kClearContentsSignature, ""), path);
  const wstring prefix = DirectoryPrefix(path);
  FindDataList entries;
  ListOf(prefix + L"*", FilesFind::kDirectories, entries);
  const bool directoriesDeleted = DeleteDirectories(prefix, entries);
  ListOf(prefix + L"*.*", FilesFind::kFiles, entries);
  return DeleteFiles(prefix, entries) && directoriesDeleted;
}

bool ClearFromFiles(const wstring& path) {
  RequireClearable(SF_SITE(kClearFromFilesSignature, ""), path);
  FindDataList files;
  ListFilesBelow(DirectoryPrefix(path) + L"*", files);
  return DeleteFiles(wstring(), files);
}

}  // namespace Path
}  // namespace Utils
