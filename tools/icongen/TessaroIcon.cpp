#include "TessaroIcon.h"

#include <utility>
#include <vector>

namespace {

using Points = std::vector<std::pair<double, double>>;

const Rgba kFrame{47, 59, 76, 255};
const Rgba kStand{122, 132, 148, 255};
const Rgba kArrow{242, 140, 30, 255};
const Rgba kBlue{60, 130, 220, 255};
const Rgba kBlueLight{120, 172, 238, 255};
const Rgba kGreen{58, 168, 96, 255};
const Rgba kGreenLight{118, 204, 146, 255};

// Where the parts of one size go, in pixels.
struct Layout {
    double width, height;  // a monitor's frame
    double border, radius; // the frame around the screen, its corners
    double standWidth, standHeight, baseWidth, baseHeight;
    double ax, ay, bx, by; // the two monitors' top left corners
    Points arrow;
};

Layout Large() {
    return {17,
            12,
            1.5,
            2,
            3,
            2,
            9,
            1.5,
            0.5,
            1,
            14.5,
            14.5,
            // an L from under the first monitor to the left of the second
            {{3.5, 17.5},
             {7.5, 17.5},
             {7.5, 22.5},
             {10, 22.5},
             {10, 19.75},
             {14, 24.25},
             {10, 28.75},
             {10, 26},
             {3.5, 26}}};
}

Layout Small() {
    return {9,
            6,
            1,
            1,
            1,
            1,
            5,
            1,
            0,
            0,
            7,
            8,
            {{1, 9.5},
             {3, 9.5},
             {3, 12},
             {4.5, 12},
             {4.5, 10.5},
             {7, 13},
             {4.5, 15.5},
             {4.5, 14},
             {1, 14}}};
}

// A monitor on its stand; the upper part of the screen is lighter, like a
// reflection.
void DrawMonitor(Picture& p, const Layout& l, double x, double y, Rgba screen, Rgba light) {
    const double cx = x + l.width / 2;
    p.FillRoundRect(cx - l.baseWidth / 2, y + l.height + l.standHeight, cx + l.baseWidth / 2,
                    y + l.height + l.standHeight + l.baseHeight, l.baseHeight / 2, kStand);
    p.FillRoundRect(cx - l.standWidth / 2, y + l.height - 0.5, cx + l.standWidth / 2,
                    y + l.height + l.standHeight, 0, kStand);
    p.FillRoundRect(x, y, x + l.width, y + l.height, l.radius, kFrame);
    const double b = l.border;
    p.FillRoundRect(x + b, y + b, x + l.width - b, y + l.height - b, 0, screen);
    p.FillRoundRect(x + b, y + b, x + l.width - b, y + b + (l.height - 2 * b) * 0.4, 0, light);
}

} // namespace

Picture DrawTessaroIcon(int size) {
    const Layout l = size >= 32 ? Large() : Small();
    Picture p(size, size);
    DrawMonitor(p, l, l.ax, l.ay, kBlue, kBlueLight);
    DrawMonitor(p, l, l.bx, l.by, kGreen, kGreenLight);
    p.FillPolygon(l.arrow, kArrow);
    return p;
}
