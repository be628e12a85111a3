#pragma once
// Text out of the program and across the ANSI boundary. A console gets
// UTF-16 directly; a pipe or a file gets UTF-8, whatever the code pages.
#include <string>

namespace Cli {
namespace Console {

void Out(const std::wstring& text);
void Err(const std::wstring& text);

// A report as the program prints it: the heading, then every line of the
// text indented under it (blank lines left blank), whatever its line ends.
std::wstring Indented(const std::wstring& heading, const std::wstring& text);

// Text in the system ANSI code page. False when the code page cannot spell
// every character: the replacement "?" would reach the library as a
// wildcard.
bool ToAnsi(const std::wstring& text, std::string& ansi);
std::wstring FromAnsi(const std::string& ansi);

}  // namespace Console
}  // namespace Cli
