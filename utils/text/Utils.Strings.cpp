#include "utils/Utils.Strings.h"

#include <cwchar>

#include <windows.h>

#include <array>

#include "utils/Utils.Error.h"

namespace Utils::String {
namespace {

using u64 = unsigned long long;
constexpr u64 kAll = Checking::All<u64>;

constexpr char kTrimASignature[] =
    "char *__cdecl Utils::String::Path::TrimNameFileA(char *,unsigned "
    "__int64,const char)";
constexpr char kTrimWSignature[] =
    "wchar_t *__cdecl Utils::String::Path::TrimNameFileW(wchar_t *,unsigned "
    "__int64,const wchar_t)";
constexpr char kTrimCWSignature[] =
    "class std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > __cdecl Utils::String::Path::TrimNameFileCW(const "
    "class std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &,unsigned __int64,const wchar_t)";
constexpr char kPosASignature[] =
    "unsigned __int64 __cdecl Utils::String::PosByReverseNumberSubStringsA(const "
    "class std::basic_string<char,struct std::char_traits<char>,class "
    "std::allocator<char> > &,const class std::basic_string<char,struct "
    "std::char_traits<char>,class std::allocator<char> > &,unsigned __int64 "
    "&,unsigned __int64,const unsigned __int64)";
constexpr char kPosWSignature[] =
    "unsigned __int64 __cdecl Utils::String::PosByReverseNumberSubStringsW(const "
    "class std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &,const class std::basic_string<wchar_t,struct "
    "std::char_traits<wchar_t>,class std::allocator<wchar_t> > &,unsigned "
    "__int64 &,unsigned __int64,const unsigned __int64)";
constexpr char kUpperSignature[] =
    "class std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &__cdecl Utils::String::UpperW(class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &,const unsigned long,const unsigned long)";
constexpr char kReplaceSignature[] =
    "class std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &__cdecl Utils::String::ReplaceW(class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &,const unsigned __int64,unsigned "
    "__int64,const class std::basic_string<wchar_t,struct "
    "std::char_traits<wchar_t>,class std::allocator<wchar_t> > &,const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &,const bool)";
constexpr char kHasSignature[] =
    "bool __cdecl Utils::String::Path::Has(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &,const bool)";

constexpr wchar_t kNoPath[] = L"Отсутствует путь.";
constexpr wchar_t kNoSubstring[] = L"Отсутсвует искомая подстрока.";

template <class C>
u64 PosByReverse(const char* signature, const std::basic_string<C>& text,
                 const std::basic_string<C>& sub, u64& number, u64 start,
                 const u64 count) {
  const u64 window = Checking::CountReverse(
      Error::HeaderW(SF_SITE(signature, "")), static_cast<u64>(text.size()),
      start, count);
  if (sub.empty()) Error::Raise(SF_SITE(signature, ""), kNoSubstring, false);
  if (number == 0) return start;
  const u64 lowest = start + 1 - window;
  u64 found = 0;
  std::size_t from = static_cast<std::size_t>(start);
  for (;;) {
    const std::size_t at = text.rfind(sub, from);
    if (at == std::basic_string<C>::npos || at < lowest) break;
    if (++found == number) return at;
    if (at == 0) break;
    from = at - 1;
  }
  number = found;
  return kAll;
}

template <class C> struct Pos;
template <> struct Pos<char> {
  static u64 Find(const std::string& t, const std::string& s, u64& n) {
    return PosByReverseNumberSubStringsA(t, s, n);
  }
};
template <> struct Pos<wchar_t> {
  static u64 Find(const std::wstring& t, const std::wstring& s, u64& n) {
    return PosByReverseNumberSubStringsW(t, s, n);
  }
};

// The directory part's last index: where the number-th separator from the
// end stands once one trailing backslash is ignored; npos when none.
template <class C>
std::size_t CutPoint(const char* signature, std::basic_string<C>& path,
                     u64 number, const C separator) {
  if (!path.empty() && path.back() == C('\\')) path.pop_back();
  if (path.empty()) Error::Raise(SF_SITE(signature, ""), kNoPath, false);
  if (number == 0) return std::basic_string<C>::npos;
  const u64 at = Pos<C>::Find(path, std::basic_string<C>(1, separator), number);
  return at == kAll ? std::basic_string<C>::npos : static_cast<std::size_t>(at);
}

template <class C>
C* TrimInPlace(const char* signature, C* path, u64 number, const C separator) {
  std::basic_string<C> text = path == nullptr ? std::basic_string<C>() : path;
  const std::size_t cut = CutPoint(signature, text, number, separator);
  if (cut != std::basic_string<C>::npos) path[cut + 1] = C(0);
  return path;
}

// Reserved device names, compared exactly and with case.
constexpr std::array<const wchar_t*, 22> kReservedNames = {
    L"con",  L"nul",  L"prn",  L"AUX",  L"COM1", L"COM2", L"COM3", L"COM4",
    L"COM5", L"COM6", L"COM7", L"COM8", L"COM9", L"LPT1", L"LPT2", L"LPT3",
    L"LPT4", L"LPT5", L"LPT6", L"LPT7", L"LPT8", L"LPT9"};
constexpr wchar_t kLocalForbidden[] = L":/*?\"<>|";
constexpr wchar_t kNetworkForbidden[] = L":*?\"<>|";
constexpr std::size_t kMaxLocalLength = 255;

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
  return text.rfind(prefix, 0) == 0;
}

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
  return (colon == 3 && StartsWith(shape.upper, L"FTP")) ||
         (colon == 4 && StartsWith(shape.upper, L"HTTP")) ||
         (colon == 5 && StartsWith(shape.upper, L"HTTPS"));
}

[[noreturn]] void Refuse(int line, const std::wstring& message) {
  Error::Site site = SF_SITE(kHasSignature, "");
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
      Refuse(__LINE__, L"Использовано зарезервированное в Windows имя \"" +
                           std::wstring(name) + L"\" с порядковым номером " +
                           std::to_wstring(number) + L" в пути:\n" + Quoted(path) +
                           L".");
    }
  }
}

}  // namespace

u64 PosByReverseNumberSubStringsA(const std::string& text, const std::string& sub,
                                  u64& number, u64 start, const u64 count) {
  return PosByReverse(kPosASignature, text, sub, number, start, count);
}

u64 PosByReverseNumberSubStringsW(const std::wstring& text, const std::wstring& sub,
                                  u64& number, u64 start, const u64 count) {
  return PosByReverse(kPosWSignature, text, sub, number, start, count);
}

std::wstring& UpperW(std::wstring& text, const unsigned long start,
                     const unsigned long count) {
  const unsigned long n = Checking::CountDirect(
      Error::HeaderW(SF_SITE(kUpperSignature, "")), static_cast<u64>(text.size()),
      start, count);
  CharUpperBuffW(text.data() + start, n);
  return text;
}

std::wstring UpperCopyW(const std::wstring& text) {
  std::wstring copy = text;
  if (!copy.empty()) UpperW(copy, 0, Checking::All<unsigned long>);
  return copy;
}

std::wstring& ReplaceW(std::wstring& text, const u64 start, u64 count,
                       const std::wstring& what, const std::wstring& with,
                       const bool all) {
  const u64 n = Checking::CountDirect(Error::HeaderW(SF_SITE(kReplaceSignature, "")),
                                      static_cast<u64>(text.size()), start, count);
  // Characters behind the region keep their distance from the end.
  const std::size_t behind = text.size() - static_cast<std::size_t>(start + n);
  std::size_t from = static_cast<std::size_t>(start);
  for (;;) {
    const std::size_t at = text.find(what, from);
    if (at == std::wstring::npos || at >= text.size() - behind) break;
    text.replace(at, what.size(), with);
    if (!all) break;
    from = at + with.size() + 1;
  }
  return text;
}

namespace Path {

char* TrimNameFileA(char* path, u64 number, const char separator) {
  return TrimInPlace(kTrimASignature, path, number, separator);
}

wchar_t* TrimNameFileW(wchar_t* path, u64 number, const wchar_t separator) {
  return TrimInPlace(kTrimWSignature, path, number, separator);
}

std::wstring TrimNameFileCW(const std::wstring& path, u64 number,
                            const wchar_t separator) {
  std::wstring copy = path;
  const std::size_t cut = CutPoint(kTrimCWSignature, copy, number, separator);
  return cut == std::wstring::npos ? path : copy.substr(0, cut + 1);
}

bool Has(const std::wstring& path, const bool ftp) {
  const PathShape shape = ShapeOf(path, ftp);
  if (path.empty()) return false;

  const std::size_t colon = path.rfind(L':');
  if (colon != std::wstring::npos && !ColonAllowed(shape, colon))
    Refuse(__LINE__, L"Двоеточие \":\" не в начале пути:\n" + Quoted(path) +
                         L".\nПозиции двоеточия: " + std::to_wstring(colon) + L".");

  const std::size_t scanFrom = colon == std::wstring::npos ? 0 : colon + 1;
  const std::size_t bad =
      path.find_first_of(shape.network ? kNetworkForbidden : kLocalForbidden, scanFrom);
  if (bad != std::wstring::npos)
    Refuse(__LINE__, L"Обнаружен запрещённый символ '" + std::wstring(1, path[bad]) +
                         L"' в позиции " + std::to_wstring(bad) + L" в пути:\n" +
                         Quoted(path) + L".");

  if (path.back() == L'.') Refuse(__LINE__, L"Точка в конце пути:\n" + Quoted(path));
  if (path.back() == L' ') Refuse(__LINE__, L"Пробел в конце пути:\n" + Quoted(path));
  if (!ftp && !shape.longPrefixed && path.size() > kMaxLocalLength)
    Refuse(__LINE__, L"Боле 255 символов в пути:\n" + Quoted(path));

  CheckReservedNames(path, ftp);
  return true;
}

namespace {

bool OnlyDots(const std::wstring& name) {
  return !name.empty() && name.find_first_not_of(L'.') == std::wstring::npos;
}

bool EndsLoosely(const std::wstring& name) {
  return !name.empty() && (name.back() == L'.' || name.back() == L' ');
}

bool HoldsForbidden(const std::wstring& name) {
  for (const wchar_t c : name)
    if (c < 0x20 || std::wcschr(L"\\/:*?\"<>|", c) != nullptr) return true;
  return false;
}

}  // namespace

bool IsDeviceName(const std::wstring& name) {
  std::wstring base = UpperCopyW(name.substr(0, name.find(L'.')));
  while (!base.empty() && base.back() == L' ') base.pop_back();
  if (base == L"CON" || base == L"NUL" || base == L"PRN" || base == L"AUX") return true;
  return base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0) &&
         base[3] >= L'1' && base[3] <= L'9';
}

bool IsExactName(const std::wstring& name) {
  return !name.empty() && !OnlyDots(name) && !EndsLoosely(name) && !HoldsForbidden(name) &&
         !IsDeviceName(name);
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

}  // namespace Path
}  // namespace Utils::String
