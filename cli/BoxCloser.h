#pragma once
// For --boxes --close-boxes: while alive, every message box of this process
// is copied to standard error and closed, so that a failing export returns
// at once instead of waiting for a click that never comes.
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <thread>

namespace Cli {

class BoxCloser {
 public:
  BoxCloser();
  ~BoxCloser();
  BoxCloser(const BoxCloser&) = delete;
  BoxCloser& operator=(const BoxCloser&) = delete;

  // Boxes seen so far. A box is counted before it is closed, so a call that
  // showed one has been counted by the time it returns.
  std::size_t Seen() const { return seen_; }

 private:
  void Patrol();

  std::atomic<bool> stop_{false};
  std::atomic<std::size_t> seen_{0};
  std::thread thread_;
};

}  // namespace Cli
