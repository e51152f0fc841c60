#pragma once
#include "Picture.h"

// Tessaro's icon: data going from one computer (blue screen, top left) to
// another (green screen, bottom right) along an orange arrow.  `size` is 32
// or 16; the small one has its own coordinates so that its lines stay sharp.
Picture DrawTessaroIcon(int size);
