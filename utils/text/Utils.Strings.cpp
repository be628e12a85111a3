#include "utils/text/Utils.Strings.h"

#include <windows.h>

#include "utils/runtime/Utils.Failure.h"

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

constexpr wchar_t kNoPath[] = L"Отсутствует путь.";
constexpr wchar_t kNoSubstring[] = L"Отсутсвует искомая подстрока.";

template <class C>
u64 PosByReverse(const char* signature, const std::basic_string<C>& text,
                 const std::basic_string<C>& sub, u64& number, u64 start,
                 const u64 count) {
  const u64 window =
      Checking::CountReverse(SF_SITE(signature, Error::kMethod), static_cast<u64>(text.size()), start, count);
  if (sub.empty()) Error::Raise(SF_SITE(signature, Error::kMethod), kNoSubstring, false);
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

template <class C> std::basic_string<C> DropTrailingBackslash(std::basic_string<C> path) {
  if (!path.empty() && path.back() == C('\\')) path.pop_back();
  return path;
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
  path = DropTrailingBackslash(std::move(path));
  if (path.empty()) Error::Raise(SF_SITE(signature, Error::kMethod), kNoPath, false);
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
  const unsigned long n =
      Checking::CountDirect(SF_SITE(kUpperSignature, Error::kMethod), static_cast<u64>(text.size()), start, count);
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
  const u64 n =
      Checking::CountDirect(SF_SITE(kReplaceSignature, Error::kMethod), static_cast<u64>(text.size()), start, count);
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

std::string WithoutTrailingBackslash(std::string path) { return DropTrailingBackslash(std::move(path)); }
std::wstring WithoutTrailingBackslash(std::wstring path) { return DropTrailingBackslash(std::move(path)); }

std::wstring WithoutTrailingBackslashes(std::wstring path) {
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  return path;
}

std::wstring DriveAsRoot(std::wstring path) {
  if (path.size() == 2 && path[1] == L':') path += L'\\';
  return path;
}

}  // namespace Path

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

// The file system folds a name code unit by code unit, through a table of
// one entry per UTF-16 unit: a letter written as a surrogate pair keeps its
// case, however a linguistic mapping would change it.
std::wstring UpperInvariant(const std::wstring& text) {
  if (text.empty()) return text;
  std::wstring upper(text.size(), L'\0');
  const int length = static_cast<int>(text.size());
  if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.c_str(), length, &upper[0], length, nullptr,
                    nullptr, 0) != length) {
    upper = text;
    CharUpperBuffW(&upper[0], static_cast<DWORD>(length));
  }
  for (std::size_t i = 0; i < text.size(); ++i)
    if (IS_HIGH_SURROGATE(text[i]) || IS_LOW_SURROGATE(text[i])) upper[i] = text[i];
  return upper;
}

}  // namespace Utils::String
