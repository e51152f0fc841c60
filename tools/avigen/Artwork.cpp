#include "Artwork.h"

#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;
const PaletteEntry kBackground{240, 240, 240};

// Fraction of the loop that frame `frame` stands at: 0 <= t < 1.
double Phase(int frame, int count) {
    return static_cast<double>(frame) / count;
}

// --- Bouncing ball: entries 1 floor, 2 shadow, 3..8 the ball from lit to dark.

void DrawBall(Canvas& c, int frame, int count) {
    const double t = Phase(frame, count);
    const double floorY = 70, radius = 10;
    // Across and back once per loop, bouncing twice on the way.
    const double x = 16 + 48 * (t < 0.5 ? 2 * t : 2 - 2 * t);
    const double hop = std::fmod(2 * t, 1.0);
    const double height = 4 * hop * (1 - hop); // parabola, 0 on the floor
    // Squashed flat for the frames around the landing.
    const double squash = height < 0.12 ? 0.25 * (1 - height / 0.12) : 0;
    const double rx = radius * (1 + squash), ry = radius * (1 - squash);
    const double cy = floorY - ry - 46 * height;
    c.FillRect(4, floorY, 76, floorY + 2, 1);
    const double shadow = 1 - 0.5 * height;
    c.FillEllipse(x, floorY - 1, 11 * shadow, 2.5 * shadow, 2);
    c.ShadedEllipse(x, cy, rx, ry, x - 4, cy - 4, 3, 6);
}

// --- Turning wheel: entries 1 tyre, 2 spokes, 3 hub, 4 valve marker.

void DrawWheel(Canvas& c, int frame, int count) {
    const double angle = 2 * kPi * Phase(frame, count);
    const double cx = 40, cy = 40;
    c.Ring(cx, cy, 27, 35, 1);
    for (int i = 0; i < 8; ++i) {
        const double a = angle + i * kPi / 4;
        c.Line(cx, cy, cx + 27 * std::cos(a), cy + 27 * std::sin(a), 3, 2);
    }
    c.FillCircle(cx, cy, 7, 3);
    c.FillCircle(cx + 31 * std::cos(angle + kPi / 8), cy + 31 * std::sin(angle + kPi / 8), 3.5, 4);
}

// --- Walking figure: entries 1 figure, 2 ground, 3 ground marks.

struct Point {
    double x, y;
};

// One limb of two segments hanging from `root`: swing is the upper
// segment's angle from straight down (positive: forwards, to the right),
// bend the lower segment's extra angle.
Point Joint(Point root, double length, double angle) {
    return {root.x + length * std::sin(angle), root.y + length * std::cos(angle)};
}

void DrawLimb(Canvas& c, Point root, double length, double swing, double bend) {
    const Point middle = Joint(root, length, swing);
    const Point end = Joint(middle, length, swing + bend);
    c.Line(root.x, root.y, middle.x, middle.y, 3, 1);
    c.Line(middle.x, middle.y, end.x, end.y, 3, 1);
}

void DrawLegs(Canvas& c, Point hip, double phase) {
    for (int side = 0; side < 2; ++side) {
        const double p = phase + side * kPi;
        // A leg bends its knee while it swings forwards.
        const double bend = -0.9 * std::max(0.0, std::sin(p + kPi / 2));
        DrawLimb(c, hip, 12, 0.45 * std::sin(p), bend);
    }
}

void DrawArms(Canvas& c, Point shoulder, double phase) {
    for (int side = 0; side < 2; ++side)
        DrawLimb(c, shoulder, 9, -0.5 * std::sin(phase + side * kPi), 0.5);
}

void DrawWalker(Canvas& c, int frame, int count) {
    const double t = Phase(frame, count);
    const double phase = 2 * kPi * 2 * t; // two strides per loop
    const double groundY = 72;
    c.FillRect(0, groundY, 80, groundY + 2, 2);
    // Marks on the ground slide backwards two mark spacings per loop.
    for (int i = 0; i < 6; ++i) {
        const double x = std::fmod(i * 16 - 32 * t + 96, 96) - 8;
        c.FillRect(x, groundY + 3, x + 6, groundY + 5, 3);
    }
    const double bob = 1.5 * std::fabs(std::cos(phase));
    const Point hip{40, groundY - 24 + bob};
    const Point shoulder{41, hip.y - 19};
    DrawLegs(c, hip, phase);
    c.Line(hip.x, hip.y, shoulder.x, shoulder.y, 3, 1);
    DrawArms(c, {shoulder.x, shoulder.y + 1}, phase);
    c.FillCircle(shoulder.x + 1, shoulder.y - 8, 6, 1);
}

} // namespace

Artwork BouncingBall() {
    return {{kBackground,
             {96, 96, 96},
             {190, 190, 190},
             {255, 214, 200},
             {245, 140, 110},
             {225, 80, 50},
             {200, 50, 30},
             {160, 30, 20},
             {110, 20, 10}},
            &DrawBall};
}

Artwork TurningWheel() {
    return {{kBackground, {50, 50, 60}, {120, 130, 150}, {70, 80, 100}, {230, 170, 20}},
            &DrawWheel};
}

Artwork WalkingFigure() {
    return {{kBackground, {30, 60, 130}, {110, 110, 110}, {160, 160, 160}}, &DrawWalker};
}
