#include "utils/files/Utils.File.Facts.h"

#include <cstring>
#include <string>

namespace Utils {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// FILE_ID_INFO, which the headers for Windows 7 leave out; there the call
// fails and the 64-bit index serves.
struct FileIdInformation {
  ULONGLONG VolumeSerialNumber;
  FILE_ID_128 FileId;
};
constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);

bool IdentityOf(const FileHandle& file, Identity& identity) {
  FileIdInformation wide{};
  if (GetFileInformationByHandleEx(file.get(), kFileIdInfo, &wide, sizeof wide)) {
    identity.volume = wide.VolumeSerialNumber;
    identity.id = wide.FileId;
    identity.wide = true;
    return true;
  }
  BY_HANDLE_FILE_INFORMATION narrow;
  if (!GetFileInformationByHandle(file.get(), &narrow)) return false;
  identity.volume = narrow.dwVolumeSerialNumber;
  const ULONGLONG index = (static_cast<ULONGLONG>(narrow.nFileIndexHigh) << 32) | narrow.nFileIndexLow;
  std::memcpy(identity.id.Identifier, &index, sizeof index);
  identity.wide = false;
  return true;
}

}  // namespace

bool IsThere(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsExistingDirectory(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsNotFound(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

FileHandle OpenMetadata(const std::wstring& path, DWORD access, DWORD flags) {
  return FileHandle(CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr));
}

// The narrow form is the low half of the wide one, on the low half of the
// serial: a volume that answers one way for one file and the other way for
// another still compares.
bool Identity::operator==(const Identity& other) const {
  if (wide && other.wide)
    return volume == other.volume && std::memcmp(id.Identifier, other.id.Identifier, sizeof id.Identifier) == 0;
  return SameVolume(other) && std::memcmp(id.Identifier, other.id.Identifier, 8) == 0;
}

bool Identity::SameVolume(const Identity& other) const {
  return wide && other.wide ? volume == other.volume : static_cast<DWORD>(volume) == static_cast<DWORD>(other.volume);
}

Held Held::Of(const std::wstring& path) {
  Held held;
  held.file_ = OpenMetadata(path);
  held.known_ = held.file_ && IdentityOf(held.file_, held.identity_);
  return held;
}

std::wstring FinalPathOf(const FileHandle& file) {
  if (!file) return std::wstring();
  std::wstring final(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetFinalPathNameByHandleW(file.get(), &final[0], static_cast<DWORD>(final.size()), 0);
    if (length == 0) return std::wstring();
    if (length < final.size()) {
      final.resize(length);
      return final;
    }
    final.resize(length + 1);
  }
}

std::wstring FinalPathOf(const std::wstring& path) { return FinalPathOf(OpenMetadata(path)); }

DWORD NamesOf(const FileHandle& file) {
  FILE_STANDARD_INFO standard{};
  return file && GetFileInformationByHandleEx(file.get(), FileStandardInfo, &standard, sizeof standard)
             ? standard.NumberOfLinks
             : 0;
}

namespace {

// Wine's own answer for the Unix path of a Windows path, in memory of the
// process heap; absent outside Wine.
using UnixNameOf = char*(CDECL*)(LPCWSTR path);

std::string Utf8Of(const std::wstring& text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  if (length > 0)
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0], length, nullptr, nullptr);
  return utf8;
}

}  // namespace

bool CarriesItsName(const std::wstring& path) {
  constexpr wchar_t kReplacement = 0xFFFD;
  const std::size_t slash = path.rfind(L'\\');
  const std::wstring name = path.substr(slash == std::wstring::npos ? 0 : slash + 1);
  if (name.find(kReplacement) == std::wstring::npos) return true;
  static const auto unixNameOf = reinterpret_cast<UnixNameOf>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (unixNameOf == nullptr) return true;  // Windows keeps names as UTF-16, whatever they hold
  char* const unix = unixNameOf(path.c_str());
  if (unix == nullptr) return false;
  std::string stored = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  stored.erase(0, stored.rfind('/') + 1);
  return stored == Utf8Of(name);
}

bool ListsFileLinksAsFiles() {
  static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

}  // namespace Utils
