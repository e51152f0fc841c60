#pragma once
#include <cstddef>

// The most heap memory that this program held at once since the last
// Restart, beyond what it held then.  The program's operator new and delete
// count it (HeapPeak.cpp replaces them), so link it into one test program
// only.
namespace heap_peak {
void Restart();
size_t Peak();
} // namespace heap_peak
