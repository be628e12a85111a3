#include "utils/errors/Utils.ThreadState.h"

#include <windows.h>

#include <new>

#include "utils/runtime/Utils.Handle.h"
#include "utils/runtime/Utils.LastError.h"

namespace Utils::ThreadState {
namespace {

constexpr wchar_t kLost[] = L"Отчёт об ошибке не сохранён: не хватило памяти.";
// A record keeps the buffer of its largest report until a call clears it;
// past this many characters the buffer goes back to the heap.
constexpr std::size_t kKeptCapacity = 4096;

struct Record {
  int mode = kBoxes;
  bool lost = false;
  std::wstring report;
  std::wstring note;
  Record* previous = nullptr;
  Record* next = nullptr;
};

// Every live record is on one list, so that an unload can free the records
// of threads that outlive the library. The lock guards the list and the
// slot; nothing done under it allocates or waits. An SRW lock needs neither
// set-up nor tear-down, so it serves at any moment of load and unload,
// DllMain included.
SRWLOCK g_lock = SRWLOCK_INIT;
TlsSlot g_slot;
Record* g_first = nullptr;
std::size_t g_live = 0;

// The lock held for a scope, by writers alone or by readers together.
template <void(WINAPI* acquire)(PSRWLOCK), void(WINAPI* release)(PSRWLOCK)> class Locked {
 public:
  Locked() { acquire(&g_lock); }
  ~Locked() { release(&g_lock); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
};
using Exclusive = Locked<AcquireSRWLockExclusive, ReleaseSRWLockExclusive>;
using Shared = Locked<AcquireSRWLockShared, ReleaseSRWLockShared>;

void Link(Record* record) {
  record->next = g_first;
  if (g_first != nullptr) g_first->previous = record;
  g_first = record;
  ++g_live;
}

void Unlink(Record* record) {
  if (record->previous != nullptr) record->previous->next = record->next;
  else g_first = record->next;
  if (record->next != nullptr) record->next->previous = record->previous;
  --g_live;
}

// TlsGetValue and TlsSetValue set the last error even when they succeed,
// and a report composed afterwards must still describe the error before.
Record* Mine() noexcept {
  const KeptLastError kept;
  const Shared lock;
  return g_slot ? static_cast<Record*>(TlsGetValue(g_slot.get())) : nullptr;
}

// The record is made before the lock is taken: no allocation under it.
Record* MineOrNew() noexcept {
  if (Record* record = Mine()) return record;
  Record* fresh = new (std::nothrow) Record;
  if (fresh == nullptr) return nullptr;
  bool adopted = false;
  {
    const KeptLastError kept;
    const Exclusive lock;
    if (!g_slot) g_slot.reset(TlsAlloc());
    adopted = g_slot && TlsSetValue(g_slot.get(), fresh);
    if (adopted) Link(fresh);
  }
  if (adopted) return fresh;
  delete fresh;
  return nullptr;
}

void Separate(std::wstring& text) {
  if (text.empty()) return;
  if (text.back() != L'\n') text += L"\r\n";
  text += L"\r\n";
}

}  // namespace

int SetMode(int mode) noexcept {
  if (mode != kAsk && mode != kBoxes && mode != kQuiet) return -1;
  Record* record = mode == kQuiet ? MineOrNew() : Mine();
  if (record == nullptr) return mode == kQuiet ? -1 : kBoxes;
  const int before = record->mode;
  if (mode != kAsk) record->mode = mode;
  return before;
}

bool Quiet() noexcept {
  const Record* record = Mine();
  return record != nullptr && record->mode == kQuiet;
}

void ClearReport() noexcept {
  Record* record = Mine();
  if (record == nullptr) return;
  record->lost = false;
  if (record->report.capacity() > kKeptCapacity) std::wstring().swap(record->report);
  record->report.clear();
  std::wstring().swap(record->note);
}

void KeepNote(const std::wstring& reason) noexcept {
  Record* record = MineOrNew();
  if (record == nullptr || reason.empty()) return;
  try {
    record->note = reason;
  } catch (...) {
  }
}

std::wstring TakeNote() {
  Record* record = Mine();
  if (record == nullptr || record->note.empty()) return std::wstring();
  std::wstring note;
  note.swap(record->note);
  return note;
}

void KeepReport(const std::wstring& report) noexcept {
  Record* record = MineOrNew();
  if (record == nullptr) return;
  try {
    Separate(record->report);
    record->report += report;
  } catch (...) {
    record->lost = true;
  }
}

std::wstring_view LastReport() noexcept {
  const Record* record = Mine();
  if (record == nullptr) return std::wstring_view();
  if (record->lost) return kLost;
  return record->report;
}

void ThreadEnds() noexcept {
  Record* record = nullptr;
  {
    const KeptLastError kept;
    const Exclusive lock;
    if (!g_slot) return;
    record = static_cast<Record*>(TlsGetValue(g_slot.get()));
    if (record == nullptr) return;
    TlsSetValue(g_slot.get(), nullptr);
    Unlink(record);
  }
  delete record;
}

void FreeAll() noexcept {
  Record* first = nullptr;
  {
    const Exclusive lock;
    first = g_first;
    g_first = nullptr;
    g_live = 0;
    // Freeing the slot drops every thread's value in it: a thread that
    // calls again finds no record and gets a new slot.
    g_slot.reset();
  }
  while (first != nullptr) {
    Record* const next = first->next;
    delete first;
    first = next;
  }
}

std::size_t Live() noexcept {
  const Shared lock;
  return g_live;
}

}  // namespace Utils::ThreadState
