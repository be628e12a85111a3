#pragma once
// Warnings are real message boxes that block the caller until closed. While a
// WarningBoxes lives, a thread of its own records the caption and text of
// every dialog box of this process and closes it, so a test that triggers a
// warning returns and can check what was shown.
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace UnitTest {

struct ShownBox {
  std::wstring caption, text;
  // A warning's message comes last, after the signature and location.
  bool EndsWith(const std::wstring& end) const {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
  }
};

class WarningBoxes {
 public:
  WarningBoxes() : thread_([this] { Run(); }) {}
  ~WarningBoxes() { Stop(); }

  // Ends the watching; every box seen, in order.
  std::vector<ShownBox> Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return seen_;  // the thread is gone: no lock needed
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
        seen_.push_back({TextOf(box), TextOf(GetDlgItem(box, 0xFFFF))});
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        // Seen once: the box must be gone before the next look, or it would
        // count again (and fail the test rather than hang it).
        for (int i = 0; i < 250 && IsWindow(box); ++i) Sleep(20);
      }
    }
  }

  std::atomic<bool> stop_{false};
  std::vector<ShownBox> seen_;  // only the watching thread writes, until joined
  std::thread thread_;
};

}  // namespace UnitTest
