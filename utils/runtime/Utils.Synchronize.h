#pragma once
// Critical sections, scoped locks and the process-wide master lock.
#include <windows.h>

namespace Utils::Sync {

// Owns one Windows critical section, initialised with spin count 1.
class CriticalSection {
 public:
  CriticalSection();
  virtual ~CriticalSection();
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  // Raises a report when Windows cannot initialise the section.
  void Init(unsigned long spinCount);
  void Enter();
  void Leave();

 private:
  CRITICAL_SECTION section_;
};

// Holds a critical section for the length of a scope.
template <class T> class Lock {
 public:
  explicit Lock(T& section) : section_(&section) { section_->Enter(); }
  virtual ~Lock() { Release(); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

  void Release() {
    if (section_ == nullptr) return;
    section_->Leave();
    section_ = nullptr;
  }

 private:
  T* section_;
};

using ScopedLock = Lock<CriticalSection>;

// The master lock guards reference counts and the creation of singletons.
// It is created on first use, safely when several threads race to it.
CriticalSection& Master();

// Destroys the master lock at unload; a later use creates a new one.
void DestroyMaster();

}  // namespace Utils::Sync
