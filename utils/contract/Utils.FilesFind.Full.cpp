// Kept for the contract, reached by no export: the recursive listing of
// files as search records. Locally it is the one walk of Utils.File.Tree
// with the listing's plan; an FTP connection, which has no links, is walked
// level by level here.
#include <algorithm>

#include "utils/contract/Utils.FilesFind.h"
#include "utils/files/Utils.File.Tree.h"

namespace Utils {
namespace {

constexpr char kGetListFullSignature[] =
    "unsigned __int64 __cdecl Utils::FilesFind::GetListFull(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &,class std::vector<struct _WIN32_FIND_DATAW,class "
    "std::allocator<struct _WIN32_FIND_DATAW> > &,const bool,unsigned __int64)";

// A record named by its path, whole or below cut.
WIN32_FIND_DATAW Named(WIN32_FIND_DATAW record, const std::wstring& full, bool fullPath, unsigned long long cut) {
  const std::wstring name = fullPath || cut == 0 ? full : full.substr(std::min<std::size_t>(cut, full.size()));
  const std::size_t length = std::min(name.size(), kLongestPath);
  std::copy(name.c_str(), name.c_str() + length, record.cFileName);
  record.cFileName[length] = L'\0';
  return record;
}

}  // namespace

unsigned long long FilesFind::GetListFull(const std::wstring& pattern, FindDataList& list, const bool fullPath,
                                          unsigned long long cut, unsigned long long* unlisted) {
  if (Status(pattern) == kNothing) return list.size();
  if (cut == 0) {
    const std::size_t at = pattern.rfind(Separator());
    cut = at == std::wstring::npos ? 0 : at + 1;
  }
  if (method_ == kFtp) return FtpListFull(pattern, list, fullPath, cut);
  const Tree::Survey survey =
      Tree::Take(SF_SITE(kGetListFullSignature, Error::kMethod), pattern, Tree::Plan::Listing());
  for (std::size_t i = 0; i < survey.entries.size(); ++i) {
    const Tree::Entry& entry = survey.entries[i];
    if (entry.kind != Tree::Kind::kFile && entry.kind != Tree::Kind::kLink) continue;
    if (entry.kind == Tree::Kind::kLink && (entry.attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    list.push_back(Named(survey.records[i], survey.PathOf(entry), fullPath, cut));
  }
  if (unlisted != nullptr) *unlisted = survey.unlisted;
  return list.size();
}

unsigned long long FilesFind::FtpListFull(const std::wstring& pattern, FindDataList& list, bool fullPath,
                                          unsigned long long cut) {
  std::vector<std::wstring> levels{pattern};
  while (!levels.empty()) {
    const std::wstring level = levels.back();
    levels.pop_back();
    const std::wstring directory = level.substr(0, level.rfind(L'/') + 1);
    FindDataList found;
    GetList(level, kAll, found);
    for (const WIN32_FIND_DATAW& record : found) {
      const std::wstring full = directory + record.cFileName;
      if (IsDirectory(record))
        levels.push_back(full + L"/*");
      else
        list.push_back(Named(record, full, fullPath, cut));
    }
  }
  return list.size();
}

}  // namespace Utils
