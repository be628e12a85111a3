#pragma once
// Loaded modules: a module's file path, and an extra reference by name.
#include <windows.h>

#include <string>

namespace Utils::Module {

// Full path of the module's file (cut to 260 characters by Windows).
std::wstring FullPath(HINSTANCE module);

// Adds a reference to an already loaded module; never released by the
// library. An empty name means the process's executable.
HINSTANCE Increment(const std::wstring& name);

}  // namespace Utils::Module
