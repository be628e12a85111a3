#pragma once
// Kept for the contract, reached by no export: WinINet, which only the FTP
// search and the texts of its codes use. No host process should carry it
// for code it never runs, so it is loaded from the system folder the first
// time one of its functions is asked for, and kept for the process.
#include <windows.h>

#include "utils/runtime/Utils.Module.h"

namespace Utils::WinInet {

// wininet.dll, or null when it cannot be loaded.
HMODULE Loaded();

// WinINet's function `name` as a Fn; null when it cannot be had.
template <class Fn> Fn Function(const char* name) { return Module::Resolve<Fn>(Loaded(), name); }

}  // namespace Utils::WinInet
