#include "exports/Sedgefold.h"

#include <windows.h>
#include <shellapi.h>

#include "exports/Frame.h"
#include "utils/files/Utils.File.h"

namespace {

using Sedgefold::OnePath;
using Sedgefold::TwoPaths;

constexpr char kCreateA[] = "int __cdecl PathCreateA(const char *)";
constexpr char kCreateW[] = "int __cdecl PathCreateW(const wchar_t *)";
constexpr char kDeleteA[] = "int __cdecl PathDeleteA(const char *)";
constexpr char kDeleteW[] = "int __cdecl PathDeleteW(const wchar_t *)";
constexpr char kDeleteEmptyA[] = "int __cdecl PathDeleteEmptyA(const char *)";
constexpr char kDeleteEmptyW[] = "int __cdecl PathDeleteEmptyW(const wchar_t *)";
constexpr char kClearContentsA[] = "int __cdecl PathClearContentsA(const char *)";
constexpr char kClearContentsW[] = "int __cdecl PathClearContentsW(const wchar_t *)";
constexpr char kClearFromFilesA[] = "int __cdecl PathClearFromFilesA(const char *)";
constexpr char kClearFromFilesW[] = "int __cdecl PathClearFromFilesW(const wchar_t *)";
constexpr char kCopyA[] = "int __cdecl PathCopyA(const char *,const char *)";
constexpr char kCopyW[] = "int __cdecl PathCopyW(const wchar_t *,const wchar_t *)";
constexpr char kMoveA[] = "int __cdecl PathMoveA(const char *,const char *)";
constexpr char kMoveW[] = "int __cdecl PathMoveW(const wchar_t *,const wchar_t *)";
constexpr char kSymbolicLinkA[] = "int __cdecl PathSymbolicLinkA(const char *,const char *)";
constexpr char kSymbolicLinkW[] =
    "int __cdecl PathSymbolicLinkW(const wchar_t *,const wchar_t *)";

Utils::Error::Outcome Copy(const std::wstring& source, const std::wstring& destination) {
  return Utils::MainFile::FileOperation(source, destination, FO_COPY);
}

Utils::Error::Outcome Move(const std::wstring& source, const std::wstring& destination) {
  return Utils::MainFile::FileOperation(source, destination, FO_MOVE);
}

Utils::Error::Outcome Link(const std::wstring& target, const std::wstring& link) {
  return Utils::MainFile::SymbolicLink(target, link);
}

}  // namespace

extern "C" {

int PathCreateA(const char* path) {
  return OnePath(SF_EXPORT(kCreateA), path, Utils::MainFile::CreatePath);
}
int PathCreateW(const wchar_t* path) {
  return OnePath(SF_EXPORT(kCreateW), path, Utils::MainFile::CreatePath);
}

int PathDeleteA(const char* path) {
  return OnePath(SF_EXPORT(kDeleteA), path, Utils::MainFile::DeleteOperation);
}
int PathDeleteW(const wchar_t* path) {
  return OnePath(SF_EXPORT(kDeleteW), path, Utils::MainFile::DeleteOperation);
}

int PathDeleteEmptyA(const char* path) {
  return OnePath(SF_EXPORT(kDeleteEmptyA), path, Utils::MainFile::DeleteEmpty);
}
int PathDeleteEmptyW(const wchar_t* path) {
  return OnePath(SF_EXPORT(kDeleteEmptyW), path, Utils::MainFile::DeleteEmpty);
}

int PathClearContentsA(const char* path) {
  return OnePath(SF_EXPORT(kClearContentsA), path, Utils::Path::ClearContents);
}
int PathClearContentsW(const wchar_t* path) {
  return OnePath(SF_EXPORT(kClearContentsW), path, Utils::Path::ClearContents);
}

int PathClearFromFilesA(const char* path) {
  return OnePath(SF_EXPORT(kClearFromFilesA), path, Utils::Path::ClearFromFiles);
}
int PathClearFromFilesW(const wchar_t* path) {
  return OnePath(SF_EXPORT(kClearFromFilesW), path, Utils::Path::ClearFromFiles);
}

int PathCopyA(const char* source, const char* destination) {
  return TwoPaths(SF_EXPORT(kCopyA), source, destination, Copy);
}
int PathCopyW(const wchar_t* source, const wchar_t* destination) {
  return TwoPaths(SF_EXPORT(kCopyW), source, destination, Copy);
}

int PathMoveA(const char* source, const char* destination) {
  return TwoPaths(SF_EXPORT(kMoveA), source, destination, Move);
}
int PathMoveW(const wchar_t* source, const wchar_t* destination) {
  return TwoPaths(SF_EXPORT(kMoveW), source, destination, Move);
}

int PathSymbolicLinkA(const char* target, const char* link) {
  return TwoPaths(SF_EXPORT(kSymbolicLinkA), target, link, Link);
}
int PathSymbolicLinkW(const wchar_t* target, const wchar_t* link) {
  return TwoPaths(SF_EXPORT(kSymbolicLinkW), target, link, Link);
}

}
