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

// The pixels of `rect` in the device context `source`; throws Error when
// the system cannot make the bitmap to copy them through.
ScreenImage CaptureDC(HDC source, const RECT& rect);
ScreenImage CaptureScreen(const RECT& rect);
ScreenImage CaptureWholeScreen();
// Writes a 24-bit BMP; false when the file cannot be written.
bool SaveBmp(const ScreenImage& image, const std::string& path);
// Saves the whole screen, or only `area` of it, as `folder`\`name`.bmp,
// creating the folder; returns the file's path, throws Error on failure.
std::string SaveScreenshot(const std::string& folder, const std::string& name,
                           const RECT* area = nullptr);

} // namespace uidriver
