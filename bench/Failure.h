#pragma once
// A benchmark of a failing call measures nothing: every wrong answer, box or
// broken set-up ends the run with a message.
#include <windows.h>

#include <stdexcept>
#include <string>

namespace Bench {

class Failure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Paths and box texts as the console gets them.
std::string Utf8(const std::wstring& text);

void Expect(bool holds, const std::string& otherwise);

// A Win32 call on path failed: what was tried and the system's error code.
[[noreturn]] void FailOnSystem(const std::string& what, const std::wstring& path);

}  // namespace Bench
