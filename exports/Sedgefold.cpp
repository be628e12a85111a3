#include "exports/Sedgefold.h"

#include <windows.h>
#include <shlwapi.h>

#include "exports/Frame.h"

namespace {

constexpr char kIsEmptyA[] = "int __cdecl PathIsEmptyA(const char *)";
constexpr char kIsEmptyW[] = "int __cdecl PathIsEmptyW(const wchar_t *)";

bool IsEmptyDirectory(const std::wstring& path) {
  return PathIsDirectoryEmptyW(path.c_str()) != FALSE;
}

}  // namespace

extern "C" {

int PathIsEmptyA(const char* path) { return Sedgefold::OnePath(SF_EXPORT(kIsEmptyA), path, IsEmptyDirectory); }

int PathIsEmptyW(const wchar_t* path) { return Sedgefold::OnePath(SF_EXPORT(kIsEmptyW), path, IsEmptyDirectory); }

}
