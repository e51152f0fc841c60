#include "AviReader.h"

#include <cstring>

namespace {

uint32_t U32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

struct Chunk {
    std::string id;
    std::string listType;          // for RIFF and LIST chunks
    const uint8_t* data = nullptr; // after the list type for lists
    uint32_t size = 0;             // of data
    size_t offset = 0;             // of the header within the file
};

// The chunks directly inside [begin, end), or an error.
std::string Children(const uint8_t* file, size_t begin, size_t end, std::vector<Chunk>& out) {
    size_t pos = begin;
    while (pos + 8 <= end) {
        Chunk c;
        c.id.assign(reinterpret_cast<const char*>(file + pos), 4);
        c.size = U32(file + pos + 4);
        c.offset = pos;
        if (c.size > end - pos - 8)
            return "chunk " + c.id + " runs past its parent";
        c.data = file + pos + 8;
        if (c.id == "RIFF" || c.id == "LIST") {
            if (c.size < 4)
                return "list without type";
            c.listType.assign(reinterpret_cast<const char*>(c.data), 4);
            c.data += 4;
            c.size -= 4;
        }
        out.push_back(c);
        pos += 8 + (c.id == "RIFF" || c.id == "LIST" ? 4 : 0) + c.size + (c.size & 1);
    }
    return pos == end || pos == end + 1 ? "" : "trailing bytes in a list";
}

const Chunk* Find(const std::vector<Chunk>& chunks, const char* id, const char* listType = "") {
    for (const Chunk& c : chunks)
        if (c.id == id && c.listType == listType)
            return &c;
    return nullptr;
}

std::string ReadMainHeader(const Chunk& avih, AviClipInfo& info) {
    if (avih.size < 56)
        return "avih too short";
    info.microSecPerFrame = U32(avih.data);
    info.avihFlags = U32(avih.data + 12);
    info.totalFrames = U32(avih.data + 16);
    info.suggestedBufferSize = U32(avih.data + 28);
    info.width = U32(avih.data + 32);
    info.height = U32(avih.data + 36);
    return "";
}

std::string ReadFormat(const Chunk& strf, AviClipInfo& info) {
    if (strf.size < 40 || U32(strf.data) != 40)
        return "strf is no BITMAPINFOHEADER";
    info.biWidth = static_cast<int32_t>(U32(strf.data + 4));
    info.biHeight = static_cast<int32_t>(U32(strf.data + 8));
    info.bitCount = U16(strf.data + 14);
    info.compression = U32(strf.data + 16);
    info.sizeImage = U32(strf.data + 20);
    uint32_t colours = U32(strf.data + 32);
    if (colours == 0 && info.bitCount <= 8)
        colours = 1u << info.bitCount;
    if (40 + colours * 4 > strf.size)
        return "palette runs past strf";
    for (uint32_t i = 0; i < colours; ++i) {
        const uint8_t* q = strf.data + 40 + size_t{4} * i;
        info.palette.push_back((q[2] << 16) | (q[1] << 8) | q[0]);
    }
    return "";
}

std::string ReadHeaders(const uint8_t* file, const Chunk& hdrl, AviClipInfo& info) {
    std::vector<Chunk> inHdrl, inStrl;
    std::string error = Children(file, hdrl.data - file, hdrl.data - file + hdrl.size, inHdrl);
    const Chunk* avih = Find(inHdrl, "avih");
    const Chunk* strl = Find(inHdrl, "LIST", "strl");
    if (!error.empty() || !avih || !strl)
        return error.empty() ? "hdrl lacks avih or strl" : error;
    if (!(error = ReadMainHeader(*avih, info)).empty())
        return error;
    error = Children(file, strl->data - file, strl->data - file + strl->size, inStrl);
    const Chunk* strh = Find(inStrl, "strh");
    const Chunk* strf = Find(inStrl, "strf");
    if (!error.empty() || !strh || !strf || strh->size < 56)
        return error.empty() ? "strl lacks strh or strf" : error;
    info.streamType.assign(reinterpret_cast<const char*>(strh->data), 4);
    info.streamLength = U32(strh->data + 32);
    return ReadFormat(*strf, info);
}

std::string ReadMovieAndIndex(const uint8_t* file, const Chunk& movi, const Chunk* idx1,
                              AviClipInfo& info) {
    std::vector<Chunk> frames;
    const size_t moviType = movi.data - file - 4;
    std::string error = Children(file, movi.data - file, movi.data - file + movi.size, frames);
    if (!error.empty())
        return error;
    for (const Chunk& f : frames) {
        info.frames.emplace_back(f.data, f.data + f.size);
        info.frameOffsets.push_back(static_cast<uint32_t>(f.offset - moviType));
    }
    if (!idx1)
        return "no idx1";
    for (uint32_t pos = 0; pos + 16 <= idx1->size; pos += 16) {
        AviIndexEntry e;
        e.id.assign(reinterpret_cast<const char*>(idx1->data + pos), 4);
        e.flags = U32(idx1->data + pos + 4);
        e.offset = U32(idx1->data + pos + 8);
        e.size = U32(idx1->data + pos + 12);
        info.index.push_back(e);
    }
    return "";
}

} // namespace

std::string ReadAvi(const uint8_t* data, size_t size, AviClipInfo& info) {
    std::vector<Chunk> top, inRiff;
    std::string error = Children(data, 0, size, top);
    if (!error.empty() || top.size() != 1 || top[0].id != "RIFF" || top[0].listType != "AVI ")
        return error.empty() ? "not a RIFF AVI" : error;
    const size_t riffData = top[0].data - data;
    if (!(error = Children(data, riffData, riffData + top[0].size, inRiff)).empty())
        return error;
    const Chunk* hdrl = Find(inRiff, "LIST", "hdrl");
    const Chunk* movi = Find(inRiff, "LIST", "movi");
    if (!hdrl || !movi)
        return "no hdrl or movi";
    if (!(error = ReadHeaders(data, *hdrl, info)).empty())
        return error;
    return ReadMovieAndIndex(data, *movi, Find(inRiff, "idx1"), info);
}

std::string DecodeRle8(const std::vector<uint8_t>& frame, int width, int height,
                       std::vector<uint8_t>& pixels) {
    pixels.assign(static_cast<size_t>(width) * height, 0);
    std::vector<bool> set(pixels.size(), false);
    int x = 0, y = height - 1; // rows come bottom up
    auto put = [&](uint8_t index) {
        const size_t at = static_cast<size_t>(height - 1 - y) * width + x;
        pixels[at] = index;
        set[at] = true;
        ++x;
    };
    size_t i = 0;
    for (;;) {
        if (i + 2 > frame.size())
            return "no end-of-bitmap code";
        const uint8_t count = frame[i], value = frame[i + 1];
        i += 2;
        if (count > 0 || value >= 3) {
            const int n = count > 0 ? count : value;
            if (y < 0 || x + n > width)
                return "run past the row at y=" + std::to_string(y);
            if (count == 0 && i + n + (n & 1) > frame.size())
                return "literal past the frame";
            for (int k = 0; k < n; ++k)
                put(count > 0 ? value : frame[i + k]);
            if (count == 0)
                i += n + (n & 1);
        } else if (value == 0) { // end of line
            x = 0;
            --y;
        } else if (value == 1) { // end of bitmap
            break;
        } else {
            return "delta code in a key frame";
        }
    }
    for (size_t k = 0; k < set.size(); ++k)
        if (!set[k])
            return "pixel " + std::to_string(k) + " not set";
    return i == frame.size() ? "" : "bytes after end-of-bitmap";
}
