#include "utils/files/Utils.File.Links.h"

#include "utils/files/Utils.File.Facts.h"
#include "utils/files/Utils.FilesFind.h"

namespace Utils::Links {
namespace {

using std::wstring;

FileHandle OpenLinkItself(const wstring& path, DWORD access) {
  FileHandle link = OpenMetadata(path, access, FILE_FLAG_OPEN_REPARSE_POINT);
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (link && GetFileInformationByHandleEx(link.get(), FileAttributeTagInfo, &tag, sizeof tag) &&
      (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && IsReparseTagNameSurrogate(tag.ReparseTag))
    return link;
  return FileHandle();
}

}  // namespace

void RequireRemovable(const Error::Site& site, const wstring& path) {
  if (!OpenLinkItself(path, FILE_READ_ATTRIBUTES))
    Error::Raise(site,
                 L"Ссылку нельзя удалить, не затронув то, на что она указывает (система "
                 L"открывает вместо неё её цель):\n\"" + path + L"\"",
                 false);
}

bool Remove(const Error::Site& site, const wstring& path) {
  // Held while the link goes, and compared after: the removal must leave
  // the very file it led to where it was.
  const wstring targetPath = FinalPathOf(path);
  const Held target = targetPath.empty() ? Held() : Held::Of(targetPath);
  {
    const FileHandle link = OpenLinkItself(path, DELETE | FILE_READ_ATTRIBUTES);
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (!link || !SetFileInformationByHandle(link.get(), FileDispositionInfo, &disposition, sizeof disposition)) {
      Error::Note(Error::Failure(site, L"Ссылка не удалена:\n\"" + path + L"\"", true));
      return false;
    }
  }
  if (IsThere(path)) {
    Error::Note(Error::Failure(site, L"Ссылка осталась на месте:\n\"" + path + L"\"", false));
    return false;
  }
  if (target.Known() && !target.Is(Held::Of(targetPath))) {
    Error::Note(Error::Failure(site, L"После удаления ссылки её цели нет на месте:\n\"" + targetPath + L"\"", false));
    return false;
  }
  return true;
}

bool LeadsTo(const wstring& link, const wstring& target) {
  WIN32_FIND_DATAW record;
  const FindHandle search(FindFirstFileW(SearchArgument(link).c_str(), &record));
  if (!search || !IsLink(record)) return false;
  const Held wanted = Held::Of(target);
  return !wanted.Known() || wanted.Is(Held::Of(link));
}

}  // namespace Utils::Links
