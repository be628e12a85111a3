#pragma once
// Helpers for tests that look at thrown reports and at what the library
// writes to the standard wide output.
#include <gtest/gtest.h>

#include <iostream>
#include <regex>
#include <sstream>
#include <string>

#include "utils/errors/Utils.Error.h"

namespace ReportTesting {

// Sends std::wcout into a string for its lifetime.
struct WcoutCapture {
  std::wostringstream captured;
  std::wstreambuf* previous = std::wcout.rdbuf(captured.rdbuf());
  ~WcoutCapture() { std::wcout.rdbuf(previous), std::wcout.clear(); }
  std::wstring Text() const { return captured.str(); }
};

// The wide report that `action` throws; a test failure when it throws none.
template <class Action>
std::wstring Thrown(Action&& action) {
  try {
    action();
  } catch (const Utils::Error::Failure& failure) {
    return failure.Text();
  }
  ADD_FAILURE() << "no report was thrown";
  return std::wstring();
}

// A report with "#" for its line numbers, which move with every edit of the
// source, and `header` (title, signature line and location block of a report
// raised in `file`) for what a test expects.
inline std::wstring MaskLines(const std::wstring& text) {
  return std::regex_replace(text, std::wregex(L"Line: [0-9]+"), L"Line: #");
}
inline std::wstring Header(const std::wstring& title, const std::wstring& signature,
                           const std::wstring& file) {
  return title + signature + L"\"!\r\nFile: \"" + file + L"\"\r\nLine: #\r\n";
}

}  // namespace ReportTesting
