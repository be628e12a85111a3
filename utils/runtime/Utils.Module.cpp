#include "utils/runtime/Utils.Module.h"

#include "utils/runtime/Utils.Failure.h"

namespace Utils::Module {
namespace {

constexpr DWORD kPathCapacity = 260;
constexpr char kFullPathSignature[] =
    "class std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > __cdecl Utils::Module::FullPath(struct "
    "HINSTANCE__ *const )";
constexpr char kIncrementSignature[] =
    "struct HINSTANCE__ *__cdecl Utils::Module::Increment(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &)";

}  // namespace

std::wstring FullPath(HINSTANCE module) {
  std::wstring text(kPathCapacity, L'\0');
  SetLastError(0);
  if (GetModuleFileNameW(module, text.data(), kPathCapacity) == 0)
    Error::Raise(SF_SITE(kFullPathSignature, Error::kFunction),
                 L"Путь к исполняемому файлу модуля не получен.", true);
  return text.substr(0, text.find(L'\0'));
}

HINSTANCE Increment(const std::wstring& name) {
  SetLastError(0);
  HMODULE module = nullptr;
  const wchar_t* text = name.empty() ? nullptr : name.c_str();
  if (!GetModuleHandleExW(0, text, &module) || module == nullptr)
    Error::Raise(SF_SITE(kIncrementSignature, Error::kFunction),
                 L"Не загружен модуль \"" + name + L"\".", true);
  return module;
}

}  // namespace Utils::Module
