#include "utils/text/Utils.Checking.h"

#include <cstdint>
#include <sstream>


namespace Utils::Checking {
namespace {

using u64 = unsigned long long;
using u32 = unsigned long;

template <class Total, class Start, class Count> struct Signature;
template <> struct Signature<u64, u64, u64> {
  static constexpr const char* direct =
      "unsigned __int64 __cdecl Utils::Checking::CountDirect<unsigned "
      "__int64,unsigned __int64,unsigned __int64>(const class "
      "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
      "std::allocator<wchar_t> > &,const unsigned __int64,const unsigned "
      "__int64,const unsigned __int64)";
  static constexpr const char* reverse =
      "unsigned __int64 __cdecl Utils::Checking::CountReverse<unsigned "
      "__int64,unsigned __int64,unsigned __int64>(const class "
      "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
      "std::allocator<wchar_t> > &,const unsigned __int64,unsigned __int64 "
      "&,const unsigned __int64)";
};
template <> struct Signature<u64, u32, u32> {
  static constexpr const char* direct =
      "unsigned long __cdecl Utils::Checking::CountDirect<unsigned "
      "__int64,unsigned long,unsigned long>(const class "
      "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
      "std::allocator<wchar_t> > &,const unsigned __int64,const unsigned "
      "long,const unsigned long)";
};

constexpr wchar_t kNoCount[] = L"\r\nОтсутствует количество элементов.";
constexpr wchar_t kZeroTotal[] = L"Количество всех элементов равно нулю.";
constexpr wchar_t kStartPastEnd[] =
    L"Номер стартового элемента больше или равен количеству всех элементов.";

template <class Total, class Start, class Count>
void AppendFigures(std::wostringstream& out, Total total, Start start, Count count) {
  out << L"Количество всех элементов: " << static_cast<u64>(total) << L"\n"
      << L"Стартовый элемент: " << static_cast<u64>(start) << L"\n"
      << L"Количество элементов: " << static_cast<u64>(count) << L"\n";
}

}  // namespace

template <class Total, class Start, class Count>
Count CountDirect(const Error::Site& caller, const Total total, const Start start, const Count count) {
  const Error::Site site = SF_SITE((Signature<Total, Start, Count>::direct), Error::kFunction | Error::kDetected);
  if (count == 0) throw Error::Failure::Range(site, caller, kNoCount, false);
  if (total == 0 || static_cast<Total>(start) >= total) {
    std::wostringstream figures;
    if (total == 0) figures << kZeroTotal << L"\n";
    figures << kStartPastEnd << L"\n" << L"\n\n";
    AppendFigures(figures, total, start, count);
    Error::RaiseEchoed(Error::Failure::Range(site, caller, figures.str(), true), false);
  }
  const Total available = total - static_cast<Total>(start);
  if (count == All<Count> || static_cast<Total>(count) > available)
    return static_cast<Count>(available);
  return count;
}

template <class Total, class Start, class Count>
Count CountReverse(const Error::Site& caller, const Total total, Start& start, const Count count) {
  const Error::Site site = SF_SITE((Signature<Total, Start, Count>::reverse), Error::kFunction | Error::kDetected);
  if (total == 0) {
    std::wostringstream figures;
    figures << L"\n\n" << kZeroTotal << L"\n\n";
    AppendFigures(figures, total, start, count);
    Error::RaiseEchoed(Error::Failure::Range(site, caller, figures.str(), true), false);
  }
  const Start last = static_cast<Start>(total - 1);
  const Start top = (start != All<Start> && static_cast<Total>(start) < total) ? start : last;
  const Count length = static_cast<Count>(top) + 1;
  const Count window = (count == All<Count> || count > length) ? length : count;
  start = top;
  return window;
}

template u64 CountDirect<u64, u64, u64>(const Error::Site&, const u64, const u64, const u64);
template u32 CountDirect<u64, u32, u32>(const Error::Site&, const u64, const u32, const u32);
template u64 CountReverse<u64, u64, u64>(const Error::Site&, const u64, u64&, const u64);

}  // namespace Utils::Checking
