#include "utils/Utils.Smart.h"

#include <string>

#include "utils/Utils.Error.h"

namespace Utils::Smart {
namespace {

constexpr char kReleaseSignature[] = "void __cdecl Utils::Smart::Base::Release(void)";
constexpr char kDropIdSignature[] =
    "void __cdecl Utils::Smart::WeakFactory::DropId(const int)";
constexpr char kEqualsSignature[] =
    "bool __cdecl Utils::Smart::Base::Equals(class Utils::Smart::Base *)";
constexpr char kLessSignature[] =
    "bool __cdecl Utils::Smart::Base::Less(class Utils::Smart::Base *)";

std::wstring MissingComparison(const wchar_t* condition, const wchar_t* name) {
  return std::wstring(L"Метод позволяет сравнивать объекты по условию \"") +
         condition + L"\" внутри класса умного указателя.\r\n"
         L"Для использования этого метода необходимо определить его в своём коде.\r\n"
         L"Основной метод \"Utils::Smart::Base::" + name + L"()\".\r\n"
         L"Тщательно проверьте этот метод, если он нужен.";
}

struct ClassIdRegistry {
  Sync::CriticalSection section;
  std::map<int, Pointer<_CLASSID>> entries;
};

ClassIdRegistry& ClassIds() {
  static ClassIdRegistry registry;
  return registry;
}

}  // namespace

bool Base::Equals(Base*) {
  Error::Raise(SF_SITE(kEqualsSignature, ""), MissingComparison(L"равно", L"Equals"),
               false);
}

bool Base::Less(Base*) {
  Error::Raise(SF_SITE(kLessSignature, ""), MissingComparison(L"меньше", L"Less"),
               false);
}

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
      Error::Raise(SF_SITE(kReleaseSignature, ""),
                   L"Отрицательное значение счётчика указателей.", false);
    destroy = count_ == 0;
  }
  if (destroy) delete this;
}

WeakFactory& WeakFactory::Instance() {
  Sync::ScopedLock lock(Sync::Master());
  static WeakFactory* factory = new WeakFactory();  // lives as long as the process
  return *factory;
}

int WeakFactory::Register(Base* object) {
  Sync::ScopedLock lock(Sync::Master());
  const int id = counter_++;
  object->id_ = id;
  objects_[id].Assign(object);
  return id;
}

void WeakFactory::DropId(const int id) {
  if (id == -1) return;
  Sync::ScopedLock lock(Sync::Master());
  const auto found = objects_.find(id);
  if (found == objects_.end())
    Error::Raise(SF_SITE(kDropIdSignature, ""),
                 L"Не удалось найти объект с ID = " + std::to_wstring(id), false);
  Base* object = found->second.Get();
  object->id_ = -1;
  objects_.erase(found);
}

bool WeakFactory::Holds(const int id) const {
  Sync::ScopedLock lock(Sync::Master());
  return objects_.count(id) != 0;
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
