#include "utils/contract/Utils.Smart.Registry.h"

#include <string>

#include "utils/runtime/Utils.Failure.h"

namespace Utils::Smart {
namespace {

constexpr char kDropIdSignature[] = "void __cdecl Utils::Smart::WeakFactory::DropId(const int)";

}  // namespace

WeakFactory& WeakFactory::Instance() {
  Sync::ScopedLock lock(Sync::Master());
  static WeakFactory* factory = new WeakFactory();  // lives as long as the process
  return *factory;
}

void WeakFactory::DropId(const int id) {
  if (id == -1) return;
  Sync::ScopedLock lock(Sync::Master());
  const auto found = objects_.find(id);
  if (found == objects_.end())
    Error::Raise(SF_SITE(kDropIdSignature, Error::kMethod), L"Не удалось найти объект с ID = " + std::to_wstring(id),
                 false);
  Base* object = found->second.Get();
  object->id_ = -1;
  objects_.erase(found);
}

}  // namespace Utils::Smart
