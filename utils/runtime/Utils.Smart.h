#pragma once
// Reference-counted objects whose counts change under the master lock.
#include "utils/runtime/Utils.Synchronize.h"

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
  friend class WeakFactory;  // the registry of objects by ID (utils/contract/)
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

// An entry of the class-ID registry.
class _CLASSID : public virtual Base {
 public:
  bool closing = false;
  Sync::CriticalSection section;
};

// Takes every entry out of the class-ID registry at unload.
void ShutdownClassIds();

}  // namespace Utils::Smart
