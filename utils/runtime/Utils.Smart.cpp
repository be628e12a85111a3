#include "utils/runtime/Utils.Smart.h"

#include <map>
#include <string>

#include "utils/runtime/Utils.Failure.h"

namespace Utils::Smart {
namespace {

constexpr char kReleaseSignature[] = "void __cdecl Utils::Smart::Base::Release(void)";
constexpr char kEqualsSignature[] = "bool __cdecl Utils::Smart::Base::Equals(class Utils::Smart::Base *)";
constexpr char kLessSignature[] = "bool __cdecl Utils::Smart::Base::Less(class Utils::Smart::Base *)";

struct ClassIdRegistry {
  Sync::CriticalSection section;
  std::map<int, Pointer<_CLASSID>> entries;
};

ClassIdRegistry& ClassIds() {
  static ClassIdRegistry registry;
  return registry;
}

std::wstring MissingComparison(const wchar_t* condition, const wchar_t* name) {
  return std::wstring(L"Метод позволяет сравнивать объекты по условию \"") + condition +
         L"\" внутри класса умного указателя.\r\n"
         L"Для использования этого метода необходимо определить его в своём коде.\r\n"
         L"Основной метод \"Utils::Smart::Base::" +
         name +
         L"()\".\r\n"
         L"Тщательно проверьте этот метод, если он нужен.";
}

}  // namespace

// No class of the library compares its objects (the start-up lock, the one
// smart object, has no order).
bool Base::Equals(Base*) {
  Error::Raise(SF_SITE(kEqualsSignature, Error::kMethod), MissingComparison(L"равно", L"Equals"), false);
}

bool Base::Less(Base*) {
  Error::Raise(SF_SITE(kLessSignature, Error::kMethod), MissingComparison(L"меньше", L"Less"), false);
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
