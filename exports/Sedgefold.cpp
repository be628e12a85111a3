#include "exports/Sedgefold.h"

#include <windows.h>
#include <shlwapi.h>

#include "exports/Frame.h"

namespace {

constexpr char kIsEmptyA[] = "int __cdecl PathIsEmptyA(const char *)";
constexpr char kIsEmptyW[] = "int __cdecl PathIsEmptyW(const wchar_t *)";

int IsEmptyDirectory(const std::wstring& path) {
  return PathIsDirectoryEmptyW(path.c_str()) ? 1 : 0;
}

template <class C> int PathIsEmpty(const Utils::Error::Site& site, const C* path) {
  return Sedgefold::Run(site, 0, [&] {
    return IsEmptyDirectory(Sedgefold::WideArgument(site, path));
  });
}

}  // namespace

extern "C" {

int PathIsEmptyA(const char* path) { return PathIsEmpty(SF_EXPORT(kIsEmptyA), path); }

int PathIsEmptyW(const wchar_t* path) { return PathIsEmpty(SF_EXPORT(kIsEmptyW), path); }

}
