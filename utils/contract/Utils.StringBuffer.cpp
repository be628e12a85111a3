#include "utils/contract/Utils.StringBuffer.h"

#include "utils/text/Utils.Checking.h"

namespace Utils {
namespace {

constexpr char kPointerSignature[] =
    "wchar_t *__cdecl Utils::_STRINGBUF<wchar_t>::Pointer<wchar_t>(const "
    "unsigned __int64)";
constexpr char kCopySignature[] =
    "class std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > __cdecl "
    "Utils::_STRINGBUF<wchar_t>::Copy(const unsigned __int64,unsigned __int64)";

}  // namespace

template <>
wchar_t* _STRINGBUF<wchar_t>::Pointer<wchar_t>(const unsigned long long index) {
  if (data_.empty())
    Error::Raise(SF_SITE(kPointerSignature, Error::kMethod), L"Буфер пуст.", false);
  if (index >= data_.size())
    Error::Raise(SF_SITE(kPointerSignature, Error::kMethod),
                 L"Индекс за пределами буфера: " + std::to_wstring(index) + L".",
                 false);
  return data_.data() + index;
}

std::wstring _STRINGBUF<wchar_t>::Copy(const unsigned long long start,
                                       unsigned long long count) {
  const unsigned long long n = Checking::CountDirect(SF_SITE(kCopySignature, Error::kMethod),
                                                     static_cast<unsigned long long>(data_.size()), start, count);
  return std::wstring(data_.data() + start, static_cast<std::size_t>(n));
}

}  // namespace Utils
