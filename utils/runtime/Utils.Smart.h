#pragma once
// Reference-counted objects whose counts change under the master lock, and
// the one owner of Windows handles.
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <type_traits>

#include "utils/Utils.Synchronize.h"

namespace Utils::Smart {

class Base {
 public:
  Base() = default;
  virtual ~Base() = default;
  Base(const Base&) = delete;
  Base& operator=(const Base&) = delete;

  // Comparisons a derived class must supply; the base ones raise a report.
  virtual bool Equals(Base* other);
  virtual bool Less(Base* other);

  void AddRef();
  // Drops one reference; the last one destroys the object. A count that
  // would fall below zero raises a report and destroys nothing.
  void Release();

  int Count() const { return count_; }
  int Id() const { return id_; }

 private:
  friend class WeakFactory;
  int count_ = 0;
  int id_ = -1;
};

// Owns one reference of its object while it holds one.
template <class T> class Pointer {
 public:
  Pointer() = default;
  explicit Pointer(T* object) { Assign(object); }
  Pointer(const Pointer& other) {
    Sync::ScopedLock lock(Sync::Master());
    object_ = other.object_;
    if (object_ != nullptr) AsBase(object_)->AddRef();
  }
  Pointer& operator=(const Pointer& other) {
    if (this != &other) Assign(other.object_);
    return *this;
  }
  virtual ~Pointer() {
    try {
      Reset();
    } catch (...) {
      // A miscounted object is reported by Release; a destructor cannot
      // pass that on.
    }
  }

  void Assign(T* object) {
    T* previous = nullptr;
    {
      Sync::ScopedLock lock(Sync::Master());
      if (object != nullptr) AsBase(object)->AddRef();
      previous = object_;
      object_ = object;
    }
    if (previous != nullptr) AsBase(previous)->Release();
  }

  void Reset() {
    T* previous = nullptr;
    {
      Sync::ScopedLock lock(Sync::Master());
      previous = object_;
      object_ = nullptr;
    }
    if (previous != nullptr) AsBase(previous)->Release();
  }

  T* Get() const { return object_; }
  T* operator->() const { return object_; }
  T& operator*() const { return *object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  static Base* AsBase(T* object) { return object; }
  T* object_ = nullptr;
};

// Process-wide registry of objects by ID; it holds one reference of each.
class WeakFactory {
 public:
  static WeakFactory& Instance();

  // Gives the object the next free ID and keeps a reference to it.
  int Register(Base* object);
  // Removes a registered object; an unknown ID raises a report.
  void DropId(const int id);
  bool Holds(const int id) const;

 private:
  WeakFactory() = default;
  int counter_ = 0;
  std::map<int, Pointer<Base>> objects_;
};

// An entry of the class-ID registry.
class _CLASSID : public virtual Base {
 public:
  bool closing = false;
  Sync::CriticalSection section;
};

// Takes every entry out of the class-ID registry at unload.
void ShutdownClassIds();

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

// One alias per kind of handle the library and its hosts hold.
using FindHandle = Smart::Unique<HANDLE, &FindClose, -1>;
using FileHandle = Smart::Unique<HANDLE, &CloseHandle, -1>;
using KernelHandle = Smart::Unique<HANDLE, &CloseHandle>;  // process, thread, event
using ModuleHandle = Smart::Unique<HMODULE, &FreeLibrary>;
using HookHandle = Smart::Unique<HHOOK, &UnhookWindowsHookEx>;
using TlsSlot = Smart::Unique<DWORD, &TlsFree, TLS_OUT_OF_INDEXES>;

}  // namespace Utils
