#include "utils/files/Utils.File.Reach.h"

#include <windows.h>

#include <algorithm>

#include "utils/text/Utils.Strings.h"

namespace Utils::Reach {
namespace {

using std::wstring;
using String::StartsWith;

enum class Reach { kUnanchored, kRoot, kBelowRoot };

bool IsSeparator(const wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(const wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool IsDriveAbsolute(const wstring& path) {
  return path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && IsSeparator(path[2]);
}

// \\server\share; not the device namespaces \\.\ and \\?\.
bool IsUnc(const wstring& path) {
  return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]) &&
         path[2] != L'?' && path[2] != L'.';
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
wstring Normalised(const wstring& path) {
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

Reach ReachOf(const wstring& path) {
  const wstring anchored = Anchored(path);
  if (anchored.empty()) return Reach::kUnanchored;
  const wstring full = Normalised(anchored);
  if (full.empty()) return Reach::kUnanchored;
  wstring below = String::Path::WithoutTrailingBackslashes(full.substr(std::min(RootLength(full), full.size())));
  // A wildcard name is expanded in its directory: that directory is what
  // the operation reaches into.
  if (!NamesOneEntry(below)) {
    const std::size_t slash = below.rfind(L'\\');
    below = String::Path::WithoutTrailingBackslashes(below.erase(slash == wstring::npos ? 0 : slash));
  }
  return below.empty() ? Reach::kRoot : Reach::kBelowRoot;
}

[[noreturn]] void RefuseReach(const Error::Site& site, const wstring& path, const Reach reach) {
  const wchar_t* message = reach == Reach::kRoot
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

}  // namespace

bool NamesOneEntry(const wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return path.find_first_of(L"*?", slash == wstring::npos ? 0 : slash + 1) == wstring::npos;
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
    Error::Raise(site, L"Путь назначения не может быть шаблоном (\"*\", \"?\"):\n\"" + path + L"\"", false);
}

wstring ShellPath(const wstring& path) { return String::Path::WithoutTrailingBackslashes(Normalised(Anchored(path))); }

}  // namespace Utils::Reach
