// The calling thread's report mode and its last report: what lets a caller
// run without boxes and still learn why a call failed. These three never
// report, never fail and leave the last report as it is.
#include <windows.h>

#include <climits>
#include <cstring>
#include <string>
#include <string_view>

#include "exports/Sedgefold.h"
#include "utils/text/Utils.CodingStr.h"
#include "utils/errors/Utils.ThreadState.h"

namespace {


// How much of text fits room characters without cutting one in two: a
// surrogate pair, or a double-byte character of the ANSI code page.
std::size_t Whole(std::wstring_view text, std::size_t room) {
  if (room >= text.size()) return text.size();
  if (room > 0 && IS_HIGH_SURROGATE(text[room - 1])) --room;
  return room;
}

std::size_t Whole(std::string_view text, std::size_t room) {
  if (room >= text.size()) return text.size();
  std::size_t end = 0;
  for (;;) {
    const std::size_t step = IsDBCSLeadByte(static_cast<BYTE>(text[end])) ? 2 : 1;
    if (end + step > room) return end;
    end += step;
  }
}

// The length is answered whatever the buffer, so that a caller can size one.
template <class C> int CopyOut(std::basic_string_view<C> text, C* buffer, int capacity) {
  if (buffer != nullptr && capacity > 0) {
    const std::size_t count = Whole(text, static_cast<std::size_t>(capacity) - 1);
    std::memcpy(buffer, text.data(), count * sizeof(C));
    buffer[count] = C(0);
  }
  return text.size() > INT_MAX ? INT_MAX : static_cast<int>(text.size());
}

// Without best fit, like every narrow text the library hands out.
std::string Narrow(std::wstring_view text) {
  return Utils::CodingStr::UnicodeToAnsi(std::wstring(text), Utils::CodingStr::kAnsiCodePage);
}

}  // namespace

extern "C" {

int SedgefoldReportMode(int mode) { return Utils::ThreadState::SetMode(mode); }

int SedgefoldVersion(void) { return SF_VERSION_NUMBER; }

int SedgefoldLastReportW(wchar_t* buffer, int capacity) {
  return CopyOut(Utils::ThreadState::LastReport(), buffer, capacity);
}

int SedgefoldLastReportA(char* buffer, int capacity) {
  try {
    const std::string text = Narrow(Utils::ThreadState::LastReport());
    return CopyOut(std::string_view(text), buffer, capacity);
  } catch (...) {
    // No memory for the conversion: an empty text rather than none at all.
    if (buffer != nullptr && capacity > 0) buffer[0] = '\0';
    return 0;
  }
}

}
