#pragma once
// All 29 exports of the loaded library, resolved by bare name, as one table
// per character width: code that is written once against Api<C> exercises
// the A forms with C = char and the W forms with C = wchar_t. The report
// mode, which has no width, is in both.
#include <cstdint>
#include <string>

namespace Host {

// The terminal's string records: capacity at 0, pointer at 4, 12 bytes each.
#pragma pack(push, 4)
template <class C> struct Record {
  int32_t capacity;
  C* text;
};
#pragma pack(pop)
static_assert(sizeof(Record<char>) == 12 && sizeof(Record<wchar_t>) == 12, "terminal layout");

template <class C> struct Api {
  using Text = const C*;
  int(__cdecl* isEmpty)(Text);
  C*(__cdecl* trimName)(C*);
  int(__cdecl* check)(Text);
  uint64_t(__cdecl* getList)(Text, int, C*, uint64_t, uint64_t);
  uint64_t(__cdecl* getListM)(Text, int, Record<C>*, uint64_t);
  int(__cdecl* create)(Text);
  int(__cdecl* remove)(Text);
  int(__cdecl* deleteEmpty)(Text);
  int(__cdecl* clearContents)(Text);
  int(__cdecl* clearFromFiles)(Text);
  int(__cdecl* copy)(Text, Text);
  int(__cdecl* move)(Text, Text);
  int(__cdecl* link)(Text, Text);
  int(__cdecl* reportMode)(int);
  int(__cdecl* lastReport)(C*, int);
};

// The table of the library loaded by Library(); the test fails (throws)
// when a name is missing.
template <class C> const Api<C>& ApiOf();

// The calling thread's last report, read through the export of width C (the
// length asked first, then the text).
template <class C> std::basic_string<C> LastReportOf();
inline std::wstring LastReport() { return LastReportOf<wchar_t>(); }
bool Quiet();

// Sets the calling thread's report mode for the life of the object and puts
// the one before back after it: a test's mode must not leak into the tests
// that run on the same thread after it.
class ReportMode {
 public:
  explicit ReportMode(int mode);
  ~ReportMode();
  ReportMode(const ReportMode&) = delete;
  ReportMode& operator=(const ReportMode&) = delete;

 private:
  int before_;
};

}  // namespace Host
