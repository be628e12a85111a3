// PathDeleteEmpty: a directory removed only when it is empty.
#include "utils/files/Utils.File.h"

#include "utils/files/Utils.File.Level.h"
#include "utils/files/Utils.File.Links.h"
#include "utils/files/Utils.File.Remove.h"
#include "utils/runtime/Utils.Handle.h"
#include "utils/text/Utils.Strings.h"

namespace Utils::MainFile {
namespace {

constexpr char kRemoveLinkSignature[] =
    "bool __cdecl Utils::MainFile::RemoveLink(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &)";

}  // namespace

Error::Outcome DeleteEmpty(const std::wstring& path) {
  WIN32_FIND_DATAW record;
  const std::wstring searched = String::Path::WithoutTrailingBackslash(path);
  const FindHandle search(FindFirstFileW(searched.c_str(), &record));
  if (!search || !IsDirectory(record)) return Error::Outcome();
  if (IsLink(record)) {
    const Error::Site site = SF_SITE(kRemoveLinkSignature, Error::kMethod);
    Links::RequireRemovable(site, searched);
    return Removal::RemoveName(site, searched, Removal::Name::kLink);
  }
  if (RemoveDirectoryW(path.c_str())) return Error::Outcome();
  return Error::Failure(SF_SITE("RemoveDirectoryW", Error::kFunction), L"Каталог не удалён:\n\"" + path + L"\"", true);
}

}  // namespace Utils::MainFile
