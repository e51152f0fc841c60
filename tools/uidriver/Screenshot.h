#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace uidriver {

// The pixels of a screen rectangle, row by row from the top, 0x00RRGGBB.
struct ScreenImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    bool operator==(const ScreenImage& o) const {
        return width == o.width && height == o.height && pixels == o.pixels;
    }
};

ScreenImage CaptureScreen(const RECT& rect);
ScreenImage CaptureWholeScreen();
// Writes a 24-bit BMP; false when the file cannot be written.
bool SaveBmp(const ScreenImage& image, const std::string& path);

} // namespace uidriver
