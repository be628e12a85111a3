#pragma once
// Helpers for tests that look at thrown reports and at what the library
// writes to the standard wide output.
#include <gtest/gtest.h>

#include <cwctype>
#include <iostream>
#include <sstream>
#include <string>

namespace ReportTesting {

// Sends std::wcout into a string for its lifetime and gives the stream its
// own buffer back afterwards, whatever the test does in between.
class WcoutCapture {
 public:
  WcoutCapture() : previous_(std::wcout.rdbuf(captured_.rdbuf())) {}
  ~WcoutCapture() {
    std::wcout.rdbuf(previous_);
    std::wcout.clear();
  }
  WcoutCapture(const WcoutCapture&) = delete;
  WcoutCapture& operator=(const WcoutCapture&) = delete;

  std::wstring Text() const { return captured_.str(); }
  void Clear() { captured_.str(std::wstring()); }

 private:
  std::wostringstream captured_;
  std::wstreambuf* previous_;
};

// The wide report that `action` throws; a test failure when it throws none.
template <class Action> std::wstring Thrown(Action&& action) {
  try {
    action();
  } catch (const std::wstring& report) {
    return report;
  }
  ADD_FAILURE() << "no report was thrown";
  return std::wstring();
}

// Line numbers of raise sites move with every edit of the source; the
// expected texts carry "#" in their place.
inline std::wstring MaskLines(std::wstring text) {
  const std::wstring label = L"Line: ";
  for (std::size_t at = text.find(label); at != std::wstring::npos;
       at = text.find(label, at + 1)) {
    const std::size_t digits = at + label.size();
    std::size_t end = digits;
    while (end < text.size() && std::iswdigit(text[end])) ++end;
    if (end > digits) text.replace(digits, end - digits, L"#");
  }
  return text;
}

// Title, signature line and location block of a report raised in `file`.
inline std::wstring Header(const std::wstring& title, const std::wstring& signature,
                           const std::wstring& file) {
  return title + signature + L"\"!\r\nFile: \"" + file + L"\"\r\nLine: #\r\n";
}

}  // namespace ReportTesting
