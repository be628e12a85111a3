#include "cli/Console.h"

#include <windows.h>

namespace Cli {
namespace Console {
namespace {

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], length,
                      nullptr, nullptr);
  return utf8;
}

void Write(DWORD which, const std::wstring& text) {
  const HANDLE handle = GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || text.empty()) return;
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(handle, &mode) &&
      WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
    return;
  const std::string utf8 = ToUtf8(text);
  WriteFile(handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

}  // namespace

void Out(const std::wstring& text) { Write(STD_OUTPUT_HANDLE, text); }

void Err(const std::wstring& text) { Write(STD_ERROR_HANDLE, text); }

std::wstring Indented(const std::wstring& heading, const std::wstring& text) {
  std::wstring out = heading + L"\n", line;
  const auto endLine = [&] {
    out += line.empty() ? L"\n" : L"  " + line + L"\n";
    line.clear();
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    if (text[i] == L'\r' || text[i] == L'\n')
      endLine();
    else
      line += text[i];
  }
  if (!line.empty()) endLine();
  while (out.size() > heading.size() + 1 && out.compare(out.size() - 2, 2, L"\n\n") == 0)
    out.pop_back();
  return out;
}

bool ToAnsi(const std::wstring& text, std::string& ansi) {
  ansi.clear();
  if (text.empty()) return true;
  BOOL lossy = FALSE;
  const int size = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size,
                                         nullptr, 0, nullptr, &lossy);
  if (length <= 0 || lossy) return false;
  ansi.assign(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, &ansi[0], length, nullptr,
                      &lossy);
  return !lossy;
}

std::wstring FromAnsi(const std::string& ansi) {
  if (ansi.empty()) return std::wstring();
  const int size = static_cast<int>(ansi.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, &wide[0], length);
  return wide;
}

}  // namespace Console
}  // namespace Cli
