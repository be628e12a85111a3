// The rules a path or a name must keep before the library hands it to the
// system: the validation of a path (Has), and the names the system and its
// shell can address exactly.
#include <windows.h>

#include <array>
#include <cwchar>
#include <vector>

#include "utils/runtime/Utils.Failure.h"
#include "utils/text/Utils.Strings.h"

namespace Utils::String::Path {
namespace {

constexpr char kHasSignature[] =
    "bool __cdecl Utils::String::Path::Has(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &,const bool)";

// Reserved device names, as Has compares them: exactly and with case.
constexpr std::array<const wchar_t*, 22> kReservedNames = {
    L"con",  L"nul",  L"prn",  L"AUX",  L"COM1", L"COM2", L"COM3", L"COM4", L"COM5", L"COM6", L"COM7",
    L"COM8", L"COM9", L"LPT1", L"LPT2", L"LPT3", L"LPT4", L"LPT5", L"LPT6", L"LPT7", L"LPT8", L"LPT9"};
// Devices the system also knows by name, beside the reserved ones.
constexpr std::array<const wchar_t*, 8> kOtherDevices = {L"CONIN$",      L"CONOUT$",     L"COM\u00B9",
                                                         L"COM\u00B2",   L"COM\u00B3",   L"LPT\u00B9",
                                                         L"LPT\u00B2",   L"LPT\u00B3"};
// Characters a local path may not hold after its drive; a network path
// may hold the slash. A name may hold neither these nor a backslash nor a
// control character.
constexpr wchar_t kLocalForbidden[] = L":/*?\"<>|";
constexpr wchar_t kNetworkForbidden[] = L":*?\"<>|";
constexpr std::size_t kMaxLocalLength = 255;

struct PathShape {
  bool network;
  bool longPrefixed;
  std::wstring upper;
};

PathShape ShapeOf(const std::wstring& path, bool ftp) {
  PathShape shape;
  shape.upper = UpperCopyW(path);
  shape.network = ftp || StartsWith(shape.upper, L"FTP") || StartsWith(shape.upper, L"HTTP");
  shape.longPrefixed = StartsWith(path, L"\\\\?\\");
  return shape;
}

// A colon is a drive separator, or ends the scheme of a network address;
// anywhere else it names a stream or a device.
bool ColonAllowed(const PathShape& shape, std::size_t colon) {
  if (colon == 1 || (shape.longPrefixed && colon == 5)) return true;
  if (!shape.network) return false;
  return (colon == 3 && StartsWith(shape.upper, L"FTP")) || (colon == 4 && StartsWith(shape.upper, L"HTTP")) ||
         (colon == 5 && StartsWith(shape.upper, L"HTTPS"));
}

[[noreturn]] void Refuse(int line, const std::wstring& message) {
  Error::Site site = SF_SITE(kHasSignature, Error::kMethod);
  site.line = line;
  Error::RaiseEchoed(site, message, false);
}

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

void CheckReservedNames(const std::wstring& path, bool ftp) {
  const wchar_t separator = ftp ? L'/' : L'\\';
  std::wstring copy = path;
  if (copy.back() != L'\\') copy += separator;
  std::size_t begin = 0;
  unsigned long long number = 1;
  for (std::size_t at = copy.find(separator, 2); at != std::wstring::npos;
       at = copy.find(separator, at + 2), ++number) {
    const std::wstring component = copy.substr(begin, at - begin);
    begin = at + 1;
    for (const wchar_t* name : kReservedNames) {
      if (component != name) continue;
      Refuse(__LINE__, L"Использовано зарезервированное в Windows имя \"" + std::wstring(name) +
                           L"\" с порядковым номером " + std::to_wstring(number) + L" в пути:\n" +
                           Quoted(path) + L".");
    }
  }
}

bool OnlyDots(const std::wstring& name) {
  return !name.empty() && name.find_first_not_of(L'.') == std::wstring::npos;
}

bool EndsLoosely(const std::wstring& name) {
  return !name.empty() && (name.back() == L'.' || name.back() == L' ');
}

bool HoldsForbidden(const std::wstring& name) {
  for (const wchar_t c : name)
    if (c < 0x20 || c == L'\\' || std::wcschr(kLocalForbidden, c) != nullptr) return true;
  return false;
}

// A pattern as a directory search reads it: "?" any one character, or none
// before a dot or the end; "*" before a dot anything up to the last dot; a
// dot before a wildcard or at the end, a dot or nothing at the end.
constexpr wchar_t kAnyOne = L'>';
constexpr wchar_t kUpToLastDot = L'<';
constexpr wchar_t kDotOrEnd = L'"';

std::wstring SearchForm(const std::wstring& pattern) {
  std::wstring form = pattern;
  for (std::size_t i = 0; i < form.size(); ++i) {
    const wchar_t next = i + 1 < pattern.size() ? pattern[i + 1] : L'\0';
    if (pattern[i] == L'?') form[i] = kAnyOne;
    else if (pattern[i] == L'*' && next == L'.') form[i] = kUpToLastDot;
    else if (pattern[i] == L'.' && (next == L'\0' || next == L'?' || next == L'*')) form[i] = kDotOrEnd;
  }
  return form;
}

}  // namespace

bool Matches(const std::wstring& pattern, const std::wstring& name) {
  const std::wstring form = UpperInvariant(SearchForm(pattern)), text = UpperInvariant(name);
  const std::size_t lastDot = text.rfind(L'.');
  // matched[p * (n + 1) + i]: form[p..] matches text[i..]; filled from the ends.
  const std::size_t n = text.size();
  std::vector<char> matched((form.size() + 1) * (n + 1), 0);
  const auto at = [&](std::size_t p, std::size_t i) -> char& { return matched[p * (n + 1) + i]; };
  at(form.size(), n) = 1;
  for (std::size_t p = form.size(); p-- > 0;)
    for (std::size_t i = n + 1; i-- > 0;) {
      const wchar_t c = form[p];
      const bool more = i < n;
      bool yes = false;
      if (c == L'*')
        yes = at(p + 1, i) || (more && at(p, i + 1));
      else if (c == kUpToLastDot)
        yes = at(p + 1, i) || (more && i != lastDot && at(p, i + 1));
      else if (c == kAnyOne)
        yes = more && text[i] != L'.' ? at(p + 1, i + 1) : at(p + 1, i);
      else if (c == kDotOrEnd)
        yes = (more && text[i] == L'.' && at(p + 1, i + 1)) || (!more && at(p + 1, i));
      else
        yes = more && text[i] == c && at(p + 1, i + 1);
      at(p, i) = yes;
    }
  return at(0, 0) != 0;
}

bool Has(const std::wstring& path, const bool ftp) {
  const PathShape shape = ShapeOf(path, ftp);
  if (path.empty()) return false;

  const std::size_t colon = path.rfind(L':');
  if (colon != std::wstring::npos && !ColonAllowed(shape, colon))
    Refuse(__LINE__, L"Двоеточие \":\" не в начале пути:\n" + Quoted(path) + L".\nПозиции двоеточия: " +
                         std::to_wstring(colon) + L".");

  const std::size_t scanFrom = colon == std::wstring::npos ? 0 : colon + 1;
  const std::size_t bad = path.find_first_of(shape.network ? kNetworkForbidden : kLocalForbidden, scanFrom);
  if (bad != std::wstring::npos)
    Refuse(__LINE__, L"Обнаружен запрещённый символ '" + std::wstring(1, path[bad]) + L"' в позиции " +
                         std::to_wstring(bad) + L" в пути:\n" + Quoted(path) + L".");

  if (path.back() == L'.') Refuse(__LINE__, L"Точка в конце пути:\n" + Quoted(path));
  if (path.back() == L' ') Refuse(__LINE__, L"Пробел в конце пути:\n" + Quoted(path));
  if (!ftp && !shape.longPrefixed && path.size() > kMaxLocalLength)
    Refuse(__LINE__, L"Боле 255 символов в пути:\n" + Quoted(path));

  CheckReservedNames(path, ftp);
  return true;
}

bool IsDeviceName(const std::wstring& name) {
  std::wstring base = name.substr(0, name.find(L'.'));
  while (!base.empty() && base.back() == L' ') base.pop_back();
  if (base.size() < 3 || base.size() > 7) return false;  // no device name is shorter or longer
  base = UpperCopyW(base);
  for (const wchar_t* device : kReservedNames)
    if (CompareStringOrdinal(base.c_str(), -1, device, -1, TRUE) == CSTR_EQUAL) return true;
  for (const wchar_t* device : kOtherDevices)
    if (base == device) return true;
  return false;
}

bool IsExactName(const std::wstring& name) {
  return !name.empty() && !OnlyDots(name) && !EndsLoosely(name) && !HoldsForbidden(name) && !IsDeviceName(name);
}

std::wstring InexactNameMessage(const std::wstring& path) {
  return L"Имя элемента нельзя передать системе точно (только точки, точка или пробел в "
         L"конце, недопустимый символ, имя устройства):\n" +
         Quoted(path);
}

std::wstring AmbiguousComponent(const std::wstring& path) {
  std::size_t begin = 0;
  if (StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\\\.\\")) begin = 4;
  for (std::size_t end = begin; begin <= path.size(); begin = end + 1) {
    end = path.find_first_of(L"\\/", begin);
    if (end == std::wstring::npos) end = path.size();
    const std::wstring component = path.substr(begin, end - begin);
    if (component == L"." || component == L"..") continue;
    if (OnlyDots(component) || EndsLoosely(component)) return component;
  }
  return std::wstring();
}

}  // namespace Utils::String::Path
