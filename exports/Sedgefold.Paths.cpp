// Path-string exports: they work on the caller's buffer and never touch the
// file system.
#include "exports/Sedgefold.h"

#include "exports/Frame.h"
#include "utils/text/Utils.Strings.h"

namespace {

constexpr char kTrimNameFileA[] = "char *__cdecl PathTrimNameFileA(char *)";
constexpr char kTrimNameFileW[] = "wchar_t *__cdecl PathTrimNameFileW(wchar_t *)";

// The host's paths are local: the cut is at the last backslash.
constexpr unsigned long long kLastSeparator = 1;

char* TrimNameFile(char* path) {
  return Utils::String::Path::TrimNameFileA(path, kLastSeparator, '\\');
}

wchar_t* TrimNameFile(wchar_t* path) {
  return Utils::String::Path::TrimNameFileW(path, kLastSeparator, L'\\');
}

// The buffer is the host's own and is cut in place, with no conversion; the
// cut writes only once the path is known to be good, so a failure leaves it
// as it was. A null buffer is refused by the cut itself.
template <class C> C* PathTrimNameFile(const Utils::Error::Site& site, C* path) {
  return Sedgefold::Run<C*>(site, nullptr, [&] { return TrimNameFile(path); });
}

}  // namespace

extern "C" {

char* PathTrimNameFileA(char* path) {
  return PathTrimNameFile(SF_EXPORT(kTrimNameFileA), path);
}

wchar_t* PathTrimNameFileW(wchar_t* path) {
  return PathTrimNameFile(SF_EXPORT(kTrimNameFileW), path);
}

}
