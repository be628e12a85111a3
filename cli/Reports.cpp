#include "cli/Reports.h"

namespace Cli {

Reports::Reports(const Library& library)
    : mode_(library.Find<decltype(mode_)>("SedgefoldReportMode")),
      last_(library.Find<decltype(last_)>("SedgefoldLastReportW")) {}

const char* Reports::Missing() const {
  if (mode_ == nullptr) return "SedgefoldReportMode";
  if (last_ == nullptr) return "SedgefoldLastReportW";
  return nullptr;
}

std::wstring Reports::Last() const {
  std::wstring text(static_cast<std::size_t>(last_(nullptr, 0)), L'\0');
  // The string's own terminator slot takes the library's terminator.
  if (!text.empty())
    text.resize(static_cast<std::size_t>(last_(&text[0], static_cast<int>(text.size()) + 1)));
  return text;
}

}  // namespace Cli
