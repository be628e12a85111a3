#pragma once
// Kept for the contract, reached by no export: the registry of smart
// objects by ID, which no operation fills.
#include <map>

#include "utils/runtime/Utils.Smart.h"

namespace Utils::Smart {

// Process-wide registry of objects by ID; it holds one reference of each.
class WeakFactory {
 public:
  static WeakFactory& Instance();

  // Removes a registered object; an unknown ID raises a report.
  void DropId(const int id);

 private:
  WeakFactory() = default;
  int counter_ = 0;
  std::map<int, Pointer<Base>> objects_;
};

}  // namespace Utils::Smart
