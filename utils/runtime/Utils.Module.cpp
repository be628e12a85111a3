#include "utils/runtime/Utils.Module.h"

#include "utils/text/Utils.Checking.h"
#include "utils/errors/Utils.Error.h"
#include "utils/text/Utils.StringBuffer.h"

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
  _STRINGBUF<wchar_t> buffer(kPathCapacity);
  SetLastError(0);
  if (GetModuleFileNameW(module, buffer.Pointer<wchar_t>(0), kPathCapacity) == 0)
    Error::Raise(SF_SITE(kFullPathSignature, Error::kFunction),
                 L"Путь к исполняемому файлу модуля не получен.", true);
  const std::wstring text = buffer.Copy(0, Checking::All<unsigned long long>);
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
