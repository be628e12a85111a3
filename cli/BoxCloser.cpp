#include "cli/BoxCloser.h"

#include <map>
#include <string>
#include <vector>

#include "cli/Console.h"

namespace Cli {
namespace {

constexpr DWORD kPollMs = 20;
constexpr DWORD kCloseAgainMs = 1000;
// The static control that holds a message box's text.
constexpr int kTextControl = 0xFFFF;

BOOL CALLBACK CollectBox(HWND window, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t className[16] = {};
  if (process == GetCurrentProcessId() && GetClassNameW(window, className, 16) > 0 &&
      std::wstring(className) == L"#32770")
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  return TRUE;
}

std::vector<HWND> OwnBoxes() {
  std::vector<HWND> found;
  EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&found));
  return found;
}

// The box belongs to a thread blocked in it: ask with a time limit.
std::wstring TextOf(HWND window) {
  std::wstring text(8192, L'\0');
  DWORD_PTR copied = 0;
  if (window == nullptr ||
      !SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                           SMTO_ABORTIFHUNG, 1000, &copied))
    return std::wstring();
  text.resize(copied);
  return text;
}

void Close(HWND box) {
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  PostMessageW(box, WM_CLOSE, 0, 0);
}

}  // namespace

BoxCloser::BoxCloser() : thread_([this] { Patrol(); }) {}

BoxCloser::~BoxCloser() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void BoxCloser::Patrol() {
  // Boxes already copied, with when they were last told to close.
  std::map<HWND, DWORD> closing;
  while (!stop_) {
    std::map<HWND, DWORD> open;
    for (HWND box : OwnBoxes()) {
      const auto known = closing.find(box);
      if (known != closing.end()) {
        DWORD since = known->second;
        if (GetTickCount() - since > kCloseAgainMs) {
          Close(box);
          since = GetTickCount();
        }
        open[box] = since;
        continue;
      }
      // A box is filled in before it is shown.
      if (!IsWindowVisible(box)) continue;
      Console::Err(Console::Indented(L"message box \"" + TextOf(box) + L"\":",
                                     TextOf(GetDlgItem(box, kTextControl))));
      ++seen_;
      Close(box);
      open[box] = GetTickCount();
    }
    closing.swap(open);
    Sleep(kPollMs);
  }
}

}  // namespace Cli
