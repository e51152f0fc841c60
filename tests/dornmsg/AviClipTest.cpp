#include "AviReader.h"
#include "TestUi.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const uint32_t kBiRle8 = 1;
const uint32_t kAvifHasIndex = 0x10;
const uint32_t kAviifKeyFrame = 0x10;

struct ClipCase {
    int id;
    uint32_t frames;
};
const ClipCase kClips[] = {{205, 60}, {207, 58}, {210, 58}};

// The clip as the animation control sees it: resource type "AVI" of DORNMSG.dll.
std::string LoadClip(int id, AviClipInfo& info) {
    const HMODULE module = DornMsgModule();
    const HRSRC res = ::FindResourceA(module, MAKEINTRESOURCEA(id), "AVI");
    if (!res)
        return "no AVI resource";
    const auto* data = static_cast<const uint8_t*>(::LockResource(::LoadResource(module, res)));
    return ReadAvi(data, ::SizeofResource(module, res), info);
}

size_t LargestFrame(const AviClipInfo& info) {
    size_t largest = 0;
    for (const auto& f : info.frames)
        largest = std::max(largest, f.size());
    return largest;
}

} // namespace

TEST(WaitClips, EveryClipIsAnRle8AviOf80By80AtThirtyFramesPerSecond) {
    for (const ClipCase& c : kClips) {
        SCOPED_TRACE(c.id);
        AviClipInfo info;
        ASSERT_EQ("", LoadClip(c.id, info));
        EXPECT_EQ(33333u, info.microSecPerFrame);
        EXPECT_EQ(c.frames, info.totalFrames);
        EXPECT_EQ(c.frames, info.streamLength);
        EXPECT_EQ(c.frames, info.frames.size());
        EXPECT_EQ(80u, info.width);
        EXPECT_EQ(80u, info.height);
        EXPECT_EQ("vids", info.streamType);
        EXPECT_EQ(80, info.biWidth);
        EXPECT_EQ(80, info.biHeight); // positive: rows bottom up, as RLE requires
        EXPECT_EQ(8, info.bitCount);
        EXPECT_EQ(kBiRle8, info.compression);
        EXPECT_FALSE(info.palette.empty());
        EXPECT_LE(info.palette.size(), 256u);
        // The control reads each frame into a buffer of the suggested size,
        // and GDI decodes a compressed frame no further than biSizeImage.
        EXPECT_GE(info.suggestedBufferSize, LargestFrame(info));
        EXPECT_GE(info.sizeImage, LargestFrame(info));
    }
}

TEST(WaitClips, IndexNamesEveryFrameAsKeyFrame) {
    for (const ClipCase& c : kClips) {
        SCOPED_TRACE(c.id);
        AviClipInfo info;
        ASSERT_EQ("", LoadClip(c.id, info));
        EXPECT_TRUE(info.avihFlags & kAvifHasIndex);
        ASSERT_EQ(info.frames.size(), info.index.size());
        for (size_t i = 0; i < info.index.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ("00dc", info.index[i].id);
            EXPECT_TRUE(info.index[i].flags & kAviifKeyFrame);
            EXPECT_EQ(info.frameOffsets[i], info.index[i].offset);
            EXPECT_EQ(info.frames[i].size(), info.index[i].size);
        }
    }
}

// Each frame decodes on its own to the full picture; the top left pixel,
// which the control takes as the transparent colour, is the background in
// every frame; and the picture changes from each frame to the next,
// across the loop's seam too.
TEST(WaitClips, FramesDecodeWholeAndShowMotion) {
    for (const ClipCase& c : kClips) {
        SCOPED_TRACE(c.id);
        AviClipInfo info;
        ASSERT_EQ("", LoadClip(c.id, info));
        std::vector<std::vector<uint8_t>> pictures(info.frames.size());
        for (size_t i = 0; i < info.frames.size(); ++i) {
            SCOPED_TRACE(i);
            ASSERT_EQ("", DecodeRle8(info.frames[i], 80, 80, pictures[i]));
            EXPECT_LT(*std::max_element(pictures[i].begin(), pictures[i].end()),
                      info.palette.size());
            EXPECT_EQ(pictures[0][0], pictures[i][0]);
        }
        for (size_t i = 0; i < pictures.size(); ++i)
            EXPECT_NE(pictures[i], pictures[(i + 1) % pictures.size()]) << "frame " << i;
    }
}
