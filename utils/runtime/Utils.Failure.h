#pragma once
// A failure as data: where it was raised from, what it says and the Win32
// code it describes. Raising one needs nothing else of the library, so code
// of every folder raises its failures alike; the report is composed from the
// data where the failure is delivered (Failure::Text, utils/errors/).
#include <windows.h>

#include <string>
#include <utility>

namespace Utils::Error {

// What the raiser is and what it found, as the report's title names it: a
// free function or a method, an error detected by a check or one inside the
// raiser, a warning.
enum Tag : unsigned { kMethod = 0, kFunction = 1, kDetected = 2, kWarning = 4 };

// Where a report is raised from: the raiser's full signature text, its
// tags, and its source location.
struct Site {
  const char* signature;
  unsigned tags;
  const char* file;
  int line;
};

class Failure {
 public:
  // The common report: title, header, the code's description, the message.
  // describeLastError: the thread's last error now is the code described.
  Failure(const Site& site, std::wstring message, bool describeLastError)
      : site_(site), message_(std::move(message)), code_(describeLastError ? GetLastError() : 0),
        described_(describeLastError) {}

  // A report with a layout of its own, finished where it is raised.
  static Failure Composed(const Site& site, std::wstring text) {
    return Failure(Layout::kComposed, site, std::move(text), false);
  }
  // A code-page conversion that Windows refused: the routine by its
  // qualified name, the message, then the thread's last error.
  static Failure Conversion(const Site& site, std::wstring message) {
    return Failure(Layout::kConversion, site, std::move(message), true);
  }
  // A range check's refusal: its own title and header, then "В методе" with
  // the header of the caller whose range it refused, then the figures;
  // after a line feed of its own when lineFirst.
  static Failure Range(const Site& check, const Site& caller, std::wstring figures, bool lineFirst) {
    Failure failure(lineFirst ? Layout::kRangeAfterLine : Layout::kRange, check, std::move(figures), false);
    failure.caller_ = caller;
    return failure;
  }

  std::wstring Text() const;

 private:
  enum class Layout : unsigned char { kReport, kComposed, kConversion, kRange, kRangeAfterLine };

  Failure(Layout layout, const Site& site, std::wstring message, bool describeLastError)
      : Failure(site, std::move(message), describeLastError) {
    layout_ = layout;
  }

  Site site_{};
  Site caller_{};
  std::wstring message_;
  DWORD code_ = 0;
  bool described_ = false;
  Layout layout_ = Layout::kReport;
};

// The one way to raise a report: the failure of the site thrown by value.
// The thread's last error at the call is what is described.
[[noreturn]] inline void Raise(const Site& site, const std::wstring& message, const bool withLastError) {
  throw Failure(site, message, withLastError);
}

// Throws the failure after writing its report, and a line end when asked,
// to the standard wide output.
[[noreturn]] void RaiseEchoed(const Failure& failure, bool lineEnd = true);

[[noreturn]] inline void RaiseEchoed(const Site& site, const std::wstring& message, const bool withLastError) {
  RaiseEchoed(Failure(site, message, withLastError));
}

}  // namespace Utils::Error

// A site in the current source file; sources are compiled with paths
// relative to the source root, so __FILE__ is stable across machines.
#define SF_SITE(signature, tags) (::Utils::Error::Site{(signature), (tags), __FILE__, __LINE__})
#define SF_SITE_IN(unit, signature, tags) (::Utils::Error::Site{(signature), (tags), (unit), __LINE__})
