#pragma once
// MQL5 as the kit's programs see it, for their translation to C++
// (tests/kit/translate.py): its types and built-ins in namespace mql5,
// following the MQL5 reference; what the translation itself needs (arrays,
// inputs, the #import binding) in mql5::rt. The terminal's side (journal,
// environment, DLL, files, time, events) is in mql5.cpp, which keeps
// <windows.h> away from the kit's own names.
#include <algorithm>
#include <climits>  // INT_MAX, as MQL5 has it
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace mql5 {

using uchar = std::uint8_t;
using ushort = std::uint16_t;
using uint = std::uint32_t;
using ulong = std::uint64_t;
using long_ = std::int64_t;  // MQL5's long has 64 bits; Windows' long has 32
using datetime = std::int64_t;
using color = std::uint32_t;
using string = std::wstring;

enum : int { ERR_INVALID_ARRAY = 4006, ERR_STRING_POS_OUTOFRANGE = 5041, ERR_CANNOT_OPEN_FILE = 5004,
             ERR_FILE_IS_DIRECTORY = 5018, ERR_FILE_NOT_EXIST = 5019, ERR_USER_ERROR_FIRST = 65536,
             INVALID_HANDLE = -1, WHOLE_ARRAY = -1, CP_ACP = 0, CP_UTF8 = 65001 };
enum : int { FILE_READ = 1, FILE_WRITE = 2, FILE_BIN = 4, FILE_CSV = 8, FILE_TXT = 16, FILE_ANSI = 32,
             FILE_UNICODE = 64, FILE_REWRITE = 512, FILE_COMMON = 4096 };
enum : int { TIME_DATE = 1, TIME_MINUTES = 2, TIME_SECONDS = 4 };
enum : int { INIT_SUCCEEDED = 0, INIT_FAILED = 1, INIT_PARAMETERS_INCORRECT = 32767 };
enum : int { REASON_REMOVE = 1, REASON_INITFAILED = 8 };
enum ENUM_PROGRAM_TYPE { PROGRAM_SCRIPT = 1, PROGRAM_EXPERT, PROGRAM_INDICATOR, PROGRAM_SERVICE };
enum : int { MQL_PROGRAM_TYPE, MQL_DLLS_ALLOWED, MQL_TESTER, MQL_OPTIMIZATION, MQL_PROGRAM_NAME };
enum : int { TERMINAL_DATA_PATH, TERMINAL_COMMONDATA_PATH };

namespace rt {

// A critical runtime error: the terminal stops the program and says why.
[[noreturn]] void Stop(const string& why);
void Journal(const string& line);
string Env(const string& name);  // what the test set; "" when nothing
string Narrowed(const string& text, unsigned codepage, std::string* bytes);
string Widened(const char* bytes, int count, unsigned codepage);
void* Resolve(const char* name);  // the export #import "Sedgefold.dll" names, at each call

// A dynamic array, or a fixed one (fixed >= 0) that ArrayResize cannot
// change. An index out of range is a critical error, as in the terminal.
template <class T> struct Array {
  std::vector<T> items;
  int fixed = -1;
  static Array Fixed(int size) { return Array{std::vector<T>(std::size_t(size)), size}; }
  static Array Of(std::initializer_list<T> values) { return Array{values, int(values.size())}; }
  T& operator[](long_ i) { return items[Checked(i)]; }
  const T& operator[](long_ i) const { return items[Checked(i)]; }
  std::size_t Checked(long_ i) const {
    if (i < 0 || i >= long_(items.size())) Stop(L"array out of range");
    return std::size_t(i);
  }
};

// The program as the translator found it.
struct Program {
  const wchar_t* name;
  ENUM_PROGRAM_TYPE type;
  bool inputsShown;  // a script's inputs reach it only with #property script_show_inputs
  void (*onStart)();
  int (*onInit)();
  void (*onTimer)();
  void (*onDeinit)(int);
};
extern const Program kProgram;

// An input: its default, or what the test set (SF_INPUT_<name>).
template <class T> T Input(const wchar_t* name, T value) {
  const string set = Env(string(L"SF_INPUT_") + name);
  if (set.empty()) return value;
  if (!kProgram.inputsShown) {
    Journal(string(L"Input ") + name + L" keeps its default: without #property script_show_inputs nobody sets it");
    return value;
  }
  if constexpr (std::is_same_v<T, string>) return set;
  else if constexpr (std::is_same_v<T, bool>) return set == L"true" || set == L"1";
  else if constexpr (std::is_floating_point_v<T>) return T(std::stod(set));
  else return T(std::stoll(set));
}

// The elements from start up to a zero, at most count (-1: the array's end).
template <class T> std::size_t Span(const Array<T>& a, int start, int count) {
  std::size_t end = std::size_t(start);
  while (end < a.items.size() && (count < 0 || end < std::size_t(start + count)) && a.items[end] != 0) end++;
  return end - std::size_t(start);
}
// Copies units into the array from start: count of them, or all and a
// closing zero (-1). A dynamic array grows to hold them, a fixed one cuts.
template <class T, class U> int CopyInto(Array<T>& a, const std::basic_string<U>& units, int start, int count) {
  std::size_t n = count < 0 ? units.size() + 1 : std::min(std::size_t(count), units.size());
  if (a.fixed < 0 && a.items.size() < std::size_t(start) + n) a.items.resize(std::size_t(start) + n);
  n = std::min(n, a.items.size() - std::min(a.items.size(), std::size_t(start)));
  for (std::size_t i = 0; i < n; i++) a.items[std::size_t(start) + i] = T(i < units.size() ? units[i] : 0);
  return int(n);
}

// What Print and StringFormat make of an argument.
struct Value {
  bool isText, isReal;
  string text;
  long_ integer;
  double real;
};
inline Value ValueOf(const string& s) { return {true, false, s, 0, 0}; }
inline Value ValueOf(bool b) { return {true, false, b ? L"true" : L"false", 0, 0}; }
template <class T, class = std::enable_if_t<std::is_arithmetic_v<T> || std::is_enum_v<T>>> Value ValueOf(T v) {
  if constexpr (std::is_floating_point_v<T>) return {false, true, L"", 0, double(v)};
  else return {false, false, L"", long_(v), 0};
}
string Format(const string& format, const std::vector<Value>& values);

// #import: MQL5's passing rules, and the C types they make. An array is
// lent as a copy with a guard behind its end, taken back after the call: a
// write past the end, which would damage the terminal's memory, stops the
// program instead.
inline std::vector<std::function<void()>>& Loans() {
  static std::vector<std::function<void()>> loans;
  return loans;
}
template <class T> T* Lend(Array<T>& a) {
  constexpr std::size_t kGuard = 4096;
  auto copy = std::make_shared<std::vector<T>>(a.items);
  copy->resize(a.items.size() + kGuard, T(0x5A));
  Loans().push_back([&a, copy] {
    if (std::count(copy->begin() + long_(a.items.size()), copy->end(), T(0x5A)) != long_(kGuard))
      Stop(L"the library wrote past the end of an array it was given");
    std::copy_n(copy->begin(), a.items.size(), a.items.begin());
  });
  return a.items.empty() ? nullptr : copy->data();
}
inline const wchar_t* Pass(const string& s) { return s.c_str(); }
inline wchar_t* Pass(Array<ushort>& a) { return reinterpret_cast<wchar_t*>(Lend(a)); }
inline char* Pass(Array<uchar>& a) { return reinterpret_cast<char*>(Lend(a)); }
template <class T, class = std::enable_if_t<std::is_arithmetic_v<T> || std::is_enum_v<T>>> T Pass(T v) { return v; }
// The C function type an #import declaration stands for. It matches the
// export's when each parameter is the C one, or a writable buffer where the
// library only reads; a long result stands for an address.
template <class R, class... P> struct Passing { using Type = R(decltype(Pass(std::declval<P>()))...); };
template <class M, class C> constexpr bool kFits = std::is_same_v<M, C> || std::is_same_v<const std::remove_pointer_t<M>*, C>;
template <class M, class C> struct Matches : std::false_type {};
template <class MR, class CR, class... M, class... C> struct Matches<MR(M...), CR(C...)> {
  static constexpr bool value = [] {
    if constexpr (sizeof...(M) != sizeof...(C)) return false;
    else return (std::is_same_v<MR, CR> || (std::is_same_v<MR, long_> && std::is_pointer_v<CR>)) && (kFits<M, C> && ...);
  }();
};
template <class R, class C, class... A> R Call(const char* name, A&&... args) {
  auto* export_ = reinterpret_cast<C*>(Resolve(name));
  const auto result = export_(Pass(args)...);
  for (const auto& settle : Loans()) settle();
  Loans().clear();
  if constexpr (std::is_pointer_v<std::decay_t<decltype(result)>>) return R(reinterpret_cast<std::intptr_t>(result));
  else return R(result);
}

}  // namespace rt

// --- Program, terminal, errors, time (mql5.cpp) ---
int GetLastError();
void ResetLastError();
void SetLastError(int code);
inline void SetUserError(ushort code) { SetLastError(ERR_USER_ERROR_FIRST + code); }
long_ MQLInfoInteger(int id);
string MQLInfoString(int id);
string TerminalInfoString(int id);
bool IsStopped();
uint GetTickCount();
void Sleep(int ms);
bool EventSetTimer(int seconds);
void EventKillTimer();
datetime TimeLocal();
string TimeToString(datetime time, int mode = TIME_DATE | TIME_MINUTES);
bool StringToLower(string& text);
bool StringToUpper(string& text);
int FileOpen(const string& name, int flags, ushort delimiter = L'\t', uint codepage = CP_ACP);
uint FileWriteString(int handle, const string& text, int length = -1);
void FileClose(int handle);
bool FileIsExist(const string& name, int common = 0);

// --- Test-only: expectations, the journal so far, the environment ---
void Expect(bool ok, const string& what);
int JournalLines();
int JournalFind(const string& needle, int from);
void TestSet(const string& name, const string& value);
long_ TestCalls();  // calls of the DLL's exports so far
bool TestWriteFile(const string& path, const string& text);  // UTF-8, any full path
string TestReadFile(const string& path);
bool TestExists(const string& path);

// --- Arrays ---
template <class T> int ArraySize(const rt::Array<T>& a) { return int(a.items.size()); }
template <class T> int ArrayResize(rt::Array<T>& a, int size, int reserve = 0) {
  if (size < 0 || (a.fixed >= 0 && size != a.fixed)) return SetLastError(ERR_INVALID_ARRAY), -1;
  a.items.reserve(std::size_t(size) + std::size_t(std::max(reserve, 0)));
  a.items.resize(std::size_t(size));
  return size;
}
template <class T> void ArrayFree(rt::Array<T>& a) {
  if (a.fixed < 0) a.items.clear();
}
template <class T, class V> void ArrayFill(rt::Array<T>& a, int start, int count, V value) {
  for (int i = start; i < start + count && i < ArraySize(a); i++) a.items[std::size_t(i)] = T(value);
}

// --- Strings ---
inline int StringLen(const string& s) { return int(s.size()); }
inline ushort StringGetCharacter(const string& s, int at) {
  if (at >= 0 && at < StringLen(s)) return s[std::size_t(at)];
  return SetLastError(ERR_STRING_POS_OUTOFRANGE), 0;
}
inline int StringFind(const string& s, const string& what, int start = 0) {
  const auto at = start < 0 || start > StringLen(s) ? string::npos : s.find(what, std::size_t(start));
  return at == string::npos ? -1 : int(at);
}
inline string StringSubstr(const string& s, int start, int length = -1) {
  if (start < 0 || start >= StringLen(s)) return string();
  return s.substr(std::size_t(start), length < 0 ? string::npos : std::size_t(length));
}
inline int StringReplace(string& s, const string& find, const string& with) {
  int count = 0;
  for (std::size_t at = find.empty() ? string::npos : s.find(find); at != string::npos;
       at = s.find(find, at + with.size()), count++)
    s.replace(at, find.size(), with);
  return count;
}
inline int StringSplit(const string& s, ushort separator, rt::Array<string>& parts) {
  std::vector<string> found;
  for (std::size_t from = 0, at = 0; !s.empty() && from <= s.size(); from = at + 1) {
    at = std::min(s.find(wchar_t(separator), from), s.size());
    found.push_back(s.substr(from, at - from));
  }
  if (ArrayResize(parts, int(found.size())) < 0) return -1;
  parts.items = found;
  return int(found.size());
}
inline int StringTrimLeft(string& s) {
  const std::size_t cut = std::min(s.find_first_not_of(L" \t\r\n"), s.size());
  s.erase(0, cut);
  return int(cut);
}
inline int StringTrimRight(string& s) {
  const std::size_t keep = s.find_last_not_of(L" \t\r\n") + 1, cut = s.size() - keep;
  s.erase(keep);
  return int(cut);
}
inline bool StringInit(string& s, int length = 0, ushort character = 0) {
  return s.assign(std::size_t(std::max(length, 0)), wchar_t(character)), true;
}
inline long_ StringToInteger(const string& s) { return std::wcstoll(s.c_str(), nullptr, 10); }
inline string IntegerToString(long_ value, int width = 0, ushort fill = L' ') {
  const string digits = std::to_wstring(value);
  return string(std::size_t(std::max(0, width - StringLen(digits))), wchar_t(fill)) + digits;
}
inline string ShortArrayToString(const rt::Array<ushort>& a, int start = 0, int count = -1) {
  const auto from = a.items.begin() + start;
  return string(from, from + long_(rt::Span(a, start, count)));
}
inline string CharArrayToString(const rt::Array<uchar>& a, int start = 0, int count = -1, uint codepage = CP_ACP) {
  return rt::Widened(reinterpret_cast<const char*>(a.items.data()) + start, int(rt::Span(a, start, count)), codepage);
}
inline int StringToShortArray(const string& s, rt::Array<ushort>& a, int start = 0, int count = -1) {
  return rt::CopyInto(a, s, start, count);
}
inline int StringToCharArray(const string& s, rt::Array<uchar>& a, int start = 0, int count = -1,
                             uint codepage = CP_ACP) {
  std::string bytes;
  rt::Narrowed(s, codepage, &bytes);
  return rt::CopyInto(a, bytes, start, count);
}

// --- Numbers and output ---
template <class A, class B> auto MathMin(A a, B b) { return a < b ? a : b; }
template <class A, class B> auto MathMax(A a, B b) { return a > b ? a : b; }
template <class... A> string StringFormat(const string& format, const A&... args) {
  return rt::Format(format, {rt::ValueOf(args)...});
}
template <class... A> void PrintFormat(const string& format, const A&... args) {
  rt::Journal(StringFormat(format, args...));
}
template <class... A> void Print(const A&... args) {
  string line;
  for (const rt::Value& v : {rt::ValueOf(args)...}) line += v.isText ? v.text : rt::Format(v.isReal ? L"%.16g" : L"%d", {v});
  rt::Journal(line);
}

}  // namespace mql5
