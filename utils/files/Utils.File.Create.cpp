// New directory entries: a directory with its missing parents, and a
// directory link.
#include "utils/files/Utils.File.h"

#include "utils/files/Utils.File.Calls.h"
#include "utils/files/Utils.File.Facts.h"
#include "utils/files/Utils.File.Level.h"
#include "utils/files/Utils.File.Links.h"
#include "utils/text/Utils.Strings.h"

namespace Utils::MainFile {
namespace {

using std::wstring;

constexpr char kCreatePathSignature[] =
    "bool __cdecl Utils::MainFile::CreatePath(const class std::basic_string<wchar_t,struct "
    "std::char_traits<wchar_t>,class std::allocator<wchar_t> > &)";
constexpr char kSymbolicLinkSignature[] =
    "bool __cdecl Utils::MainFile::SymbolicLink(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &,const class std::basic_string<wchar_t,struct "
    "std::char_traits<wchar_t>,class std::allocator<wchar_t> > &,const bool)";

bool CountsAsCreated(const int code) {
  return code == ERROR_SUCCESS || code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
}

void CreateLinkParent(const wstring& link) {
  const wstring parent = String::Path::TrimNameFileCW(link, 1, L'\\');
  // Without a backslash there is no parent to make, and making the link's
  // own name a directory would only block the link.
  if (parent == link) return;
  if (!CreatePath(parent))
    Error::Raise(SF_SITE(kSymbolicLinkSignature, Error::kMethod),
                 L"Не создан для символьной ссылки каталог:\n\"" + parent + L"\"", false);
}

}  // namespace

// SHCreateDirectoryExW answers "already exists" for a file of that name as
// well, and some shells answer success for a path too long to create; only
// a directory there is what the caller asked for.
Error::Outcome CreatePath(const wstring& path) {
  const Error::Site site = SF_SITE(kCreatePathSignature, Error::kMethod);
  SetLastError(0);
  const int code = Calls().createDirectory(nullptr, path.c_str(), nullptr);
  if (CountsAsCreated(code) && IsExistingDirectory(path)) return Error::Outcome();
  SetLastError(static_cast<DWORD>(code));
  const wchar_t* what = CountsAsCreated(code) ? L"На месте каталога не каталог, или каталога нет:\n\""
                                              : L"Каталог не создан:\n\"";
  return Error::Failure(site, what + path + L"\"", true);
}

Error::Outcome SymbolicLink(const wstring& target, const wstring& link, const bool) {
  const Error::Site site = SF_SITE(kSymbolicLinkSignature, Error::kMethod);
  if (Level::StatusOf(target) == Level::Status::kNothing)
    Error::Raise(site, L"Отсутсвует исходный путь:\n\"" + target + L"\"", false);
  String::Path::Has(link, false);
  CreateLinkParent(link);
  SetLastError(0);
  if (Calls().createSymbolicLink(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) == FALSE)
    return Error::Failure(site, L"Система не создала ссылку:\n\"" + link + L"\"", true);
  if (Links::LeadsTo(link, target)) return Error::Outcome();
  return Error::Failure(site,
                        L"Система ответила, что ссылка создана, но ссылки, ведущей к цели, нет:\n\"" + link +
                            L"\"\n\"" + target + L"\"",
                        false);
}

}  // namespace Utils::MainFile
