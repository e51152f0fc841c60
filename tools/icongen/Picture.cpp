#include "Picture.h"

#include <algorithm>
#include <cmath>

namespace {
const int kSamples = 4; // per axis
} // namespace

Picture::Picture(int width, int height)
    : m_width(width), m_height(height),
      m_pixels(static_cast<size_t>(width) * height, Rgba{0, 0, 0, 0}) {}

// Counts the samples of each pixel of the box that lie inside the shape; the
// share that does is how much of the colour the pixel takes.
void Picture::Fill(double left, double top, double right, double bottom, const Inside& inside,
                   Rgba colour) {
    const int x0 = std::max(0, static_cast<int>(std::floor(left)));
    const int y0 = std::max(0, static_cast<int>(std::floor(top)));
    const int x1 = std::min(m_width, static_cast<int>(std::ceil(right)));
    const int y1 = std::min(m_height, static_cast<int>(std::ceil(bottom)));
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx)
                    hits += inside(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples);
            if (hits)
                Blend(x, y, colour, static_cast<double>(hits) / (kSamples * kSamples));
        }
}

// "Over" compositing with straight alpha.
void Picture::Blend(int x, int y, Rgba colour, double coverage) {
    Rgba& dst = m_pixels[static_cast<size_t>(y) * m_width + x];
    const double sa = colour.a / 255.0 * coverage;
    const double da = dst.a / 255.0;
    const double oa = sa + da * (1.0 - sa);
    if (oa <= 0.0)
        return;
    const auto mix = [&](uint8_t s, uint8_t d) {
        return static_cast<uint8_t>(std::lround((s * sa + d * da * (1.0 - sa)) / oa));
    };
    dst = Rgba{mix(colour.r, dst.r), mix(colour.g, dst.g), mix(colour.b, dst.b),
               static_cast<uint8_t>(std::lround(oa * 255.0))};
}

void Picture::FillRoundRect(double left, double top, double right, double bottom, double radius,
                            Rgba colour) {
    Fill(
        left, top, right, bottom,
        [=](double x, double y) {
            if (x < left || x >= right || y < top || y >= bottom)
                return false;
            // Distance into the corner square, 0 outside the corners.
            const double dx = std::max({left + radius - x, x - (right - radius), 0.0});
            const double dy = std::max({top + radius - y, y - (bottom - radius), 0.0});
            return dx * dx + dy * dy <= radius * radius;
        },
        colour);
}

void Picture::FillPolygon(const std::vector<std::pair<double, double>>& points, Rgba colour) {
    double left = m_width, top = m_height, right = 0, bottom = 0;
    for (const auto& [px, py] : points) {
        left = std::min(left, px);
        right = std::max(right, px);
        top = std::min(top, py);
        bottom = std::max(bottom, py);
    }
    Fill(
        left, top, right, bottom,
        [&points](double x, double y) {
            bool in = false;
            for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
                const auto& [xi, yi] = points[i];
                const auto& [xj, yj] = points[j];
                if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
                    in = !in;
            }
            return in;
        },
        colour);
}
