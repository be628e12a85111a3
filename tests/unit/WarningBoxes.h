#pragma once
// Warnings are real message boxes that block the caller until closed. While a
// WarningBoxes lives, a thread of its own closes every dialog box of this
// process and records its caption and text, so a test that triggers a
// warning returns and can check what was shown.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace UnitTest {

struct ShownBox {
  std::wstring caption;
  std::wstring text;
  // A warning's message comes last, after the signature and location.
  bool EndsWith(const std::wstring& message) const {
    return text.size() >= message.size() && text.rfind(message) == text.size() - message.size();
  }
};

class WarningBoxes {
 public:
  WarningBoxes() : thread_([this] { Run(); }) {}
  ~WarningBoxes() { Stop(); }

  // Every box seen so far, in order; the watching ends.
  std::vector<ShownBox> Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }

 private:
  // Read without a message to the box's thread, which is blocked in the box.
  static std::wstring TextOf(HWND window) {
    wchar_t text[4096] = {};
    return std::wstring(text, window == nullptr ? 0 : InternalGetWindowText(window, text, 4096));
  }

  void Run() {
    for (; !stop_; Sleep(20)) {
      for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", nullptr));) {
        DWORD process = 0;
        GetWindowThreadProcessId(box, &process);
        if (process != GetCurrentProcessId() || !IsWindowVisible(box)) continue;
        {
          std::lock_guard<std::mutex> lock(mutex_);
          seen_.push_back({TextOf(box), TextOf(GetDlgItem(box, 0xFFFF))});
        }
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        // Seen once: the box must be gone before the next look, or it would
        // count again (and fail the test rather than hang it).
        for (int i = 0; i < 250 && IsWindow(box); ++i) Sleep(20);
      }
    }
  }

  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<ShownBox> seen_;
  std::thread thread_;
};

}  // namespace UnitTest
