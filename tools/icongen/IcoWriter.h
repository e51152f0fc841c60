#pragma once
#include "Picture.h"

#include <cstdint>
#include <vector>

// An icon file holding the pictures as 32-bit images with alpha, each with
// the AND mask that systems without alpha blending use.
std::vector<uint8_t> BuildIco(const std::vector<Picture>& pictures);
