#pragma once
// The library's exported functions (bare names, exported through the .def
// file). A forms take text in the system ANSI code page, W forms UTF-16.
// Every export shows its failures in a message box and returns 0 (or null).
#include <cstdint>

extern "C" {

// 1 when path names an existing directory holding nothing but "." and "..".
int PathIsEmptyA(const char* path);
int PathIsEmptyW(const wchar_t* path);

}
