#pragma once
// The one owner of Windows handles, with one alias per kind of handle. It
// pulls in nothing of the library, so that any program that loads the DLL
// can hold its handles in it too.
#include <windows.h>

#include <cstdint>
#include <type_traits>

namespace Utils::Smart {

// Owns one Windows handle of type H, closed by close; invalid names the
// value that means "nothing" besides null (for a handle that is a number,
// such as a TLS index, only invalid means nothing: 0 is a real index).
// Move-only: whatever path leaves a scope, a held handle is closed exactly
// once.
template <class H, auto close, std::intptr_t invalid = 0> class Unique {
 public:
  Unique() noexcept = default;
  explicit Unique(H handle) noexcept : handle_(Holds(handle) ? handle : None()) {}
  ~Unique() { reset(); }
  Unique(Unique&& other) noexcept : handle_(other.release()) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;

  H get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return Holds(handle_); }
  // Gives the handle up without closing it.
  H release() noexcept {
    const H handle = handle_;
    handle_ = None();
    return handle;
  }
  void reset(H handle = None()) noexcept {
    const H previous = release();
    handle_ = Holds(handle) ? handle : None();
    if (Holds(previous)) close(previous);
  }
  // Closes now and tells whether the system agreed; nothing is held after.
  bool Close() noexcept { return !Holds(handle_) || close(release()) != FALSE; }

 private:
  static H None() noexcept {
    if constexpr (std::is_pointer_v<H>)
      return reinterpret_cast<H>(invalid);
    else
      return static_cast<H>(invalid);
  }
  // Windows answers "nothing opened" with null or with the invalid value,
  // depending on the function; neither is ever closed.
  static bool Holds(H handle) noexcept {
    if constexpr (std::is_pointer_v<H>)
      return handle != nullptr && handle != None();
    else
      return handle != None();
  }
  H handle_ = None();
};

}  // namespace Utils::Smart

namespace Utils {

using FindHandle = Smart::Unique<HANDLE, &FindClose, -1>;
using FileHandle = Smart::Unique<HANDLE, &CloseHandle, -1>;
using KernelHandle = Smart::Unique<HANDLE, &CloseHandle>;  // process, thread, event
using ModuleHandle = Smart::Unique<HMODULE, &FreeLibrary>;
using HookHandle = Smart::Unique<HHOOK, &UnhookWindowsHookEx>;
using TlsSlot = Smart::Unique<DWORD, &TlsFree, TLS_OUT_OF_INDEXES>;

}  // namespace Utils
