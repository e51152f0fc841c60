#pragma once
#include "Canvas.h"

#include <cstdint>
#include <vector>

// Compresses a picture as a DIB in 8-bit run-length encoding (BI_RLE8):
// rows from the bottom up, every row closed by an end-of-line code and the
// picture by the end-of-bitmap code.  Every pixel is written, so each frame
// stands on its own (a key frame).
std::vector<uint8_t> EncodeRle8(const Canvas& picture);
