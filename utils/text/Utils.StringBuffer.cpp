#include "utils/Utils.StringBuffer.h"

#include "utils/Utils.Checking.h"
#include "utils/Utils.Error.h"

namespace Utils {
namespace {

constexpr char kPointerSignature[] =
    "wchar_t *__cdecl Utils::_STRINGBUF<wchar_t>::Pointer<wchar_t>(const "
    "unsigned __int64)";
constexpr char kCopySignature[] =
    "class std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > __cdecl "
    "Utils::_STRINGBUF<wchar_t>::Copy(const unsigned __int64,unsigned __int64)";

bool IsBlank(wchar_t c) {
  return c == L'\0' || c == L' ' || c == L'\n' || c == L'\r' || c == L'\t';
}

}  // namespace

template <>
wchar_t* _STRINGBUF<wchar_t>::Pointer<wchar_t>(const unsigned long long index) {
  if (data_.empty())
    Error::Raise(SF_SITE(kPointerSignature, ""), L"Буфер пуст.", false);
  if (index >= data_.size())
    Error::Raise(SF_SITE(kPointerSignature, ""),
                 L"Индекс за пределами буфера: " + std::to_wstring(index) + L".",
                 false);
  return data_.data() + index;
}

std::wstring _STRINGBUF<wchar_t>::Copy(const unsigned long long start,
                                       unsigned long long count) {
  const unsigned long long n = Checking::CountDirect(
      Error::HeaderW(SF_SITE(kCopySignature, "")),
      static_cast<unsigned long long>(data_.size()), start, count);
  return std::wstring(data_.data() + start, static_cast<std::size_t>(n));
}

std::wstring _STRINGBUF<wchar_t>::Trimmed() {
  if (!data_.empty()) {
    std::size_t end = data_.size();
    while (end > 0 && IsBlank(data_[end - 1])) --end;
    if (end == 0) return std::wstring();
    data_.resize(end);
  }
  return Copy(0, Checking::All<unsigned long long>);
}

}  // namespace Utils
