#pragma once
// Text in the process's ANSI code page (1251 on our users' machines and in
// the tests) and back, as a host hands it to the A forms.
#include <string>

namespace Host {

std::string Ansi(const std::wstring& text);
std::wstring Wide(const std::string& ansi);
// UTF-8, for what a host prints.
std::string Utf8(const std::wstring& text);

}  // namespace Host
