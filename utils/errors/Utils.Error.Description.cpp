// Describing an error code: the system's own text of a Windows code, the
// library's texts of WinINet codes and shell results, and the description
// of the thread's last error that reports carry.
#include <vector>

#include "utils/errors/Utils.ErrorTables.h"
#include "utils/errors/Utils.Error.h"

namespace Utils::Error {
namespace {

constexpr std::size_t kMessageBufferSize = 2048;
constexpr long kInternetFirst = 12001;
constexpr long kInternetLast = 12175;

template <class C> struct System;
template <> struct System<wchar_t> {
  static std::wstring Text(DWORD code) {
    std::vector<wchar_t> buffer(kMessageBufferSize, L'\0');
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   buffer.data(), static_cast<DWORD>(buffer.size() - 1), nullptr);
    return buffer.data();
  }
  static std::wstring Number(DWORD code) { return std::to_wstring(code); }
};
template <> struct System<char> {
  static std::string Text(DWORD code) {
    std::vector<char> buffer(kMessageBufferSize, '\0');
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   buffer.data(), static_cast<DWORD>(buffer.size() - 1), nullptr);
    return buffer.data();
  }
  static std::string Number(DWORD code) { return std::to_string(code); }
};

template <class C> std::basic_string<C> SystemText(DWORD code) {
  const C lf = C('\n');
  std::basic_string<C> text(1, lf);
  for (const char* label = "Last Error: "; *label; ++label) text += C(*label);
  text += System<C>::Number(code);
  text += C('.');
  text += lf;
  text += System<C>::Text(code);
  text += lf;
  return text;
}

// WinINet's codes have no system text that FormatMessage could reach.
bool IsInternetCode(long code) { return code >= kInternetFirst && code <= kInternetLast; }

}  // namespace

std::wstring SystemTextW(DWORD code) { return SystemText<wchar_t>(code); }
std::string SystemTextA(DWORD code) { return SystemText<char>(code); }

std::wstring CodeW(DWORD code) {
  const long value = static_cast<long>(code);
  return IsInternetCode(value) ? InternetW(value) : SystemTextW(code);
}

std::string CodeA(DWORD code) {
  const long value = static_cast<long>(code);
  return IsInternetCode(value) ? InternetA(value) : SystemTextA(code);
}

template <> std::wstring DescriptionW<bool>(bool withLastError) {
  if (!withLastError) return std::wstring();
  return CodeW(GetLastError());
}

template <> std::string DescriptionA<bool>(bool withLastError) {
  if (!withLastError) return std::string();
  return CodeA(GetLastError());
}

std::wstring ShellW(int code) {
  if (const Tables::Row* row = Tables::Shell().Find(code)) return Tables::ShellRow(*row);
  return SystemTextW(static_cast<DWORD>(code));
}

std::string ShellA(int code) {
  if (const Tables::Row* row = Tables::Shell().Find(code)) return Tables::To1251(Tables::ShellRow(*row));
  return SystemTextA(static_cast<DWORD>(code));
}

}  // namespace Utils::Error
