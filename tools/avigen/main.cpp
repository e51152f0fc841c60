// Draws the three animation clips of the wait dialog library and writes
// them as RLE8 AVI files into the folder given on the command line:
// clip205.avi (60 frames), clip207.avi and clip210.avi (58 frames each),
// 80 x 80 pixels at 33333 µs per frame.
#include "Artwork.h"
#include "AviWriter.h"
#include "Rle8.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

const int kSize = 80;
const uint32_t kMicroSecPerFrame = 33333;

AviClip MakeClip(const Artwork& art, int frames) {
    AviClip clip;
    clip.width = kSize;
    clip.height = kSize;
    clip.microSecPerFrame = kMicroSecPerFrame;
    clip.palette = art.palette;
    for (int i = 0; i < frames; ++i) {
        Canvas canvas(kSize, kSize, 0);
        art.draw(canvas, i, frames);
        clip.frames.push_back(EncodeRle8(canvas));
    }
    return clip;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        std::fprintf(stderr, "avigen: cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: avigen OUTPUT_DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    const struct {
        const char* name;
        Artwork art;
        int frames;
    } clips[] = {
        {"clip205.avi", BouncingBall(), 60},
        {"clip207.avi", TurningWheel(), 58},
        {"clip210.avi", WalkingFigure(), 58},
    };
    for (const auto& c : clips)
        if (!WriteFile(dir + "/" + c.name, BuildAvi(MakeClip(c.art, c.frames))))
            return 1;
    return 0;
}
