#include "IcoWriter.h"

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// Mask rows are padded to 32 bits.
uint32_t MaskRowBytes(const Picture& p) {
    return static_cast<uint32_t>((p.Width() + 31) / 32 * 4);
}

uint32_t ImageBytes(const Picture& p) {
    return 40 + static_cast<uint32_t>(p.Width() * p.Height() * 4) + MaskRowBytes(p) * p.Height();
}

// BITMAPINFOHEADER with the height doubled (colour image, then mask), the
// BGRA pixels bottom row first, then the mask: a set bit is transparent.
void PutImage(std::vector<uint8_t>& out, const Picture& p) {
    const uint32_t w = static_cast<uint32_t>(p.Width()), h = static_cast<uint32_t>(p.Height());
    Put32(out, 40);
    Put32(out, w);
    Put32(out, h * 2);
    Put16(out, 1);  // planes
    Put16(out, 32); // bits per pixel
    Put32(out, 0);  // BI_RGB
    Put32(out, ImageBytes(p) - 40);
    for (int i = 0; i < 4; ++i)
        Put32(out, 0);
    for (int y = p.Height() - 1; y >= 0; --y)
        for (int x = 0; x < p.Width(); ++x) {
            const Rgba c = p.At(x, y);
            out.insert(out.end(), {c.b, c.g, c.r, c.a});
        }
    for (int y = p.Height() - 1; y >= 0; --y) {
        std::vector<uint8_t> row(MaskRowBytes(p), 0);
        for (int x = 0; x < p.Width(); ++x)
            if (p.At(x, y).a < 128)
                row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
}

} // namespace

// ICONDIR, one ICONDIRENTRY per picture, then the images in that order.
std::vector<uint8_t> BuildIco(const std::vector<Picture>& pictures) {
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1); // icon
    Put16(out, static_cast<uint32_t>(pictures.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(pictures.size());
    for (const Picture& p : pictures) {
        out.push_back(static_cast<uint8_t>(p.Width() % 256)); // 0 means 256
        out.push_back(static_cast<uint8_t>(p.Height() % 256));
        out.push_back(0); // no palette
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, ImageBytes(p));
        Put32(out, offset);
        offset += ImageBytes(p);
    }
    for (const Picture& p : pictures)
        PutImage(out, p);
    return out;
}
