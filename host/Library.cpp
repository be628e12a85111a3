#include "host/Library.h"

#include <cstring>

namespace Host {
namespace {

template <class Fn>
void Resolve(HMODULE module, const char* name, Fn& slot, std::wstring& problem) {
  slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  if (slot == nullptr && problem.empty())
    problem = L"Sedgefold.dll does not export " + std::wstring(name, name + std::strlen(name));
}

void ResolveAll(HMODULE module, Exports& exports, std::wstring& problem) {
#define SF_HOST_RESOLVE_A(member, name) Resolve(module, #name "A", exports.a.member, problem);
#define SF_HOST_RESOLVE_W(member, name) Resolve(module, #name "W", exports.w.member, problem);
  SF_HOST_FORMS(SF_HOST_RESOLVE_A)
  SF_HOST_FORMS(SF_HOST_RESOLVE_W)
#undef SF_HOST_RESOLVE_A
#undef SF_HOST_RESOLVE_W
  Resolve(module, "SedgefoldReportMode", exports.reportMode, problem);
}

}  // namespace

std::wstring ModulePath(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size()) return path.substr(0, length);
    path.resize(path.size() * 2);
  }
}

Library::Library(const wchar_t* name) : module_(LoadLibraryW(name)) {
  if (!module_) {
    problem_ = std::wstring(L"cannot load ") + name + L" (error " +
               std::to_wstring(GetLastError()) + L")";
    return;
  }
  ResolveAll(module_.get(), exports_, problem_);
}

template <class C> std::basic_string<C> LastReport(const Exports& api) {
  const auto last = api.Of<C>().lastReport;
  std::basic_string<C> text(static_cast<std::size_t>(last(nullptr, 0)), C(0));
  // The string's own terminator slot takes the library's terminator.
  if (!text.empty())
    text.resize(static_cast<std::size_t>(last(&text[0], static_cast<int>(text.size()) + 1)));
  return text;
}
template std::string LastReport<char>(const Exports&);
template std::wstring LastReport<wchar_t>(const Exports&);

std::wstring Library::FilePath() const { return module_ ? ModulePath(module_.get()) : std::wstring(); }

}  // namespace Host
