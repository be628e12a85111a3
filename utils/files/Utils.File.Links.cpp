#include "utils/files/Utils.File.Links.h"

#include "utils/files/Utils.File.Facts.h"
#include "utils/files/Utils.File.Level.h"
#include "utils/text/Utils.Strings.h"

namespace Utils::Links {

using std::wstring;

FileHandle OpenItself(const wstring& path, DWORD access) {
  FileHandle link = OpenMetadata(path, access, FILE_FLAG_OPEN_REPARSE_POINT);
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (link && GetFileInformationByHandleEx(link.get(), FileAttributeTagInfo, &tag, sizeof tag) &&
      (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && IsReparseTagNameSurrogate(tag.ReparseTag))
    return link;
  return FileHandle();
}

void RequireRemovable(const Error::Site& site, const wstring& path) {
  if (!OpenItself(path, FILE_READ_ATTRIBUTES))
    Error::Raise(site,
                 L"Ссылку нельзя удалить, не затронув то, на что она указывает (система "
                 L"открывает вместо неё её цель):\n\"" + path + L"\"",
                 false);
}

bool LeadsTo(const wstring& link, const wstring& target) {
  WIN32_FIND_DATAW record;
  const FindHandle search(FindFirstFileW(String::Path::WithoutTrailingBackslash(link).c_str(), &record));
  if (!search || !IsLink(record)) return false;
  const Held wanted = Held::Of(target);
  return !wanted.Known() || wanted.Is(Held::Of(link));
}

}  // namespace Utils::Links
