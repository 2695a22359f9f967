#pragma once
// Records what a piece of code asks of operator new: the largest single
// allocation, so tests can prove that a claimed size is not believed before
// the data proves it, and the peak of the bytes held at once.
#include <cstddef>

namespace kel::test {

// Starts recording from zero (the peak from the bytes held now).
void ResetLargestAllocation();
// The largest size passed to operator new since the last reset.
std::size_t LargestAllocation();
// The most bytes held through operator new at once since the last reset,
// beyond those held at the reset.
std::size_t PeakHeldBytes();
// From now on operator new refuses (std::bad_alloc) what would hold more
// than `bytes` beyond those held at the last reset; 0 lifts the limit.
void LimitHeldBytes(std::size_t bytes);

}  // namespace kel::test
