#include "Canvas.h"

#include <algorithm>
#include <cmath>

Canvas::Canvas(int width, int height, uint8_t background)
    : m_width(width), m_height(height), m_pixels(static_cast<size_t>(width) * height, background) {}

// Visits the pixels whose centres lie in the box, clipped to the picture;
// the shade decides each pixel's new index.
void Canvas::Paint(double left, double top, double right, double bottom, const Shade& shade) {
    const int x0 = std::max(0, static_cast<int>(std::floor(left)));
    const int y0 = std::max(0, static_cast<int>(std::floor(top)));
    const int x1 = std::min(m_width - 1, static_cast<int>(std::ceil(right)));
    const int y1 = std::min(m_height - 1, static_cast<int>(std::ceil(bottom)));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const int index = shade(x + 0.5, y + 0.5);
            if (index >= 0)
                m_pixels[static_cast<size_t>(y) * m_width + x] = static_cast<uint8_t>(index);
        }
}

void Canvas::FillRect(double left, double top, double right, double bottom, uint8_t index) {
    Paint(left, top, right, bottom, [&](double x, double y) {
        return x >= left && x < right && y >= top && y < bottom ? index : -1;
    });
}

void Canvas::FillEllipse(double cx, double cy, double rx, double ry, uint8_t index) {
    Paint(cx - rx, cy - ry, cx + rx, cy + ry, [&](double x, double y) {
        const double u = (x - cx) / rx, v = (y - cy) / ry;
        return u * u + v * v <= 1.0 ? index : -1;
    });
}

void Canvas::Ring(double cx, double cy, double rInner, double rOuter, uint8_t index) {
    Paint(cx - rOuter, cy - rOuter, cx + rOuter, cy + rOuter, [&](double x, double y) {
        const double d = std::hypot(x - cx, y - cy);
        return d >= rInner && d <= rOuter ? index : -1;
    });
}

// A segment with round caps: every pixel within half the thickness of it.
void Canvas::Line(double x0, double y0, double x1, double y1, double thickness, uint8_t index) {
    const double r = thickness / 2;
    const double dx = x1 - x0, dy = y1 - y0;
    const double len2 = dx * dx + dy * dy;
    Paint(std::min(x0, x1) - r, std::min(y0, y1) - r, std::max(x0, x1) + r, std::max(y0, y1) + r,
          [&](double x, double y) {
              double t = len2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / len2 : 0;
              t = std::clamp(t, 0.0, 1.0);
              return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= r ? index : -1;
          });
}

void Canvas::ShadedEllipse(double cx, double cy, double rx, double ry, double lx, double ly,
                           uint8_t first, int steps) {
    const double reach = std::max(rx, ry) + std::hypot(lx - cx, ly - cy);
    Paint(cx - rx, cy - ry, cx + rx, cy + ry, [&](double x, double y) {
        const double u = (x - cx) / rx, v = (y - cy) / ry;
        if (u * u + v * v > 1.0)
            return -1;
        const int step = static_cast<int>(std::hypot(x - lx, y - ly) / reach * steps);
        return first + std::min(step, steps - 1);
    });
}
