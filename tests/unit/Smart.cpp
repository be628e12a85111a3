// Reference counts, the ID registry and the master lock.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "utils/Utils.Smart.h"

namespace {

using Utils::Smart::Base;
using Utils::Smart::Pointer;
using Utils::Smart::WeakFactory;

struct Counted : Base {
  explicit Counted(int* destroyed) : destroyed_(destroyed) {}
  ~Counted() override { ++*destroyed_; }
  int* destroyed_;
};

TEST(SmartPointer, CopiesAddAndDropReferences) {
  int destroyed = 0;
  auto* object = new Counted(&destroyed);
  {
    Pointer<Counted> first(object);
    EXPECT_EQ(object->Count(), 1);
    {
      Pointer<Counted> second(first);
      Pointer<Counted> third;
      third = second;
      EXPECT_EQ(object->Count(), 3);
    }
    EXPECT_EQ(object->Count(), 1);
    EXPECT_EQ(destroyed, 0);
  }
  EXPECT_EQ(destroyed, 1);
}

TEST(SmartPointer, AssigningReleasesThePreviousObject) {
  int destroyed = 0;
  Pointer<Counted> held(new Counted(&destroyed));
  held.Assign(new Counted(&destroyed));
  EXPECT_EQ(destroyed, 1);
  held.Reset();
  EXPECT_EQ(destroyed, 2);
  EXPECT_FALSE(held);
}

TEST(SmartPointer, ReleaseBelowZeroIsReportedAndDestroysNothing) {
  int destroyed = 0;
  Counted object(&destroyed);
  try {
    object.Release();
    FAIL() << "no report";
  } catch (const std::wstring& report) {
    EXPECT_EQ(report.rfind(L"Ошибка в методе \"void __cdecl Utils::Smart::Base::Release(void)\"!\r\n", 0), 0u)
        << report;
    EXPECT_NE(report.find(L"\nОтрицательное значение счётчика указателей.\n"), std::wstring::npos);
  }
  EXPECT_EQ(object.Count(), -1);
  EXPECT_EQ(destroyed, 0);
}

TEST(SmartPointer, CountsStayExactUnderConcurrentCopies) {
  int destroyed = 0;
  Pointer<Counted> shared(new Counted(&destroyed));
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 2000; ++i) Pointer<Counted> copy(shared);
    });
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(shared->Count(), 1);
  EXPECT_EQ(destroyed, 0);
}

TEST(SmartBase, BaseComparisonsMustBeSupplied) {
  int destroyed = 0;
  Counted a(&destroyed), b(&destroyed);
  EXPECT_THROW(a.Equals(&b), std::wstring);
  try {
    a.Less(&b);
  } catch (const std::wstring& report) {
    EXPECT_NE(report.find(L"условию \"меньше\""), std::wstring::npos);
    EXPECT_NE(report.find(L"Основной метод \"Utils::Smart::Base::Less()\"."), std::wstring::npos);
  }
}

TEST(WeakFactory, RegistryHoldsTheLastReferenceAndDropsIt) {
  int destroyed = 0;
  auto* object = new Counted(&destroyed);
  int id = -1;
  {
    Pointer<Counted> user(object);
    id = WeakFactory::Instance().Register(object);
    EXPECT_EQ(object->Count(), 2);
  }
  // The user's release left only the registry's reference: it is dropped.
  EXPECT_EQ(destroyed, 1);
  EXPECT_FALSE(WeakFactory::Instance().Holds(id));
}

TEST(WeakFactory, UnknownIdIsReportedAndMinusOneIgnored) {
  EXPECT_NO_THROW(WeakFactory::Instance().DropId(-1));
  try {
    WeakFactory::Instance().DropId(987654);
    FAIL() << "no report";
  } catch (const std::wstring& report) {
    EXPECT_NE(report.find(L"\nНе удалось найти объект с ID = 987654\n"), std::wstring::npos)
        << report;
  }
}

TEST(MasterLock, FirstUseFromManyThreadsYieldsOneLock) {
  Utils::Sync::DestroyMaster();
  std::vector<Utils::Sync::CriticalSection*> seen(8);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < seen.size(); ++t)
    threads.emplace_back([&, t] { seen[t] = &Utils::Sync::Master(); });
  for (auto& thread : threads) thread.join();
  for (auto* lock : seen) EXPECT_EQ(lock, seen[0]);
  Utils::Sync::ScopedLock usable(*seen[0]);
}

}  // namespace
