#pragma once
// A reader for the RIFF AVI clips of the wait dialog: one video stream of
// 8-bit frames, as the animation control expects them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct AviIndexEntry {
    std::string id;
    uint32_t flags = 0;
    uint32_t offset = 0; // of the chunk header, counted from the 'movi' type code
    uint32_t size = 0;
};

struct AviClipInfo {
    // 'avih'
    uint32_t microSecPerFrame = 0;
    uint32_t avihFlags = 0;
    uint32_t totalFrames = 0;
    uint32_t suggestedBufferSize = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    // 'strh'
    std::string streamType;
    uint32_t streamLength = 0;
    // 'strf'
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    std::vector<uint32_t> palette; // 0x00RRGGBB
    // 'movi' and 'idx1'
    std::vector<std::vector<uint8_t>> frames;
    std::vector<uint32_t> frameOffsets; // as 'idx1' counts them
    std::vector<AviIndexEntry> index;
};

// Empty when the clip was read, else what is wrong with it.
std::string ReadAvi(const uint8_t* data, size_t size, AviClipInfo& info);

// Decodes a BI_RLE8 frame into palette indices, top row first.  Empty when
// the frame is sound: it ends with the end-of-bitmap code, never runs past
// a row or the picture, and sets every pixel.
std::string DecodeRle8(const std::vector<uint8_t>& frame, int width, int height,
                       std::vector<uint8_t>& pixels);
