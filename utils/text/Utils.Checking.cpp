#include "utils/text/Utils.Checking.h"

#include <cstdint>
#include <sstream>

#include "utils/errors/Utils.Error.h"

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

// The check's own heading, which the caller's header follows directly.
std::wstring Heading(const Error::Site& site) {
  return Error::ReportW(Error::HeaderW(site), L"\r\n", false) + L"В методе";
}

template <class Total, class Start, class Count>
void AppendFigures(std::wostringstream& out, Total total, Start start, Count count) {
  out << L"Количество всех элементов: " << static_cast<u64>(total) << L"\n"
      << L"Стартовый элемент: " << static_cast<u64>(start) << L"\n"
      << L"Количество элементов: " << static_cast<u64>(count) << L"\n";
}

// The figures report has a layout of its own: it goes out composed.
[[noreturn]] void ThrowEchoed(const Error::Site& site, const std::wstring& report) {
  Error::Echo(report, false);
  throw Error::Failure::Composed(site, report);
}

}  // namespace

template <class Total, class Start, class Count>
Count CountDirect(const std::wstring& callerHeader, const Total total,
                  const Start start, const Count count) {
  const Error::Site site = SF_SITE((Signature<Total, Start, Count>::direct), Error::kFunction | Error::kDetected);
  if (count == 0) throw Error::Failure::Composed(site, Heading(site) + callerHeader + kNoCount);
  if (total == 0 || static_cast<Total>(start) >= total) {
    std::wostringstream report;
    report << L"\n" << Heading(site) << callerHeader;
    if (total == 0) report << kZeroTotal << L"\n";
    report << kStartPastEnd << L"\n" << L"\n\n";
    AppendFigures(report, total, start, count);
    ThrowEchoed(site, report.str());
  }
  const Total available = total - static_cast<Total>(start);
  if (count == All<Count> || static_cast<Total>(count) > available)
    return static_cast<Count>(available);
  return count;
}

template <class Total, class Start, class Count>
Count CountReverse(const std::wstring& callerHeader, const Total total,
                   Start& start, const Count count) {
  const Error::Site site = SF_SITE((Signature<Total, Start, Count>::reverse), Error::kFunction | Error::kDetected);
  if (total == 0) {
    std::wostringstream report;
    report << L"\n" << Heading(site) << callerHeader << L"\n\n" << kZeroTotal
           << L"\n\n";
    AppendFigures(report, total, start, count);
    ThrowEchoed(site, report.str());
  }
  const Start last = static_cast<Start>(total - 1);
  const Start top = (start != All<Start> && static_cast<Total>(start) < total) ? start : last;
  const Count length = static_cast<Count>(top) + 1;
  const Count window = (count == All<Count> || count > length) ? length : count;
  start = top;
  return window;
}

template u64 CountDirect<u64, u64, u64>(const std::wstring&, const u64, const u64,
                                        const u64);
template u32 CountDirect<u64, u32, u32>(const std::wstring&, const u64, const u32,
                                        const u32);
template u64 CountReverse<u64, u64, u64>(const std::wstring&, const u64, u64&,
                                         const u64);

}  // namespace Utils::Checking
