#include "bench/Failure.h"

namespace Bench {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr,
                                        nullptr);
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, &utf8[0], bytes, nullptr, nullptr);
  return utf8;
}

void Expect(const bool holds, const std::string& otherwise) {
  if (!holds) throw Failure(otherwise);
}

void FailOnSystem(const std::string& what, const std::wstring& path) {
  const DWORD error = GetLastError();
  throw Failure(what + " " + Utf8(path) + " failed, error " + std::to_string(error));
}

}  // namespace Bench
