#include "host/Boxes.h"

#include <atomic>
#include <mutex>
#include <set>
#include <thread>

#include "utils/Utils.Smart.h"

namespace Host {
namespace {

constexpr int kTextControl = 0xFFFF;  // the static control with a box's text
constexpr DWORD kPatrolMs = 20;
// Marks a box a BoxHook has already delivered.
constexpr wchar_t kCaught[] = L"Host.BoxCaught";

std::mutex gMutex;  // guards gSink
BoxSink gSink;

void Deliver(const Box& box) {
  std::lock_guard<std::mutex> lock(gMutex);
  if (gSink) gSink(box);
}

// Read without a message to the box's thread, which is blocked in the box.
std::wstring TextOf(HWND window) {
  std::wstring text(65536, L'\0');
  text.resize(window == nullptr ? 0 : InternalGetWindowText(window, &text[0], 65536));
  return text;
}

Box Read(HWND box) { return Box{TextOf(box), TextOf(GetDlgItem(box, kTextControl))}; }

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
  if (code == HCBT_ACTIVATE && IsDialog(box) && GetPropW(box, kCaught) == nullptr) {
    SetPropW(box, kCaught, reinterpret_cast<HANDLE>(1));
    tHook->last = Read(box);
    ++tHook->count;
    Deliver(tHook->last);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::atomic<bool> gStopPatrol{false};

void Patrol() {
  // Boxes delivered and told to close; told again every pass until gone.
  std::set<HWND> delivered;
  for (; !gStopPatrol; Sleep(kPatrolMs)) {
    std::set<HWND> open;
    for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", nullptr));) {
      DWORD process = 0;
      GetWindowThreadProcessId(box, &process);
      if (process != GetCurrentProcessId()) continue;
      if (!delivered.count(box) && GetPropW(box, kCaught) == nullptr) {
        if (!IsWindowVisible(box)) continue;  // a box is filled in before it shows
        Deliver(Read(box));
      }
      open.insert(box);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    delivered.swap(open);
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
