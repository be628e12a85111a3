// Showing a text in a message box, through MessageBoxTimeoutW of the
// User32.dll already in the process.
#include "utils/errors/Utils.Error.h"
#include "utils/runtime/Utils.Module.h"

namespace Utils::Error {
namespace {

constexpr char kShowSignature[] =
    "void __cdecl Utils::Error::ShowW(const wchar_t *,const wchar_t *,const unsigned int,const unsigned long)";

using MessageBoxTimeoutWFn = int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT, WORD, DWORD);

// Only a User32.dll already in the process is used, and no reference is
// taken, so nothing has to be freed afterwards. Its absence is reported in
// three lines of their own: the report composition is what failed to show.
HMODULE LoadedUser32() {
  SetLastError(0);
  HMODULE user32 = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, L"User32.dll", &user32) ||
      user32 == nullptr) {
    const DWORD code = GetLastError();
    throw Failure::Composed(SF_SITE(kShowSignature, kFunction),
                            L"Ошибка в функции \"MessageBoxTimeoutW()\".\nНе получен системный дескриптор модуля "
                            L"\"User32.dll\".\nПоследняя ошибка: " +
                                std::to_wstring(code) + L"\n");
  }
  return user32;
}

}  // namespace

void ShowW(const wchar_t* text, const wchar_t* caption, const UINT style, const DWORD timeout) {
  auto show = Module::Resolve<MessageBoxTimeoutWFn>(LoadedUser32(), "MessageBoxTimeoutW");
  if (show == nullptr) return;
  show(nullptr, text, caption, style, 0, timeout);
}

}  // namespace Utils::Error
