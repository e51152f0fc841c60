#pragma once
#include "AviWriter.h"
#include "Canvas.h"

#include <vector>

// The three looping pictures of the wait dialog.  Each clip's last frame
// leads smoothly back into its first, so the control can loop it for ever.
// Palette entry 0 is the background: the animation control takes the top
// left pixel's colour as the transparent one.
struct Artwork {
    std::vector<PaletteEntry> palette;
    // Draws frame `frame` of `count` on a canvas cleared to entry 0.
    void (*draw)(Canvas& canvas, int frame, int count);
};

Artwork BouncingBall();  // a ball bouncing from wall to wall
Artwork TurningWheel();  // a spoked wheel turning once per loop
Artwork WalkingFigure(); // a stick figure walking on a moving ground
