#include "AviWriter.h"

#include <algorithm>

namespace {

// Flag values of the format.
const uint32_t kAvifHasIndex = 0x10;  // avih: the file carries 'idx1'
const uint32_t kAviifKeyFrame = 0x10; // idx1: the frame needs no other
const uint32_t kBiRle8 = 1;           // strf: biCompression

// Writes little-endian fields and nested chunks whose sizes are filled in
// when the chunk is closed.
class RiffWriter {
public:
    void U16(uint32_t v) {
        for (int i = 0; i < 2; ++i)
            m_out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i)
            m_out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void FourCC(const char* id) { m_out.insert(m_out.end(), id, id + 4); }
    void Bytes(const std::vector<uint8_t>& data) {
        m_out.insert(m_out.end(), data.begin(), data.end());
    }
    size_t Position() const { return m_out.size(); }

    // Returns where the chunk starts, for EndChunk.
    size_t BeginChunk(const char* id) {
        const size_t start = m_out.size();
        FourCC(id);
        U32(0);
        return start;
    }
    size_t BeginList(const char* list, const char* type) {
        const size_t start = BeginChunk(list);
        FourCC(type);
        return start;
    }
    // The size excludes the chunk's header and its pad byte; chunks start on
    // even offsets.
    void EndChunk(size_t start) {
        const uint32_t size = static_cast<uint32_t>(m_out.size() - start - 8);
        for (int i = 0; i < 4; ++i)
            m_out[start + 4 + i] = static_cast<uint8_t>(size >> (8 * i));
        if (m_out.size() % 2)
            m_out.push_back(0);
    }
    std::vector<uint8_t> Take() { return std::move(m_out); }

private:
    std::vector<uint8_t> m_out;
};

size_t LargestFrame(const AviClip& clip) {
    size_t largest = 0;
    for (const auto& f : clip.frames)
        largest = std::max(largest, f.size());
    return largest;
}

void WriteMainHeader(RiffWriter& w, const AviClip& clip) {
    const size_t avih = w.BeginChunk("avih");
    const uint32_t framesPerSecond = (1000000 + clip.microSecPerFrame / 2) / clip.microSecPerFrame;
    w.U32(clip.microSecPerFrame);
    w.U32(static_cast<uint32_t>(LargestFrame(clip) * framesPerSecond)); // dwMaxBytesPerSec
    w.U32(0);                                                           // dwPaddingGranularity
    w.U32(kAvifHasIndex);
    w.U32(static_cast<uint32_t>(clip.frames.size())); // dwTotalFrames
    w.U32(0);                                         // dwInitialFrames
    w.U32(1);                                         // dwStreams
    w.U32(static_cast<uint32_t>(LargestFrame(clip))); // dwSuggestedBufferSize
    w.U32(static_cast<uint32_t>(clip.width));
    w.U32(static_cast<uint32_t>(clip.height));
    for (int i = 0; i < 4; ++i)
        w.U32(0); // dwReserved
    w.EndChunk(avih);
}

// The rate is given as dwRate / dwScale frames per second: 1000000 / µs.
void WriteStreamHeader(RiffWriter& w, const AviClip& clip) {
    const size_t strh = w.BeginChunk("strh");
    w.FourCC("vids");
    w.FourCC("RLE "); // fccHandler: plain DIB frames that GDI itself decodes
    w.U32(0);         // dwFlags
    w.U16(0);         // wPriority
    w.U16(0);         // wLanguage
    w.U32(0);         // dwInitialFrames
    w.U32(clip.microSecPerFrame);
    w.U32(1000000);
    w.U32(0); // dwStart
    w.U32(static_cast<uint32_t>(clip.frames.size()));
    w.U32(static_cast<uint32_t>(LargestFrame(clip)));
    w.U32(0xFFFFFFFF); // dwQuality: default
    w.U32(0);          // dwSampleSize: frames vary in size
    w.U16(0);          // rcFrame: left, top, right, bottom
    w.U16(0);
    w.U16(static_cast<uint32_t>(clip.width));
    w.U16(static_cast<uint32_t>(clip.height));
    w.EndChunk(strh);
}

// A BITMAPINFOHEADER and the palette.  biSizeImage must cover the largest
// frame: GDI reads a compressed frame only that far.
void WriteStreamFormat(RiffWriter& w, const AviClip& clip) {
    const size_t strf = w.BeginChunk("strf");
    w.U32(40); // biSize
    w.U32(static_cast<uint32_t>(clip.width));
    w.U32(static_cast<uint32_t>(clip.height)); // positive: bottom-up rows
    w.U16(1);                                  // biPlanes
    w.U16(8);                                  // biBitCount
    w.U32(kBiRle8);
    w.U32(static_cast<uint32_t>(LargestFrame(clip)));  // biSizeImage
    w.U32(0);                                          // biXPelsPerMeter
    w.U32(0);                                          // biYPelsPerMeter
    w.U32(static_cast<uint32_t>(clip.palette.size())); // biClrUsed
    w.U32(0);                                          // biClrImportant: all
    for (const PaletteEntry& c : clip.palette) {
        const std::vector<uint8_t> quad{c.blue, c.green, c.red, 0};
        w.Bytes(quad);
    }
    w.EndChunk(strf);
}

// Returns each frame chunk's offset from the 'movi' type code, as 'idx1'
// counts it.
std::vector<uint32_t> WriteFrames(RiffWriter& w, const AviClip& clip) {
    std::vector<uint32_t> offsets;
    const size_t movi = w.BeginList("LIST", "movi");
    for (const auto& frame : clip.frames) {
        offsets.push_back(static_cast<uint32_t>(w.Position() - (movi + 8)));
        const size_t chunk = w.BeginChunk("00dc");
        w.Bytes(frame);
        w.EndChunk(chunk);
    }
    w.EndChunk(movi);
    return offsets;
}

void WriteIndex(RiffWriter& w, const AviClip& clip, const std::vector<uint32_t>& offsets) {
    const size_t idx1 = w.BeginChunk("idx1");
    for (size_t i = 0; i < clip.frames.size(); ++i) {
        w.FourCC("00dc");
        w.U32(kAviifKeyFrame);
        w.U32(offsets[i]);
        w.U32(static_cast<uint32_t>(clip.frames[i].size()));
    }
    w.EndChunk(idx1);
}

} // namespace

std::vector<uint8_t> BuildAvi(const AviClip& clip) {
    RiffWriter w;
    const size_t riff = w.BeginList("RIFF", "AVI ");
    const size_t hdrl = w.BeginList("LIST", "hdrl");
    WriteMainHeader(w, clip);
    const size_t strl = w.BeginList("LIST", "strl");
    WriteStreamHeader(w, clip);
    WriteStreamFormat(w, clip);
    w.EndChunk(strl);
    w.EndChunk(hdrl);
    const std::vector<uint32_t> offsets = WriteFrames(w, clip);
    WriteIndex(w, clip, offsets);
    w.EndChunk(riff);
    return w.Take();
}
