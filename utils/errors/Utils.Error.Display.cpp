// Showing a text in a message box, through MessageBoxTimeoutW/A of the
// User32.dll already in the process.
#include "utils/errors/Utils.Error.h"

namespace Utils::Error {
namespace {

using MessageBoxTimeoutWFn = int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT, WORD, DWORD);
using MessageBoxTimeoutAFn = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT, WORD, DWORD);

// Only a User32.dll already in the process is used, and no reference is
// taken, so nothing has to be freed afterwards. Its absence is reported in
// three lines of their own: the report composition is what failed to show.
HMODULE LoadedUser32(const wchar_t* function) {
  SetLastError(0);
  HMODULE user32 = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, L"User32.dll", &user32) ||
      user32 == nullptr) {
    const DWORD code = GetLastError();
    throw std::wstring(L"Ошибка в функции \"") + function + L"()\".\n" +
        L"Не получен системный дескриптор модуля \"User32.dll\".\n" + L"Последняя ошибка: " +
        std::to_wstring(code) + L"\n";
  }
  return user32;
}

template <class Fn> Fn Resolve(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

void ShowW(const wchar_t* text, const wchar_t* caption, const UINT style, const DWORD timeout) {
  HMODULE user32 = LoadedUser32(L"MessageBoxTimeoutW");
  auto show = Resolve<MessageBoxTimeoutWFn>(user32, "MessageBoxTimeoutW");
  if (show == nullptr) return;
  show(nullptr, text, caption, style, 0, timeout);
}

void ShowA(const char* text, const char* caption) {
  HMODULE user32 = LoadedUser32(L"MessageBoxTimeoutA");
  auto show = Resolve<MessageBoxTimeoutAFn>(user32, "MessageBoxTimeoutA");
  if (show == nullptr) return;
  show(nullptr, text, caption, kStyleError, 0, 0);
}

}  // namespace Utils::Error
