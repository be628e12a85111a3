#pragma once
// Range checks that turn (total, start, count) into a number of elements.
#include "utils/runtime/Utils.Failure.h"

namespace Utils::Checking {

// The largest value of an unsigned count or start: every element.
template <class T> constexpr T All = static_cast<T>(~static_cast<T>(0));

// Forward: the number of elements to treat from start on; count All (or a
// count past the end) means up to the end. Refuses count 0, total 0 and a
// start at or past the end with a report that quotes the caller's header.
// Instantiated for <u64,u64,u64> and <u64,unsigned long,unsigned long>.
template <class Total, class Start, class Count>
Count CountDirect(const Error::Site& caller, const Total total, const Start start, const Count count);

// Backward: a start of All or past the end is moved to the last element;
// returns the window's length from its low end up to start. Refuses total 0.
// Instantiated for <u64,u64,u64>.
template <class Total, class Start, class Count>
Count CountReverse(const Error::Site& caller, const Total total, Start& start, const Count count);

}  // namespace Utils::Checking
