#pragma once
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

// A colour with straight (not premultiplied) alpha, each channel 0 to 255.
struct Rgba {
    uint8_t r, g, b, a;
};

// A true-colour picture with an alpha channel, top row first, cleared to
// transparent.  Shapes take coordinates in pixels (the pixel (x, y) covers
// x..x+1, y..y+1) and are smoothed by sampling each pixel 4 x 4 times.
class Picture {
public:
    Picture(int width, int height);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Rgba At(int x, int y) const { return m_pixels[static_cast<size_t>(y) * m_width + x]; }

    void FillRoundRect(double left, double top, double right, double bottom, double radius,
                       Rgba colour);
    // A closed polygon, filled by the even-odd rule.
    void FillPolygon(const std::vector<std::pair<double, double>>& points, Rgba colour);

private:
    using Inside = std::function<bool(double x, double y)>;
    void Fill(double left, double top, double right, double bottom, const Inside& inside,
              Rgba colour);
    void Blend(int x, int y, Rgba colour, double coverage);

    int m_width;
    int m_height;
    std::vector<Rgba> m_pixels;
};
