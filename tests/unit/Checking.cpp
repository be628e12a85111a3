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
const std::wstring kAllText = L"18446744073709551615";
const std::wstring kCaller = L"void __cdecl Caller(int)\r\nFile: \"caller\"\r\nLine: 1\r\n";
const std::wstring kZeroTotal = L"Количество всех элементов равно нулю.\n";
const std::wstring kPastEnd =
    L"Номер стартового элемента больше или равен количеству всех элементов.\n";

// The check's own heading, with the caller's header behind it; the two
// checks differ in name and in how they take the start.
std::wstring Heading(const std::wstring& check, const std::wstring& start) {
  const std::wstring signature =
      L"unsigned __int64 __cdecl Utils::Checking::" + check +
      L"<unsigned __int64,unsigned __int64,unsigned __int64>(const class std::basic_string<"
      L"wchar_t,struct std::char_traits<wchar_t>,class std::allocator<wchar_t> > &,const "
      L"unsigned __int64," + start + L",const unsigned __int64)";
  return ReportTesting::Header(L"Обнаружена ошибка функцией \"", signature,
                               L"utils/Utils.Checking.cpp") +
         L"\n\r\n\nВ методе" + MaskLines(kCaller);
}
const std::wstring kDirect = Heading(L"CountDirect", L"const unsigned __int64");
const std::wstring kReverse = Heading(L"CountReverse", L"unsigned __int64 &");

std::wstring Figures(const std::wstring& total, const std::wstring& start,
                     const std::wstring& count) {
  return L"Количество всех элементов: " + total + L"\nСтартовый элемент: " + start +
         L"\nКоличество элементов: " + count + L"\n";
}

// The masked report `action` throws, which must also have been echoed whole.
template <class Action> std::wstring Echoed(WcoutCapture& out, Action&& action) {
  out.Clear();
  const std::wstring report = Thrown(action);
  EXPECT_EQ(out.Text(), report);
  return MaskLines(report);
}

TEST(CountDirect, NumberOfElementsFromStartAndRefusals) {
  // {total, start, count, expected}: All or a count past the end means up to the end.
  const u64 cases[][4] = {{10, 0, kAll, 10}, {10, 0, 3, 3},    {10, 0, 20, 10},
                          {1, 0, kAll, 1},   {10, 7, kAll, 3}, {10, 6, 5, 4}, {10, 9, 1, 1}};
  for (const auto& c : cases)
    EXPECT_EQ(CountDirect(kCaller, c[0], c[1], c[2]), c[3]) << c[0] << ' ' << c[1] << ' ' << c[2];
  EXPECT_EQ(CountDirect(kCaller, u64(10), u32(4), u32(2)), 2u);

  WcoutCapture out;
  // Count 0 is looked at before the total, and that report is not echoed.
  for (const u64 total : {10u, 0u})
    EXPECT_EQ(MaskLines(Thrown([&] { CountDirect(kCaller, total, u64(0), u64(0)); })),
              kDirect + L"\r\nОтсутствует количество элементов.");
  EXPECT_EQ(out.Text(), L"");
  EXPECT_EQ(Echoed(out, [] { CountDirect(kCaller, u64(0), u64(0), kAll); }),
            L"\n" + kDirect + kZeroTotal + kPastEnd + L"\n\n" + Figures(L"0", L"0", kAllText));
  EXPECT_EQ(Echoed(out, [] { CountDirect(kCaller, u64(5), u64(5), u64(2)); }),
            L"\n" + kDirect + kPastEnd + L"\n\n" + Figures(L"5", L"5", L"2"));
  // The narrow instance writes its own All.
  EXPECT_NE(Echoed(out, [] { CountDirect(kCaller, u64(0), u32(0), kAll32); })
                .find(Figures(L"0", L"0", L"4294967295")),
            std::wstring::npos);
}

TEST(CountReverse, WindowUpToStartAndRefusal) {
  // {total, start, count, window, start after}: a start of All or past the
  // end moves to the last element; a count narrows the window, never widens it.
  const u64 cases[][5] = {{5, kAll, kAll, 5, 4}, {5, 2, kAll, 3, 2}, {5, 7, kAll, 5, 4},
                          {5, 5, kAll, 5, 4},    {1, 0, kAll, 1, 0}, {5, 4, 2, 2, 4},
                          {5, 1, 9, 2, 1},       {5, kAll, 2, 2, 4}};
  for (const auto& c : cases) {
    u64 start = c[1];
    EXPECT_EQ(CountReverse(kCaller, c[0], start, c[2]), c[3]) << c[0] << ' ' << c[1];
    EXPECT_EQ(start, c[4]) << c[0] << ' ' << c[1];
  }
  WcoutCapture out;
  u64 start = kAll;
  EXPECT_EQ(Echoed(out, [&] { CountReverse(kCaller, u64(0), start, kAll); }),
            L"\n" + kReverse + L"\n\n" + kZeroTotal + L"\n" + Figures(L"0", kAllText, kAllText));
  EXPECT_EQ(start, kAll) << "a refusal must leave start alone";
}

// A buffer of `size` characters that a writer filled with `text`.
Utils::_STRINGBUF<wchar_t> Written(std::size_t size, const std::wstring& text) {
  Utils::_STRINGBUF<wchar_t> buffer(size);
  text.copy(buffer.Pointer<wchar_t>(0), text.size());
  return buffer;
}

TEST(StringBuffer, PointerCopyAndTrimmedCopy) {
  // The copy keeps what the writer left unwritten.
  Utils::_STRINGBUF<wchar_t> buffer = Written(6, L"Жb");
  EXPECT_EQ(buffer.Copy(0, kAll), std::wstring(L"Жb\0\0\0\0", 6));
  EXPECT_EQ(buffer.Copy(1, 2), std::wstring(L"b\0", 2));
  EXPECT_NE(Thrown([&] { buffer.Pointer<wchar_t>(6); }).find(L"Индекс за пределами буфера: 6."),
            std::wstring::npos);
  // Inner blanks stay, trailing ones of every kind go; a buffer of blanks
  // only keeps its size.
  const struct { const wchar_t *text, *trimmed; std::size_t size; } cases[] = {
      {L"C:\\x\\lib.dll", L"C:\\x\\lib.dll", 12}, {L"  \t\r\n", L"", 260},
      {L" a b \r\n\t ", L" a b", 4}};
  for (const auto& c : cases) {
    Utils::_STRINGBUF<wchar_t> written = Written(260, c.text);
    EXPECT_EQ(written.Trimmed(), c.trimmed);
    EXPECT_EQ(written.Size(), c.size) << c.text;
  }

  WcoutCapture out;
  Utils::_STRINGBUF<wchar_t> empty;
  const std::wstring noBuffer = Thrown([&] { empty.Pointer<wchar_t>(0); });
  EXPECT_NE(noBuffer.find(L"_STRINGBUF<wchar_t>::Pointer<wchar_t>("), std::wstring::npos);
  EXPECT_NE(noBuffer.find(L"\nБуфер пуст.\n"), std::wstring::npos) << noBuffer;
  // The range check names Copy as its caller, also for the trimmed copy.
  for (const std::wstring& report :
       {Thrown([&] { empty.Copy(0, kAll); }), Thrown([&] { empty.Trimmed(); })}) {
    EXPECT_NE(report.find(L"Utils::_STRINGBUF<wchar_t>::Copy(const unsigned __int64"),
              std::wstring::npos);
    EXPECT_NE(report.find(kZeroTotal), std::wstring::npos) << report;
  }
}

}  // namespace
