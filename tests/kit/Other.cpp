// A Sedgefold.dll of another version, for the kit's version policy: it
// exports SedgefoldVersion alone, answering the number SF_OTHER_VERSION holds.
#include <windows.h>

#include <cwchar>

extern "C" __declspec(dllexport) int SedgefoldVersion() {
  wchar_t text[16] = L"0";
  GetEnvironmentVariableW(L"SF_OTHER_VERSION", text, 16);
  return int(std::wcstol(text, nullptr, 10));
}
