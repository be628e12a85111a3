#pragma once
// What a step that can fail without raising answers: done, or the failure
// that stopped it, with how many further failures the same call met. The
// export's frame alone turns it into the thread's report.
#include <optional>
#include <string>
#include <utility>

#include "utils/errors/Utils.Error.h"

namespace Utils::Error {

class Outcome {
 public:
  Outcome() = default;  // done
  Outcome(Failure failure) : failure_(std::move(failure)) {}  // NOLINT: a failure is an outcome

  explicit operator bool() const { return !failure_.has_value(); }

  // Adds what a further step answered: the first failure stays the reason,
  // every later one is counted.
  Outcome& operator&=(const Outcome& next) {
    if (!next.failure_) return *this;
    if (!failure_) return *this = next;
    others_ += 1 + next.others_;
    return *this;
  }

  // The reason's report, and a line counting the others; empty when done.
  std::wstring Text() const {
    if (!failure_) return std::wstring();
    std::wstring text = failure_->Text();
    if (others_ > 0) text += L"Других отказов в этом вызове: " + std::to_wstring(others_) + L".\n";
    return text;
  }

 private:
  std::optional<Failure> failure_;
  unsigned others_ = 0;
};

}  // namespace Utils::Error
