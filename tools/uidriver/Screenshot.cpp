#include "Screenshot.h"

#include "Error.h"
#include "Mbcs.h"
#include "ScopedHandle_win.h"

#include <fstream>
#include <string>

namespace uidriver {

// Copies through a 32-bit DIB so that the pixels come out in one layout
// whatever the source's depth; the unused top byte is cleared.  A bitmap
// the system cannot make throws: no pixels are read from nowhere.
ScreenImage CaptureDC(HDC source, const RECT& rect) {
    ScreenImage image;
    image.width = rect.right - rect.left;
    image.height = rect.bottom - rect.top;
    if (image.width <= 0 || image.height <= 0)
        return ScreenImage();
    const CMemoryDC mem(::CreateCompatibleDC(source));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = image.width;
    bi.bmiHeader.biHeight = -image.height; // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const CGdiObject<HBITMAP> dib(
        ::CreateDIBSection(source, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!mem || !dib || !bits)
        ThrowLastError(std::string(!mem ? "CreateCompatibleDC" : "CreateDIBSection") + " for " +
                       std::to_string(image.width) + "x" + std::to_string(image.height) +
                       " pixels");
    const CObjectSelection selected(mem.Get(), dib.Get());
    ::BitBlt(mem.Get(), 0, 0, image.width, image.height, source, rect.left, rect.top, SRCCOPY);
    ::GdiFlush();
    const auto* px = static_cast<const uint32_t*>(bits);
    image.pixels.assign(px, px + static_cast<size_t>(image.width) * image.height);
    for (uint32_t& p : image.pixels)
        p &= 0x00FFFFFF;
    return image;
}

ScreenImage CaptureScreen(const RECT& rect) {
    const CClientDC screen(nullptr);
    return CaptureDC(screen.Get(), rect);
}

ScreenImage CaptureWholeScreen() {
    const RECT all{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return CaptureScreen(all);
}

bool SaveBmp(const ScreenImage& image, const std::string& path) {
    const int stride = (image.width * 3 + 3) & ~3;
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof ih;
    ih.biWidth = image.width;
    ih.biHeight = image.height; // bottom-up rows in the file
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biSizeImage = static_cast<DWORD>(stride) * static_cast<DWORD>(image.height);
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + ih.biSizeImage;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&fh), sizeof fh);
    out.write(reinterpret_cast<const char*>(&ih), sizeof ih);
    std::vector<unsigned char> row(static_cast<size_t>(stride), 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const uint32_t p = image.pixels[static_cast<size_t>(y) * image.width + x];
            row[static_cast<size_t>(x) * 3 + 0] = static_cast<unsigned char>(p);
            row[static_cast<size_t>(x) * 3 + 1] = static_cast<unsigned char>(p >> 8);
            row[static_cast<size_t>(x) * 3 + 2] = static_cast<unsigned char>(p >> 16);
        }
        out.write(reinterpret_cast<const char*>(row.data()), stride);
    }
    return static_cast<bool>(out);
}

namespace {

// The offsets of the separators ('\\' or '/') in `path`.
std::vector<size_t> Separators(const std::string& path) {
    std::vector<size_t> found;
    for (size_t i = 0; i < path.size();) {
        const int n =
            fw::CharLen932(path.data(), static_cast<int>(i), static_cast<int>(path.size()));
        if (n == 1 && (path[i] == '\\' || path[i] == '/'))
            found.push_back(i);
        i += static_cast<size_t>(n);
    }
    return found;
}

// Creates every missing folder of `path`; a trail byte 0x5C inside a
// Japanese name is no separator.  Returns the path with a separator at its end.
std::string CreateFolders(std::string path) {
    for (size_t sep : Separators(path))
        if (sep > 0 && path[sep - 1] != ':')
            ::CreateDirectoryA(path.substr(0, sep).c_str(), nullptr);
    if (!::CreateDirectoryA(path.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        ThrowLastError("CreateDirectoryA " + path);
    const std::vector<size_t> seps = Separators(path);
    if (seps.empty() || seps.back() != path.size() - 1)
        path += '\\';
    return path;
}

} // namespace

std::string SaveScreenshot(const std::string& folder, const std::string& name, const RECT* area) {
    std::string path = CreateFolders(folder) + name;
    if (path.size() < 4 || path.compare(path.size() - 4, 4, ".bmp") != 0)
        path += ".bmp";
    const ScreenImage image = area ? CaptureScreen(*area) : CaptureWholeScreen();
    if (!SaveBmp(image, path))
        throw Error("cannot write the screenshot " + path);
    return path;
}

} // namespace uidriver
