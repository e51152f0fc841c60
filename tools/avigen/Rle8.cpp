#include "Rle8.h"

namespace {

// Codes of the format: an escape byte 0 followed by one of these.
const uint8_t kEndOfLine = 0;
const uint8_t kEndOfBitmap = 1;
// Runs and literal groups hold at most this many pixels; a literal group
// (absolute mode) needs at least kMinLiteral, since 1 and 2 are escapes.
const int kMaxCount = 255;
const int kMinLiteral = 3;

int RunLength(const uint8_t* row, int width, int x) {
    int n = 1;
    while (x + n < width && n < kMaxCount && row[x + n] == row[x])
        ++n;
    return n;
}

// Absolute mode: escape, count, the pixels, and a pad byte to keep the
// stream on a 16-bit boundary.
void PutLiteral(std::vector<uint8_t>& out, const uint8_t* pixels, int count) {
    out.push_back(0);
    out.push_back(static_cast<uint8_t>(count));
    out.insert(out.end(), pixels, pixels + count);
    if (count % 2)
        out.push_back(0);
}

// Runs of three or more equal pixels are encoded as runs; whatever lies
// between them goes out as literal groups, or as runs of one when the
// group is too short for absolute mode.
void EncodeRow(std::vector<uint8_t>& out, const uint8_t* row, int width) {
    int x = 0;
    while (x < width) {
        const int run = RunLength(row, width, x);
        if (run >= kMinLiteral) {
            out.push_back(static_cast<uint8_t>(run));
            out.push_back(row[x]);
            x += run;
            continue;
        }
        int end = x;
        while (end < width && end - x < kMaxCount && RunLength(row, width, end) < kMinLiteral)
            ++end;
        if (end - x >= kMinLiteral) {
            PutLiteral(out, row + x, end - x);
        } else {
            for (int i = x; i < end; ++i) {
                out.push_back(1);
                out.push_back(row[i]);
            }
        }
        x = end;
    }
}

} // namespace

std::vector<uint8_t> EncodeRle8(const Canvas& picture) {
    std::vector<uint8_t> out;
    const int width = picture.Width();
    for (int y = picture.Height() - 1; y >= 0; --y) {
        EncodeRow(out, picture.Pixels().data() + static_cast<size_t>(y) * width, width);
        out.push_back(0);
        out.push_back(y > 0 ? kEndOfLine : kEndOfBitmap);
    }
    return out;
}
