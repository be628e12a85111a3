#pragma once
// All 26 exports of the loaded library, resolved by bare name, as one table
// per character width: code that is written once against Api<C> exercises
// the A forms with C = char and the W forms with C = wchar_t.
#include <cstdint>

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
};

// The table of the library loaded by Library(); the test fails (throws)
// when a name is missing.
template <class C> const Api<C>& ApiOf();

}  // namespace Host
