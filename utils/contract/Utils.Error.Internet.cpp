// Kept for the contract, reached by no export: the descriptions of WinINet
// error codes, from the library's own table or, for 12003, from the
// server's last response. Only the FTP search, which no operation sets up,
// could meet such a code.
#include <windows.h>
#include <wininet.h>

#include "utils/contract/Utils.Error.Typed.h"
#include "utils/contract/Utils.WinInet.h"
#include "utils/errors/Utils.Error.h"
#include "utils/text/Utils.CodingStr.h"

namespace Utils::Error {
namespace {

constexpr char kInternetWSignature[] =
    "class std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > __cdecl Utils::Error::InternetW(const long)";
constexpr char kInternetASignature[] =
    "class std::basic_string<char,struct std::char_traits<char>,class "
    "std::allocator<char> > __cdecl Utils::Error::InternetA(const long)";
constexpr wchar_t kResponseFailed[] =
    L"Ошибка получения расширенного описания интернет-ошибки.";

// The server's last response on this thread. The buffer has room for a
// terminator beyond the length asked for, and the text ends at its first
// NUL: a failed fetch leaves the buffer zero-filled, and zeros inside a
// report would cut it short in the message box.
template <class C, class Fetch>
std::basic_string<C> Response(Fetch fetch, bool& failed) {
  DWORD error = 0;
  DWORD length = 0;
  failed = false;
  fetch(&error, nullptr, &length);
  if (length == 0) return std::basic_string<C>();
  std::basic_string<C> text(static_cast<std::size_t>(length) + 1, C(0));
  DWORD size = length + 1;
  failed = !fetch(&error, text.data(), &size);
  text.resize(std::char_traits<C>::length(text.c_str()));
  return text;
}

template <class Fetch> std::wstring ServerResponseRowW(Fetch fetch) {
  bool failed = false;
  const std::wstring text = Response<wchar_t>(fetch, failed);
  if (failed)
    Warn(SF_SITE(kInternetWSignature, Error::kMethod), L"Utils::Error::InternetW",
         kResponseFailed);
  return L"\r\nLast Error: 12003.\r\n\r\n" + text + L"\r\n\r\n";
}

template <class Fetch> std::string ServerResponseRowA(Fetch fetch) {
  bool failed = false;
  const std::string text = Response<char>(fetch, failed);
  if (failed)
    Warn(SF_SITE(kInternetASignature, Error::kMethod), L"Utils::Error::InternetA",
         kResponseFailed);
  return "\r\nLast Error: 12003.\r\n\r\n" + text + "\r\n\r\n";
}

// The server's last response through WinINet's function `name`; without
// WinINet every fetch fails.
template <class Fn, class C> auto ResponseFetch(const char* name) {
  const Fn fetch = WinInet::Function<Fn>(name);
  return [fetch](DWORD* error, C* buffer, DWORD* length) {
    return fetch != nullptr && fetch(error, buffer, length);
  };
}

}  // namespace

std::wstring InternetW(const long code) {
  if (code == Tables::kServerResponseCode)
    return ServerResponseRowW(
        ResponseFetch<decltype(&InternetGetLastResponseInfoW), wchar_t>("InternetGetLastResponseInfoW"));
  if (const Tables::Row* row = Tables::Internet().Find(code))
    return Tables::InternetRow(*row);
  return SystemTextW(static_cast<DWORD>(code));
}

std::string InternetA(const long code) {
  if (code == Tables::kServerResponseCode)
    return ServerResponseRowA(
        ResponseFetch<decltype(&InternetGetLastResponseInfoA), char>("InternetGetLastResponseInfoA"));
  if (const Tables::Row* row = Tables::Internet().Find(code))
    return CodingStr::UnicodeToAnsi(Tables::InternetRow(*row), Tables::kCyrillicCodePage);
  return SystemTextA(static_cast<DWORD>(code));
}

}  // namespace Utils::Error
