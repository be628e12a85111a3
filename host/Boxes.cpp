#include "host/Boxes.h"

#include <atomic>
#include <mutex>
#include <thread>

#include "utils/runtime/Utils.Handle.h"

namespace Host {
namespace {

constexpr int kTextControl = 0xFFFF;  // the static control with a box's text
constexpr DWORD kPatrolMs = 20;
// Mark a box as handed to the sink, and as counted by its thread's hook.
constexpr wchar_t kCaught[] = L"Host.BoxCaught";
constexpr wchar_t kCounted[] = L"Host.BoxCounted";

std::mutex gMutex;  // guards gSink and the claiming of boxes
BoxSink gSink;

// Read without a message to the box's thread, which is blocked in the box.
std::wstring TextOf(HWND window) {
  std::wstring text(65536, L'\0');
  text.resize(window == nullptr ? 0 : InternalGetWindowText(window, &text[0], 65536));
  return text;
}

Box Read(HWND box, bool hooked = false) { return Box{TextOf(box), TextOf(GetDlgItem(box, kTextControl)), hooked}; }

// Hands a box to the sink once: the hook and the patrol may both find it,
// and whichever marks it first delivers it.
void Deliver(HWND window, bool hooked) {
  std::lock_guard<std::mutex> lock(gMutex);
  if (GetPropW(window, kCaught) != nullptr) return;
  SetPropW(window, kCaught, reinterpret_cast<HANDLE>(1));
  if (gSink) gSink(Read(window, hooked));
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
  // Boxes are told to close every pass until they are gone.
  for (; !gStopPatrol; Sleep(kPatrolMs)) {
    for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", nullptr));) {
      DWORD process = 0;
      GetWindowThreadProcessId(box, &process);
      // A box is filled in before it shows. One that a hook has just closed
      // can still be seen for a moment while it is torn down, its caption,
      // text and marks already gone: nothing is left to read of it.
      if (process != GetCurrentProcessId() || !IsWindowVisible(box)) continue;
      if (!Read(box).caption.empty()) Deliver(box, false);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
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
  }
  ++tHook->nesting;
}

BoxHook::~BoxHook() {
  if (--tHook->nesting > 0) return;
  delete tHook;
  tHook = nullptr;
}

bool BoxHook::Installed() const { return static_cast<bool>(tHook->hook); }
std::size_t BoxHook::Count() const { return tHook->count; }
const Box& BoxHook::Last() const { return tHook->last; }

}  // namespace Host
