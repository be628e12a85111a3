#pragma once
// The library's start-up guard and its process-wide state.
#include <windows.h>

#include <string>

#include "utils/runtime/Utils.Smart.h"
#include "utils/runtime/Utils.Synchronize.h"

// The start-up lock: a reference-counted critical section.
class g_CInitCS : public Utils::Sync::CriticalSection, public virtual Utils::Smart::Base {
 public:
  g_CInitCS() = default;
  ~g_CInitCS() override = default;
};

namespace Project {

// Runs first in every export. False when a failure was caught and shown
// here; the export then returns its failure value without a second box.
bool Init(const unsigned long reserved);

// The start-up lock, created on first use under the master lock.
Utils::Smart::Pointer<g_CInitCS> StartupLock();

// The library's own file name: the caption of every failure box.
const std::wstring& ModuleName();

// File name part of a module path; ".exe" in it becomes ".dll". Sets
// *pin to whether the library should take a reference to itself by name.
std::wstring ModuleNameOf(const std::wstring& fullPath, bool* pin);

// Process attach: compute the module name and pin the library. Never
// throws: a failure leaves the library loaded, unpinned, with a fallback name.
void Attach(HINSTANCE module) noexcept;
// Process detach: reset the start-up flag, free every thread's record and
// take the shared locks down.
void Detach() noexcept;

}  // namespace Project
