// Range checks and the wide string buffer: the numbers they hand back and
// the full reports they refuse a request with.
#include <gtest/gtest.h>

#include <string>

#include "ReportTesting.h"
#include "utils/Utils.Checking.h"
#include "utils/Utils.StringBuffer.h"

namespace {

using ReportTesting::MaskLines;
using ReportTesting::Thrown;
using ReportTesting::WcoutCapture;
using Utils::Checking::CountDirect;
using Utils::Checking::CountReverse;
using u64 = unsigned long long;
using u32 = unsigned long;

constexpr u64 kAll = Utils::Checking::All<u64>;
constexpr u32 kAll32 = Utils::Checking::All<u32>;

const std::wstring kCaller = L"void __cdecl Caller(int)\r\nFile: \"caller\"\r\nLine: 1\r\n";

const std::wstring kDirect64 =
    L"unsigned __int64 __cdecl Utils::Checking::CountDirect<unsigned __int64,unsigned "
    L"__int64,unsigned __int64>(const class std::basic_string<wchar_t,struct "
    L"std::char_traits<wchar_t>,class std::allocator<wchar_t> > &,const unsigned "
    L"__int64,const unsigned __int64,const unsigned __int64)";
const std::wstring kDirect32 =
    L"unsigned long __cdecl Utils::Checking::CountDirect<unsigned __int64,unsigned "
    L"long,unsigned long>(const class std::basic_string<wchar_t,struct "
    L"std::char_traits<wchar_t>,class std::allocator<wchar_t> > &,const unsigned "
    L"__int64,const unsigned long,const unsigned long)";
const std::wstring kReverse =
    L"unsigned __int64 __cdecl Utils::Checking::CountReverse<unsigned __int64,unsigned "
    L"__int64,unsigned __int64>(const class std::basic_string<wchar_t,struct "
    L"std::char_traits<wchar_t>,class std::allocator<wchar_t> > &,const unsigned "
    L"__int64,unsigned __int64 &,const unsigned __int64)";

// The check's own heading, with the caller's header behind it.
std::wstring Heading(const std::wstring& signature) {
  return ReportTesting::Header(L"Обнаружена ошибка функцией \"", signature,
                               L"utils/Utils.Checking.cpp") +
         L"\n\r\n\nВ методе" + MaskLines(kCaller);
}

std::wstring Figures(const std::wstring& total, const std::wstring& start,
                     const std::wstring& count) {
  return L"Количество всех элементов: " + total + L"\nСтартовый элемент: " + start +
         L"\nКоличество элементов: " + count + L"\n";
}

TEST(CountDirect, NumberOfElementsFromStart) {
  EXPECT_EQ(CountDirect(kCaller, u64(10), u64(0), kAll), 10u);
  EXPECT_EQ(CountDirect(kCaller, u64(10), u64(0), u64(3)), 3u);
  EXPECT_EQ(CountDirect(kCaller, u64(10), u64(0), u64(20)), 10u);
  EXPECT_EQ(CountDirect(kCaller, u64(10), u64(0), u64(10)), 10u);
  EXPECT_EQ(CountDirect(kCaller, u64(1), u64(0), kAll), 1u);
  // From a later start never past the end.
  EXPECT_EQ(CountDirect(kCaller, u64(10), u64(7), kAll), 3u);
  EXPECT_EQ(CountDirect(kCaller, u64(10), u64(7), u64(5)), 3u);
  EXPECT_EQ(CountDirect(kCaller, u64(10), u64(9), u64(1)), 1u);
  EXPECT_EQ(CountDirect(kCaller, u64(10), u32(0), kAll32), 10u);
  EXPECT_EQ(CountDirect(kCaller, u64(10), u32(4), u32(2)), 2u);
}

TEST(CountDirect, CountZeroReportIsThrownNotEchoed) {
  WcoutCapture out;
  const std::wstring report = Thrown([] { CountDirect(kCaller, u64(10), u64(0), u64(0)); });
  EXPECT_EQ(MaskLines(report),
            Heading(kDirect64) + L"\r\nОтсутствует количество элементов.");
  EXPECT_EQ(out.Text(), L"");
  // The count is looked at before the total.
  EXPECT_EQ(MaskLines(Thrown([] { CountDirect(kCaller, u64(0), u64(0), u64(0)); })),
            Heading(kDirect64) + L"\r\nОтсутствует количество элементов.");
}

TEST(CountDirect, ZeroTotalFiguresReportCarriesBothLines) {
  WcoutCapture out;
  const std::wstring report = Thrown([] { CountDirect(kCaller, u64(0), u64(0), kAll); });
  EXPECT_EQ(MaskLines(report),
            L"\n" + Heading(kDirect64) + L"Количество всех элементов равно нулю.\n" +
                L"Номер стартового элемента больше или равен количеству всех элементов.\n" +
                L"\n\n" + Figures(L"0", L"0", L"18446744073709551615"));
  EXPECT_EQ(out.Text(), report);
}

TEST(CountDirect, StartPastTheEndFiguresReport) {
  WcoutCapture out;
  const std::wstring report = Thrown([] { CountDirect(kCaller, u64(5), u64(5), u64(2)); });
  EXPECT_EQ(MaskLines(report),
            L"\n" + Heading(kDirect64) +
                L"Номер стартового элемента больше или равен количеству всех элементов.\n" +
                L"\n\n" + Figures(L"5", L"5", L"2"));
  EXPECT_EQ(out.Text(), report);
}

TEST(CountDirect, NarrowInstanceWritesItsOwnAll) {
  WcoutCapture out;
  const std::wstring report = Thrown([] { CountDirect(kCaller, u64(0), u32(0), kAll32); });
  EXPECT_EQ(MaskLines(report),
            L"\n" + Heading(kDirect32) + L"Количество всех элементов равно нулю.\n" +
                L"Номер стартового элемента больше или равен количеству всех элементов.\n" +
                L"\n\n" + Figures(L"0", L"0", L"4294967295"));
  EXPECT_EQ(out.Text(), report);
}

TEST(CountReverse, WindowUpToStart) {
  u64 start = kAll;
  EXPECT_EQ(CountReverse(kCaller, u64(5), start, kAll), 5u);
  EXPECT_EQ(start, 4u);
  start = 2;
  EXPECT_EQ(CountReverse(kCaller, u64(5), start, kAll), 3u);
  EXPECT_EQ(start, 2u);
  start = 7;
  EXPECT_EQ(CountReverse(kCaller, u64(5), start, kAll), 5u);
  EXPECT_EQ(start, 4u);
  start = 5;
  EXPECT_EQ(CountReverse(kCaller, u64(5), start, kAll), 5u);
  EXPECT_EQ(start, 4u);
  start = 0;
  EXPECT_EQ(CountReverse(kCaller, u64(1), start, kAll), 1u);
  EXPECT_EQ(start, 0u);
  // A smaller count narrows the window, never widens it.
  start = 4;
  EXPECT_EQ(CountReverse(kCaller, u64(5), start, u64(2)), 2u);
  start = 1;
  EXPECT_EQ(CountReverse(kCaller, u64(5), start, u64(9)), 2u);
  start = kAll;
  EXPECT_EQ(CountReverse(kCaller, u64(5), start, u64(2)), 2u);
  EXPECT_EQ(start, 4u);
}

TEST(CountReverse, ZeroTotalFiguresReportLeavesStartAlone) {
  WcoutCapture out;
  u64 start = kAll;
  const std::wstring report = Thrown([&] { CountReverse(kCaller, u64(0), start, kAll); });
  EXPECT_EQ(MaskLines(report),
            L"\n" + Heading(kReverse) + L"\n\nКоличество всех элементов равно нулю.\n\n" +
                Figures(L"0", L"18446744073709551615", L"18446744073709551615"));
  EXPECT_EQ(out.Text(), report);
  EXPECT_EQ(start, kAll);
}

const std::wstring kPointerSignature =
    L"wchar_t *__cdecl Utils::_STRINGBUF<wchar_t>::Pointer<wchar_t>(const unsigned __int64)";
const std::wstring kCopySignature =
    L"class std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    L"std::allocator<wchar_t> > __cdecl Utils::_STRINGBUF<wchar_t>::Copy(const "
    L"unsigned __int64,unsigned __int64)";

TEST(StringBuffer, PointerToTheFirstCharacter) {
  Utils::_STRINGBUF<wchar_t> empty;
  EXPECT_EQ(MaskLines(Thrown([&] { empty.Pointer<wchar_t>(0); })),
            ReportTesting::Header(L"Ошибка в методе \"", kPointerSignature,
                                  L"utils/Utils.StringBuffer.cpp") +
                L"\nБуфер пуст.\n");

  Utils::_STRINGBUF<wchar_t> one(1);
  wchar_t* first = one.Pointer<wchar_t>(0);
  ASSERT_NE(first, nullptr);
  *first = L'Ж';
  EXPECT_EQ(one.Copy(0, kAll), L"Ж");
  EXPECT_FALSE(Thrown([&] { one.Pointer<wchar_t>(1); }).empty());
}

// A buffer of `size` characters that a writer filled with `text`.
Utils::_STRINGBUF<wchar_t> Written(std::size_t size, const std::wstring& text) {
  Utils::_STRINGBUF<wchar_t> buffer(size);
  text.copy(buffer.Pointer<wchar_t>(0), text.size());
  return buffer;
}

TEST(StringBuffer, CopyKeepsNuls) {
  Utils::_STRINGBUF<wchar_t> buffer = Written(6, L"ab");
  EXPECT_EQ(buffer.Copy(0, kAll), std::wstring(L"ab\0\0\0\0", 6));
  EXPECT_EQ(buffer.Copy(0, 3), std::wstring(L"ab\0", 3));

  WcoutCapture out;
  Utils::_STRINGBUF<wchar_t> empty;
  const std::wstring report = Thrown([&] { empty.Copy(0, kAll); });
  EXPECT_NE(MaskLines(report).find(L"В методе" + kCopySignature +
                                   L"\r\nFile: \"utils/Utils.StringBuffer.cpp\"\r\nLine: #\r\n"
                                   L"Количество всех элементов равно нулю.\n"),
            std::wstring::npos);
}

TEST(StringBuffer, TrimmedCopyShortensTheBuffer) {
  Utils::_STRINGBUF<wchar_t> buffer = Written(260, L"C:\\x\\lib.dll");
  EXPECT_EQ(buffer.Trimmed(), L"C:\\x\\lib.dll");
  EXPECT_EQ(buffer.Size(), 12u);

  Utils::_STRINGBUF<wchar_t> blanks = Written(260, L"  \t\r\n");
  EXPECT_EQ(blanks.Trimmed(), L"");
  EXPECT_EQ(blanks.Size(), 260u);

  // Blanks inside the text stay, trailing ones of every kind go.
  Utils::_STRINGBUF<wchar_t> mixed = Written(20, L" a b \r\n\t ");
  EXPECT_EQ(mixed.Trimmed(), L" a b");
  EXPECT_EQ(mixed.Size(), 4u);

  WcoutCapture out;
  Utils::_STRINGBUF<wchar_t> empty;
  EXPECT_NE(Thrown([&] { empty.Trimmed(); }).find(L"Количество всех элементов равно нулю."),
            std::wstring::npos);
}

}  // namespace
