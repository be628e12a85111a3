// PathCheck and the listing exports: what lies in a directory, written into
// memory that the host owns.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "exports/Frame.h"
#include "exports/Sedgefold.h"
#include "utils/text/Utils.CodingStr.h"
#include "utils/files/Utils.File.Level.h"

namespace {

using u64 = unsigned long long;
using Site = Utils::Error::Site;

constexpr char kCheckA[] = "int __cdecl PathCheckA(const char *)";
constexpr char kCheckW[] = "int __cdecl PathCheckW(const wchar_t *)";
constexpr char kGetListA[] =
    "unsigned __int64 __cdecl PathGetListA(const char *,const int,char *,const "
    "unsigned __int64,const unsigned __int64)";
constexpr char kGetListW[] =
    "unsigned __int64 __cdecl PathGetListW(const wchar_t *,const int,wchar_t "
    "*,const unsigned __int64,const unsigned __int64)";
constexpr char kGetListMA[] =
    "unsigned __int64 __cdecl PathGetListMA(const char *,const int,struct "
    "MT::_MQLSTRA *,const unsigned __int64)";
constexpr char kGetListMW[] =
    "unsigned __int64 __cdecl PathGetListMW(const wchar_t *,const int,struct "
    "MT::_MQLSTRW *,const unsigned __int64)";

constexpr wchar_t kBadMode[] = L"Неверно выбран метод поиска.";
constexpr wchar_t kCopyFailed[] = L"Ошибка копирования.";

// PathCheck

bool IsDirectory(const std::wstring& path) {
  return Utils::Level::StatusOf(path) == Utils::Level::Status::kDirectory;
}

// Listing

// Plain copies set no last error, so the report's description is given the
// code that names what was wrong with the host's memory.
[[noreturn]] void CopyFailed(const Site& site, DWORD code) {
  SetLastError(code);
  Utils::Error::Raise(SF_EXPORT(site.signature), kCopyFailed, true);
}

void CheckMode(const Site& site, const int mode) {
  if (mode < Utils::Level::kDirectories || mode > Utils::Level::kAll)
    Utils::Error::Raise(SF_EXPORT(site.signature), kBadMode, false);
}

// The slots of a character buffer must be addressable at all.
void CheckGeometry(const Site& site, const u64 count, const u64 size) {
  if (size != 0 && count > ~0ULL / size) CopyFailed(site, ERROR_ARITHMETIC_OVERFLOW);
}

// A names in the system code page, W names as found.
std::string NameAs(char, const WIN32_FIND_DATAW& entry) {
  return Utils::CodingStr::UnicodeToAnsi(entry.cFileName, Utils::CodingStr::kAnsiCodePage);
}
// A view of the entry's own text: no copy per name.
std::wstring_view NameAs(wchar_t, const WIN32_FIND_DATAW& entry) { return entry.cFileName; }

// The name and its terminator, byte by byte: a slot of an odd size in a
// wide buffer need not be aligned for wchar_t.
template <class C> void CopyName(void* to, const std::basic_string_view<C> name) {
  const C terminator = C(0);
  char* const bytes = static_cast<char*>(to);
  std::memcpy(bytes, name.data(), name.size() * sizeof(C));
  std::memcpy(bytes + name.size() * sizeof(C), &terminator, sizeof(C));
}

template <class C>
void CopyToSlot(const Site& site, C* buffer, const u64 index, const u64 size,
                const std::basic_string_view<C> name) {
  if (buffer == nullptr) CopyFailed(site, ERROR_INVALID_PARAMETER);
  char* slot = reinterpret_cast<char*>(buffer) + index * size;
  const u64 bytes = (static_cast<u64>(name.size()) + 1) * sizeof(C);
  if (bytes > size) {
    std::memset(slot, 0, static_cast<std::size_t>(size));
    CopyFailed(site, ERROR_INSUFFICIENT_BUFFER);
  }
  CopyName(slot, name);
}

// Fields are read once by value: the records are packed, and the host's
// memory is touched no more than needed.
template <class Record, class C>
void CopyToRecord(const Site& site, Record* records, const u64 index,
                  const std::basic_string_view<C> name) {
  if (records == nullptr) CopyFailed(site, ERROR_INVALID_PARAMETER);
  const int capacity = records[index].capacity;
  C* const text = records[index].text;
  if (text == nullptr || capacity < 0) CopyFailed(site, ERROR_INVALID_PARAMETER);
  if (name.size() >= static_cast<u64>(capacity)) {
    if (capacity > 0) text[0] = C(0);
    CopyFailed(site, ERROR_INSUFFICIENT_BUFFER);
  }
  CopyName(text, name);
}

// Steps shared by all four once the arguments are checked: pattern, then the
// search, each name copied as it is found, until count names are in.
template <class C, class Copy>
u64 List(const Site& site, const C* pattern, const int mode, const u64 count, Copy&& copy) {
  u64 copied = 0;
  Utils::Level::List(Sedgefold::WideArgument(site, pattern), static_cast<unsigned short>(mode),
                [&](const WIN32_FIND_DATAW& entry) {
                  if (copied == count) return false;
                  copy(copied, NameAs(C(), entry));
                  return ++copied < count;
                });
  return copied;
}

template <class C>
u64 PathGetList(const Site& site, const C* pattern, const int mode, C* buffer,
                const u64 count, const u64 size) {
  return Sedgefold::Run(site, 0ULL, [&] {
    CheckMode(site, mode);
    CheckGeometry(site, count, size);
    return List(site, pattern, mode, count, [&](u64 i, const std::basic_string_view<C> name) {
      CopyToSlot(site, buffer, i, size, name);
    });
  });
}

template <class Record, class C>
u64 PathGetListM(const Site& site, const C* pattern, const int mode, Record* records,
                 const u64 count) {
  return Sedgefold::Run(site, 0ULL, [&] {
    CheckMode(site, mode);
    return List(site, pattern, mode, count, [&](u64 i, const std::basic_string_view<C> name) {
      CopyToRecord(site, records, i, name);
    });
  });
}

}  // namespace

extern "C" {

int PathCheckA(const char* path) { return Sedgefold::OnePath(SF_EXPORT(kCheckA), path, IsDirectory); }

int PathCheckW(const wchar_t* path) { return Sedgefold::OnePath(SF_EXPORT(kCheckW), path, IsDirectory); }

uint64_t PathGetListA(const char* pattern, const int mode, char* buffer,
                      const uint64_t count, const uint64_t size) {
  return PathGetList(SF_EXPORT(kGetListA), pattern, mode, buffer, count, size);
}

uint64_t PathGetListW(const wchar_t* pattern, const int mode, wchar_t* buffer,
                      const uint64_t count, const uint64_t size) {
  return PathGetList(SF_EXPORT(kGetListW), pattern, mode, buffer, count, size);
}

uint64_t PathGetListMA(const char* pattern, const int mode, MT::_MQLSTRA* records,
                       const uint64_t count) {
  return PathGetListM(SF_EXPORT(kGetListMA), pattern, mode, records, count);
}

uint64_t PathGetListMW(const wchar_t* pattern, const int mode, MT::_MQLSTRW* records,
                       const uint64_t count) {
  return PathGetListM(SF_EXPORT(kGetListMW), pattern, mode, records, count);
}

}
