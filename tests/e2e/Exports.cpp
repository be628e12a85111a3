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
  return api;
}

}  // namespace

template <class C> const Api<C>& ApiOf() {
  static const Api<C> api = Resolved<C>();
  return api;
}

template const Api<char>& ApiOf<char>();
template const Api<wchar_t>& ApiOf<wchar_t>();

}  // namespace Host
