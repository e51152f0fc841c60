#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct PaletteEntry {
    uint8_t red, green, blue;
};

// What an animation clip is made of: its frames, each compressed in 8-bit
// run-length encoding, and the palette they index.
struct AviClip {
    int width = 0;
    int height = 0;
    uint32_t microSecPerFrame = 0;
    std::vector<PaletteEntry> palette;
    std::vector<std::vector<uint8_t>> frames;
};

// The bytes of a RIFF AVI file with one video stream: 'hdrl' with 'avih'
// and one 'strl' ('strh', 'strf' with the palette), 'movi' with one '00dc'
// chunk per frame, and the 'idx1' index marking every frame a key frame.
std::vector<uint8_t> BuildAvi(const AviClip& clip);
