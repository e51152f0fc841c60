#pragma once
#include <cstdint>
#include <functional>
#include <vector>

// A palette-indexed picture, top row first.  Shapes take coordinates in
// pixels with the centre of pixel (x, y) at (x + 0.5, y + 0.5), so that
// figures can move by fractions of a pixel between frames.
class Canvas {
public:
    Canvas(int width, int height, uint8_t background);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    uint8_t At(int x, int y) const { return m_pixels[static_cast<size_t>(y) * m_width + x]; }
    const std::vector<uint8_t>& Pixels() const { return m_pixels; }

    void FillRect(double left, double top, double right, double bottom, uint8_t index);
    void FillEllipse(double cx, double cy, double rx, double ry, uint8_t index);
    void FillCircle(double cx, double cy, double r, uint8_t index) {
        FillEllipse(cx, cy, r, r, index);
    }
    void Ring(double cx, double cy, double rInner, double rOuter, uint8_t index);
    void Line(double x0, double y0, double x1, double y1, double thickness, uint8_t index);
    // A ball lit from (lx, ly): palette entries first .. first + steps - 1
    // run from the lit spot to the far edge.
    void ShadedEllipse(double cx, double cy, double rx, double ry, double lx, double ly,
                       uint8_t first, int steps);

private:
    using Shade = std::function<int(double x, double y)>; // palette index, or -1 to keep
    void Paint(double left, double top, double right, double bottom, const Shade& shade);

    int m_width;
    int m_height;
    std::vector<uint8_t> m_pixels;
};
