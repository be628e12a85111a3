#include "utils/runtime/Utils.Smart.h"

#include <string>

#include "utils/runtime/Utils.Failure.h"

namespace Utils::Smart {
namespace {

constexpr char kReleaseSignature[] = "void __cdecl Utils::Smart::Base::Release(void)";

struct ClassIdRegistry {
  Sync::CriticalSection section;
  std::map<int, Pointer<_CLASSID>> entries;
};

ClassIdRegistry& ClassIds() {
  static ClassIdRegistry registry;
  return registry;
}

}  // namespace

void Base::AddRef() {
  Sync::ScopedLock lock(Sync::Master());
  ++count_;
}

void Base::Release() {
  bool destroy = false;
  {
    Sync::ScopedLock lock(Sync::Master());
    --count_;
    if (count_ == 1 && id_ != -1) {
      // Only the registry's reference is left: dropping it destroys us.
      WeakFactory::Instance().DropId(id_);
      return;
    }
    if (count_ < 0)
      Error::Raise(SF_SITE(kReleaseSignature, Error::kMethod), L"Отрицательное значение счётчика указателей.",
                   false);
    destroy = count_ == 0;
  }
  if (destroy) delete this;
}

void ShutdownClassIds() {
  ClassIdRegistry& registry = ClassIds();
  Sync::ScopedLock lock(registry.section);
  for (auto& entry : registry.entries) entry.second->closing = true;
  while (!registry.entries.empty()) {
    const auto first = registry.entries.begin();
    _CLASSID* object = first->second.Get();
    object->section.Enter();
    // The entry may hold the last reference, so the section is left through
    // a reference of our own.
    Pointer<_CLASSID> keep(object);
    registry.entries.erase(first);
    object->section.Leave();
  }
}

}  // namespace Utils::Smart
