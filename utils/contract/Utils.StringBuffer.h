#pragma once
// Kept for the contract, reached by no export: a character array that a
// Windows function writes into.
#include <string>
#include <vector>

namespace Utils {

template <class C> class _STRINGBUF;

template <> class _STRINGBUF<wchar_t> {
 public:
  explicit _STRINGBUF(std::size_t size = 0) : data_(size, L'\0') {}
  virtual ~_STRINGBUF() = default;

  // Address of character `index` for a writer; an empty buffer raises
  // "Буфер пуст.".
  template <class P> P* Pointer(const unsigned long long index);

  // Characters [start, start + count) as they are, NULs included.
  std::wstring Copy(const unsigned long long start, unsigned long long count);

 private:
  std::vector<wchar_t> data_;
};

template <> wchar_t* _STRINGBUF<wchar_t>::Pointer<wchar_t>(const unsigned long long index);

}  // namespace Utils
