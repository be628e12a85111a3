#include "host/Boxes.h"

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "utils/runtime/Utils.Handle.h"

namespace Host {
namespace {

constexpr int kTextControl = 0xFFFF;  // the static control with a box's text
constexpr DWORD kPatrolMs = 20;
// How long the patrol leaves a box of a hooked thread to its hook: the hook
// catches it as it activates, which on a busy machine comes well after it
// shows; one the hook never saw is closed by the patrol after that.
constexpr ULONGLONG kHookGraceMs = 5000;
// Mark a box as handed to the sink, and as counted by its thread's hook.
constexpr wchar_t kCaught[] = L"Host.BoxCaught";
constexpr wchar_t kCounted[] = L"Host.BoxCounted";

std::mutex gMutex;  // guards gSink, gHooked and the claiming of boxes
BoxSink gSink;
std::multiset<DWORD> gHooked;  // the threads with a BoxHook

// Read without a message to the box's thread, which is blocked in the box.
std::wstring TextOf(HWND window) {
  std::wstring text(65536, L'\0');
  text.resize(window == nullptr ? 0 : InternalGetWindowText(window, &text[0], 65536));
  return text;
}

Box Read(HWND box, bool hooked = false) { return Box{TextOf(box), TextOf(GetDlgItem(box, kTextControl)), hooked}; }

// Hands a box to the sink once: the hook and the patrol may both find it,
// and whichever marks it first delivers it, as read once.
void Deliver(HWND window, bool hooked) {
  std::lock_guard<std::mutex> lock(gMutex);
  if (GetPropW(window, kCaught) != nullptr) return;
  const Box box = Read(window, hooked);
  // A box torn down after its hook closed it can still be seen for a
  // moment, its caption, text and marks gone: nothing is left of it.
  if (box.caption.empty() && !hooked) return;
  SetPropW(window, kCaught, reinterpret_cast<HANDLE>(1));
  if (gSink) gSink(box);
}

bool Hooked(DWORD thread) {
  std::lock_guard<std::mutex> lock(gMutex);
  return gHooked.count(thread) != 0;
}

bool IsDialog(HWND window) {
  wchar_t name[16] = {};
  return GetClassNameW(window, name, 16) > 0 && std::wstring(name) == L"#32770";
}

struct ThreadHook {
  Utils::HookHandle hook;
  unsigned nesting = 0;
  std::size_t count = 0;
  Box last;
};
// A plain pointer: a thread_local with a destructor would be destroyed by
// the runtime's thread-exit machinery, which at process exit can hang.
thread_local ThreadHook* tHook = nullptr;

LRESULT CALLBACK CatchOnActivation(int code, WPARAM wParam, LPARAM lParam) {
  const HWND box = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_ACTIVATE && IsDialog(box) && GetPropW(box, kCounted) == nullptr) {
    SetPropW(box, kCounted, reinterpret_cast<HANDLE>(1));
    tHook->last = Read(box, true);
    ++tHook->count;
    Deliver(box, true);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::atomic<bool> gStopPatrol{false};

void Patrol() {
  std::map<HWND, ULONGLONG> seen;  // boxes of hooked threads, since when
  // Boxes are told to close every pass until they are gone.
  for (; !gStopPatrol; Sleep(kPatrolMs)) {
    std::map<HWND, ULONGLONG> still;
    for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", nullptr));) {
      DWORD process = 0;
      const DWORD thread = GetWindowThreadProcessId(box, &process);
      // A box is filled in before it shows.
      if (process != GetCurrentProcessId() || !IsWindowVisible(box)) continue;
      if (Hooked(thread)) {
        const ULONGLONG since = seen.count(box) ? seen[box] : GetTickCount64();
        still[box] = since;
        if (GetTickCount64() - since < kHookGraceMs) continue;
      }
      Deliver(box, false);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    seen.swap(still);
  }
}

void StartPatrol() {
  static struct Thread {
    std::thread thread{Patrol};
    ~Thread() {
      gStopPatrol = true;
      thread.join();
    }
  } patrol;
}

}  // namespace

void SetBoxSink(BoxSink sink) {
  StartPatrol();
  std::lock_guard<std::mutex> lock(gMutex);
  gSink = std::move(sink);
}

BoxHook::BoxHook() {
  StartPatrol();  // catches what a hook that failed to install misses
  if (tHook == nullptr) {
    tHook = new ThreadHook;
    tHook->hook.reset(SetWindowsHookExW(WH_CBT, CatchOnActivation, nullptr, GetCurrentThreadId()));
    if (tHook->hook) {
      std::lock_guard<std::mutex> lock(gMutex);
      gHooked.insert(GetCurrentThreadId());
    }
  }
  ++tHook->nesting;
}

BoxHook::~BoxHook() {
  if (--tHook->nesting > 0) return;
  if (tHook->hook) {
    std::lock_guard<std::mutex> lock(gMutex);
    gHooked.erase(gHooked.find(GetCurrentThreadId()));
  }
  delete tHook;
  tHook = nullptr;
}

bool BoxHook::Installed() const { return static_cast<bool>(tHook->hook); }
std::size_t BoxHook::Count() const { return tHook->count; }
const Box& BoxHook::Last() const { return tHook->last; }

}  // namespace Host
