#pragma once
// What an end-to-end test adds to the host library to play the terminal:
// the library loaded once for the process, boxes that fail the test unless
// a BoxHook of the thread that showed them caught them, scratch
// directories, and the Unix side under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Jail.h"
#include "host/Boxes.h"
#include "host/Library.h"
#include "host/Text.h"
#include "host/Tree.h"

namespace Host {

// Sedgefold.dll from next to the test program, loaded once (the terminal
// keeps it loaded too); the test fails (throws) when it did not load from
// there or lacks an export.
const Library& Loaded();
inline const Exports& Api() { return Loaded().Api(); }
template <class C> const Forms<C>& ApiOf() { return Api().Of<C>(); }
template <class C> std::basic_string<C> LastReportOf() { return LastReport<C>(Api()); }
inline std::wstring LastReport() { return LastReportOf<wchar_t>(); }
inline bool Quiet() { return Api().reportMode(-1) == 1; }

// Text of either width from test data: A forms get it in the ANSI code page.
template <class C> std::basic_string<C> As(const std::wstring& text);
template <> inline std::string As<char>(const std::wstring& text) { return Ansi(text); }
template <> inline std::wstring As<wchar_t>(const std::wstring& text) { return text; }

// A new file holding content, with attributes besides; the test fails when
// it cannot be made.
void PutFile(const std::wstring& path, const std::string& content = std::string(), DWORD attributes = 0);

// The process's committed private bytes, and the bytes of every heap block
// in use: what a leak grows.
std::size_t PrivateBytes();
std::size_t HeapBytesInUse();

// Wine only: a program of the Unix host and the Unix path of a Windows path.
using Jail::RunUnix;
using Jail::UnixPath;
// Removes a tree without ever acting through a link: under Wine from the
// Unix side, where no Win32 call can. False when something is left.
bool RemoveTestTree(const std::wstring& path);

// A fresh empty directory for every test, removed after it; the test's
// thread hooked for boxes all along.
class Scratch : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  const std::wstring& Root() const { return root_; }
  std::wstring Path(const std::wstring& relative) const {
    return relative.empty() ? root_ : root_ + L"\\" + relative;
  }

  // A directory (with its parents) or a file; the full path, the test
  // failed when it cannot be made.
  std::wstring MakeDir(const std::wstring& relative);
  std::wstring MakeFile(const std::wstring& relative, const std::string& content = std::string());

  BoxHook hook_;

 private:
  std::wstring root_;
};

}  // namespace Host
