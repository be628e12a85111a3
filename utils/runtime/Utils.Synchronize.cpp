#include "utils/runtime/Utils.Synchronize.h"

#include <atomic>
#include <memory>

#include "utils/runtime/Utils.Failure.h"

namespace Utils::Sync {
namespace {

constexpr unsigned long kSpinCount = 1;
constexpr char kInitSignature[] =
    "void __cdecl Utils::Sync::CriticalSection::Init(unsigned long)";

std::atomic<CriticalSection*> g_master{nullptr};

}  // namespace

CriticalSection::CriticalSection() { Init(kSpinCount); }

CriticalSection::~CriticalSection() { DeleteCriticalSection(&section_); }

void CriticalSection::Init(unsigned long spinCount) {
  SetLastError(0);
  if (!InitializeCriticalSectionAndSpinCount(&section_, spinCount))
    Error::Raise(SF_SITE(kInitSignature, Error::kMethod),
                 L"Неудачная инициализация критической секции.", true);
}

void CriticalSection::Enter() { EnterCriticalSection(&section_); }

void CriticalSection::Leave() { LeaveCriticalSection(&section_); }

CriticalSection& Master() {
  if (CriticalSection* current = g_master.load(std::memory_order_acquire))
    return *current;
  // Two first users may both build one; the loser frees its own.
  auto fresh = std::make_unique<CriticalSection>();
  CriticalSection* expected = nullptr;
  if (g_master.compare_exchange_strong(expected, fresh.get(),
                                       std::memory_order_acq_rel))
    return *fresh.release();
  return *expected;
}

void DestroyMaster() {
  delete g_master.exchange(nullptr, std::memory_order_acq_rel);
}

}  // namespace Utils::Sync
