#include "utils/files/Utils.File.Remove.h"

#include "utils/files/Utils.File.Facts.h"
#include "utils/files/Utils.File.Links.h"
#include "utils/files/Utils.File.Shell.h"

namespace Utils::Removal {
namespace {

using std::wstring;

constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_TEMPORARY;

DWORD Settable(const DWORD attributes) {
  const DWORD settable = attributes & kSettableAttributes;
  return settable == 0 ? FILE_ATTRIBUTE_NORMAL : settable;
}

bool SetAttributes(const FileHandle& file, DWORD attributes) {
  FILE_BASIC_INFO basic{};  // times of 0 are left as they are
  basic.FileAttributes = Settable(attributes);
  return SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof basic) != FALSE;
}

// The attributes belong to the file, not to the name: lifted to delete this
// name, they are put back through the same handle before it closes, while
// the file lives on under its other names.
bool RemoveName(const Error::Site& site, const wstring& path) {
  bool removed = false;
  {
    const FileHandle file = OpenMetadata(path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES);
    FILE_BASIC_INFO before{};
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (file && GetFileInformationByHandleEx(file.get(), FileBasicInfo, &before, sizeof before)) {
      removed = SetAttributes(file, before.FileAttributes & ~FILE_ATTRIBUTE_READONLY) &&
                SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof disposition);
      if (!removed) Error::Note(Error::Failure(site, L"Файл не удалён:\n\"" + path + L"\"", true));
      if (!SetAttributes(file, before.FileAttributes))
        Error::Note(Error::Failure(site, L"Атрибуты файла не восстановлены:\n\"" + path + L"\"", true));
    } else {
      Error::Note(Error::Failure(site, L"Файл не удалён:\n\"" + path + L"\"", true));
    }
  }
  if (removed && IsThere(path)) {
    Error::Note(Error::Failure(site, L"Файл остался на месте:\n\"" + path + L"\"", false));
    return false;
  }
  return removed;
}

}  // namespace

void RequireRemovableLinks(const Error::Site& site, const Tree::Survey& survey) {
  for (const Tree::Entry& entry : survey.entries)
    if (entry.kind == Tree::Kind::kLink) Links::RequireRemovable(site, survey.PathOf(entry));
}

bool RemoveLinks(const Error::Site& site, const Tree::Survey& survey) {
  bool removed = true;
  for (const Tree::Entry& entry : survey.entries)
    if (entry.kind == Tree::Kind::kLink) removed = Links::Remove(site, survey.PathOf(entry)) && removed;
  return removed;
}

bool RemoveOtherNamed(const Error::Site& site, const Tree::Survey& survey) {
  bool removed = true;
  for (const Tree::Entry& entry : survey.entries)
    if (entry.kind == Tree::Kind::kFile && entry.otherNames) removed = RemoveName(site, survey.PathOf(entry)) && removed;
  return removed;
}

bool RemoveFile(const Error::Site& site, const wstring& path, const Tree::Entry& entry) {
  if (entry.otherNames) return RemoveName(site, path);
  // Not every shell deletes a read-only file.
  const bool lift = (entry.attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
                    SetFileAttributesW(path.c_str(), Settable(entry.attributes & ~FILE_ATTRIBUTE_READONLY));
  const bool deleted = Shell::Delete(site, path);
  if (!deleted && lift) SetFileAttributesW(path.c_str(), Settable(entry.attributes));
  return deleted;
}

}  // namespace Utils::Removal
