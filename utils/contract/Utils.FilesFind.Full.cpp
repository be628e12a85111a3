// Kept for the contract, reached by no export: the recursive listing of
// files as search records. Clearing a tree of its files walks it with a
// plan of its own; both walks are the one walk of Utils.File.Tree.
#include "utils/files/Utils.File.Tree.h"
#include "utils/files/Utils.FilesFind.h"

namespace Utils {
namespace {

constexpr char kGetListFullSignature[] =
    "unsigned __int64 __cdecl Utils::FilesFind::GetListFull(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &,class std::vector<struct _WIN32_FIND_DATAW,class "
    "std::allocator<struct _WIN32_FIND_DATAW> > &,const bool,unsigned __int64)";

}  // namespace

unsigned long long FilesFind::GetListFull(const std::wstring& pattern, FindDataList& list, const bool fullPath,
                                          unsigned long long cut, unsigned long long* unlisted) {
  if (Status(pattern) == kNothing) return list.size();
  if (cut == 0) {
    const std::size_t at = pattern.rfind(Separator());
    cut = at == std::wstring::npos ? 0 : at + 1;
  }
  const Tree::Survey survey =
      Tree::Take(SF_SITE(kGetListFullSignature, Error::kMethod), pattern, Tree::Plan::Listing(), *this);
  for (std::size_t i = 0; i < survey.entries.size(); ++i) {
    const Tree::Entry& entry = survey.entries[i];
    if (entry.kind != Tree::Kind::kFile && entry.kind != Tree::Kind::kLink) continue;
    if (entry.kind == Tree::Kind::kLink && (entry.attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    WIN32_FIND_DATAW record = survey.records[i];
    const std::wstring full = survey.PathOf(entry);
    const std::wstring name = fullPath || cut == 0 ? full : full.substr(std::min<std::size_t>(cut, full.size()));
    std::copy(name.c_str(), name.c_str() + name.size() + 1, record.cFileName);
    list.push_back(record);
  }
  if (unlisted != nullptr) *unlisted = survey.unlisted;
  return list.size();
}

}  // namespace Utils
