// Describing an error code: the system's own text of a Windows code, which
// reports carry, and the library's texts of shell results.
#include <vector>

#include "utils/errors/Utils.ErrorTables.h"
#include "utils/errors/Utils.Error.h"

namespace Utils::Error {
namespace {

constexpr std::size_t kMessageBufferSize = 2048;

std::wstring MessageOf(DWORD code) {
  std::vector<wchar_t> buffer(kMessageBufferSize, L'\0');
  // Inserts are never supplied, so they must not be expanded.
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer.data(),
                 static_cast<DWORD>(buffer.size() - 1), nullptr);
  return buffer.data();
}

}  // namespace

std::wstring SystemTextW(DWORD code) {
  return L"\nLast Error: " + std::to_wstring(code) + L".\n" + MessageOf(code) + L"\n";
}

std::wstring CodeW(DWORD code) { return SystemTextW(code); }

std::wstring ShellW(int code) {
  if (const Tables::Row* row = Tables::Shell().Find(code)) return Tables::ShellRow(*row);
  return SystemTextW(static_cast<DWORD>(code));
}

}  // namespace Utils::Error
