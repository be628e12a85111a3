#include "host/Text.h"

#include <windows.h>

namespace Host {
namespace {

std::string Narrow(UINT page, const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  std::string narrow(WideCharToMultiByte(page, 0, text.data(), size, nullptr, 0, nullptr, nullptr),
                     '\0');
  WideCharToMultiByte(page, 0, text.data(), size, &narrow[0], static_cast<int>(narrow.size()),
                      nullptr, nullptr);
  return narrow;
}

}  // namespace

std::string Ansi(const std::wstring& text) { return Narrow(CP_ACP, text); }
std::string Utf8(const std::wstring& text) { return Narrow(CP_UTF8, text); }

std::wstring Wide(const std::string& ansi) {
  if (ansi.empty()) return std::wstring();
  const int size = static_cast<int>(ansi.size());
  std::wstring wide(MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, &wide[0], static_cast<int>(wide.size()));
  return wide;
}

}  // namespace Host
