#include "Exports.h"

#include <string>

#include "Host.h"

namespace Host {
namespace {

template <class Fn> void Resolve(Fn& slot, const char* name, const char suffix) {
  slot = Export<Fn>((std::string(name) + suffix).c_str());
}

template <class C> Api<C> Resolved() {
  const char suffix = sizeof(C) == 1 ? 'A' : 'W';
  Api<C> api{};
  Resolve(api.isEmpty, "PathIsEmpty", suffix);
  Resolve(api.trimName, "PathTrimNameFile", suffix);
  Resolve(api.check, "PathCheck", suffix);
  Resolve(api.getList, "PathGetList", suffix);
  Resolve(api.getListM, "PathGetListM", suffix);
  Resolve(api.create, "PathCreate", suffix);
  Resolve(api.remove, "PathDelete", suffix);
  Resolve(api.deleteEmpty, "PathDeleteEmpty", suffix);
  Resolve(api.clearContents, "PathClearContents", suffix);
  Resolve(api.clearFromFiles, "PathClearFromFiles", suffix);
  Resolve(api.copy, "PathCopy", suffix);
  Resolve(api.move, "PathMove", suffix);
  Resolve(api.link, "PathSymbolicLink", suffix);
  api.reportMode = Export<decltype(api.reportMode)>("SedgefoldReportMode");
  Resolve(api.lastReport, "SedgefoldLastReport", suffix);
  return api;
}

}  // namespace

template <class C> const Api<C>& ApiOf() {
  static const Api<C> api = Resolved<C>();
  return api;
}

template const Api<char>& ApiOf<char>();
template const Api<wchar_t>& ApiOf<wchar_t>();

template <class C> std::basic_string<C> LastReportOf() {
  const auto lastReport = ApiOf<C>().lastReport;
  std::basic_string<C> text(static_cast<std::size_t>(lastReport(nullptr, 0)), C(0));
  if (!text.empty()) text.resize(static_cast<std::size_t>(lastReport(&text[0], int(text.size()) + 1)));
  return text;
}

template std::string LastReportOf<char>();
template std::wstring LastReportOf<wchar_t>();

bool Quiet() { return ApiOf<wchar_t>().reportMode(-1) == 1; }

ReportMode::ReportMode(int mode) : before_(ApiOf<wchar_t>().reportMode(mode)) {}
ReportMode::~ReportMode() { ApiOf<wchar_t>().reportMode(before_); }

}  // namespace Host
