#pragma once
// Warnings are real message boxes that block the caller until closed. While a
// WarningBoxes lives, a thread of its own closes every dialog box of this
// process and records its caption and text, so a test that triggers a
// warning returns and can check what was shown.
#include <windows.h>

#include <atomic>
#include <iterator>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace UnitTest {

struct ShownBox {
  std::wstring caption;
  std::wstring text;
};

class WarningBoxes {
 public:
  WarningBoxes() : thread_([this] { Run(); }) {}
  ~WarningBoxes() { Stop(); }
  WarningBoxes(const WarningBoxes&) = delete;
  WarningBoxes& operator=(const WarningBoxes&) = delete;

  // Every box seen so far, in order; the watching ends.
  std::vector<ShownBox> Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }

 private:
  static constexpr DWORD kPollMs = 20;

  static BOOL CALLBACK Collect(HWND window, LPARAM found) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[16] = {};
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        GetClassNameW(window, name, 16) > 0 && lstrcmpW(name, L"#32770") == 0)
      reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
  }

  // The box belongs to the blocked thread under test: ask with a time limit.
  static std::wstring TextOf(HWND window) {
    std::wstring text(4096, L'\0');
    DWORD_PTR copied = 0;
    if (window == nullptr ||
        !SendMessageTimeoutW(window, WM_GETTEXT, text.size(),
                             reinterpret_cast<LPARAM>(&text[0]),
                             SMTO_ABORTIFHUNG, 1000, &copied))
      return std::wstring();
    text.resize(copied);
    return text;
  }

  void Run() {
    std::set<HWND> answered;
    while (!stop_) {
      // A handle may come back for a later box once the earlier one is gone.
      for (auto it = answered.begin(); it != answered.end();)
        it = IsWindow(*it) ? std::next(it) : answered.erase(it);
      std::vector<HWND> found;
      EnumWindows(Collect, reinterpret_cast<LPARAM>(&found));
      for (HWND box : found) {
        if (answered.count(box) != 0) {
          PostMessageW(box, WM_CLOSE, 0, 0);
          continue;
        }
        ShownBox shown{TextOf(box), TextOf(GetDlgItem(box, 0xFFFF))};
        {
          std::lock_guard<std::mutex> lock(mutex_);
          seen_.push_back(shown);
        }
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        answered.insert(box);
      }
      Sleep(kPollMs);
    }
  }

  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<ShownBox> seen_;
  std::thread thread_;
};

}  // namespace UnitTest
