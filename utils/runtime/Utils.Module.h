#pragma once
// Loaded modules: a module's file path, an extra reference by name, and a
// function of a module found at run time.
#include <windows.h>

#include <string>

namespace Utils::Module {

// Full path of the module's file (cut to 260 characters by Windows).
std::wstring FullPath(HINSTANCE module);

// Adds a reference to an already loaded module; never released by the
// library. An empty name means the process's executable.
HINSTANCE Increment(const std::wstring& name);

// The function `name` of the module as a Fn; null when the module or the
// function is missing.
template <class Fn> Fn Resolve(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace Utils::Module
