// Kept for the contract, reached by no export: dropping an object from the
// registry of objects by ID (no operation registers one) and the comparisons that a derived class
// must supply (the start-up lock, the one smart object, compares nothing).
#include <string>

#include "utils/errors/Utils.Error.h"
#include "utils/runtime/Utils.Smart.h"

namespace Utils::Smart {
namespace {

constexpr char kDropIdSignature[] = "void __cdecl Utils::Smart::WeakFactory::DropId(const int)";
constexpr char kEqualsSignature[] = "bool __cdecl Utils::Smart::Base::Equals(class Utils::Smart::Base *)";
constexpr char kLessSignature[] = "bool __cdecl Utils::Smart::Base::Less(class Utils::Smart::Base *)";

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

bool Base::Equals(Base*) {
  Error::Raise(SF_SITE(kEqualsSignature, Error::kMethod), MissingComparison(L"равно", L"Equals"), false);
}

bool Base::Less(Base*) {
  Error::Raise(SF_SITE(kLessSignature, Error::kMethod), MissingComparison(L"меньше", L"Less"), false);
}

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
