#pragma once
// Sedgefold.dll as the terminal loads it: by bare name, never linked, its
// exports looked up by name and typed by the library's own declarations.
#include <windows.h>

#include <string>

#include "exports/Sedgefold.h"
#include "utils/runtime/Utils.Handle.h"

namespace Host {

// The exports of one character width under one set of names, so that code
// written once against Forms<C> runs through the A forms (char) and the W
// forms (wchar_t).
#define SF_HOST_FORMS(X)                                                              \
  X(isEmpty, PathIsEmpty) X(trimName, PathTrimNameFile) X(check, PathCheck)            \
  X(getList, PathGetList) X(getListM, PathGetListM) X(create, PathCreate)              \
  X(remove, PathDelete) X(deleteEmpty, PathDeleteEmpty)                                \
  X(clearContents, PathClearContents) X(clearFromFiles, PathClearFromFiles)            \
  X(copy, PathCopy) X(move, PathMove) X(link, PathSymbolicLink)                        \
  X(lastReport, SedgefoldLastReport)

template <class C> struct Forms;
#define SF_HOST_FORM_A(member, name) decltype(&name##A) member;
#define SF_HOST_FORM_W(member, name) decltype(&name##W) member;
template <> struct Forms<char> { SF_HOST_FORMS(SF_HOST_FORM_A) };
template <> struct Forms<wchar_t> { SF_HOST_FORMS(SF_HOST_FORM_W) };
#undef SF_HOST_FORM_A
#undef SF_HOST_FORM_W

// The host's string records of one width.
template <class C> struct RecordOf;
template <> struct RecordOf<char> { using Type = MT::_MQLSTRA; };
template <> struct RecordOf<wchar_t> { using Type = MT::_MQLSTRW; };
template <class C> using Record = typename RecordOf<C>::Type;

// Every export, of both widths: the one table.
struct Exports {
  Forms<char> a;
  Forms<wchar_t> w;
  decltype(&SedgefoldReportMode) reportMode;  // of the calling thread, no width

  template <class C> const Forms<C>& Of() const;
};
template <> inline const Forms<char>& Exports::Of<char>() const { return a; }
template <> inline const Forms<wchar_t>& Exports::Of<wchar_t>() const { return w; }

class Library {
 public:
  // Loads name (a bare file name: the program's own folder is searched
  // first) and resolves every export. Loaded() tells whether all went well;
  // Problem() says what did not.
  explicit Library(const wchar_t* name = L"Sedgefold.dll");

  bool Loaded() const { return problem_.empty(); }
  const std::wstring& Problem() const { return problem_; }
  const Exports& Api() const { return exports_; }
  HMODULE Handle() const { return module_.get(); }
  std::wstring FilePath() const;

 private:
  Utils::ModuleHandle module_;
  Exports exports_{};
  std::wstring problem_;
};

// The calling thread's last report, through the export of width C: its
// length asked first, then the text.
template <class C> std::basic_string<C> LastReport(const Exports& api);

// The calling thread's report mode set for the life of the object, the one
// before put back after it.
class ReportMode {
 public:
  ReportMode(const Exports& api, int mode) : api_(api), before_(api.reportMode(mode)) {}
  ~ReportMode() { api_.reportMode(before_); }
  ReportMode(const ReportMode&) = delete;
  ReportMode& operator=(const ReportMode&) = delete;

 private:
  const Exports& api_;
  int before_;
};

// The full path of a module's file (null: the program's own).
std::wstring ModulePath(HMODULE module);

}  // namespace Host
