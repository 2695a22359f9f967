#pragma once
// Records the largest single allocation a piece of code asks for, so tests
// can prove that a claimed size is not believed before the data proves it.
#include <cstddef>

namespace kel::test {

// Starts recording from zero.
void ResetLargestAllocation();
// The largest size passed to operator new since the last reset.
std::size_t LargestAllocation();

}  // namespace kel::test
