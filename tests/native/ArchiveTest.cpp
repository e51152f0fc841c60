#include "Archive.h"
#include "MemFile.h"

#include <gtest/gtest.h>

namespace {

std::string Store(const CString& s) {
    CMemFile mem;
    CArchive ar(&mem, CArchive::store);
    ar << s;
    ar.Close();
    return mem.Bytes();
}

std::string StoreCount(uint32_t n) {
    CMemFile mem;
    CArchive ar(&mem, CArchive::store);
    ar.WriteCount(n);
    ar.Close();
    return mem.Bytes();
}

CString LoadString(const std::string& bytes) {
    CMemFile mem(bytes);
    CArchive ar(&mem, CArchive::load);
    CString s;
    ar >> s;
    return s;
}

std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int c : b)
        s += static_cast<char>(c);
    return s;
}

} // namespace

TEST(CArchive, StringLengthPrefixAtEveryThreshold) {
    const struct {
        int length;
        std::string prefix;
    } cases[] = {
        {0, Bytes({0x00})},
        {254, Bytes({0xFE})},                                        // one byte below 0xFF
        {255, Bytes({0xFF, 0xFF, 0x00})},                            // FF, then two bytes
        {0xFFFD, Bytes({0xFF, 0xFD, 0xFF})},                         // largest two-byte form
        {0xFFFE, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})}, // FF FF FF, four bytes
        {0xFFFF, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        const CString text(std::string(static_cast<size_t>(c.length), 'a'));
        const std::string bytes = Store(text);
        ASSERT_EQ(c.prefix.size() + static_cast<size_t>(c.length), bytes.size());
        EXPECT_EQ(c.prefix, bytes.substr(0, c.prefix.size()));
        EXPECT_EQ(text, LoadString(bytes));
    }
}

TEST(CArchive, StringIsShiftJisBytesWithoutTerminator) {
    EXPECT_EQ(Bytes({0x04, 0x95, 0x5C, 0x8E, 0xA6}), Store(CString("表示")));
}

TEST(CArchive, CountEncodingBelowAndAtFFFF) {
    EXPECT_EQ(Bytes({0x00, 0x00}), StoreCount(0));
    EXPECT_EQ(Bytes({0xFE, 0xFF}), StoreCount(0xFFFE));
    EXPECT_EQ(Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}), StoreCount(0xFFFF));
    EXPECT_EQ(Bytes({0xFF, 0xFF, 0x01, 0x00, 0x01, 0x00}), StoreCount(0x10001));
    for (uint32_t n : {0u, 1u, 0xFFFEu, 0xFFFFu, 0x12345678u}) {
        CMemFile mem(StoreCount(n));
        CArchive ar(&mem, CArchive::load);
        EXPECT_EQ(n, ar.ReadCount());
    }
}

TEST(CArchive, IntegersAreLittleEndian) {
    CMemFile mem;
    CArchive ar(&mem, CArchive::store);
    ar << int32_t(-2) << uint16_t(0x1234) << uint32_t(0xA1B2C3D4);
    ar.Close();
    EXPECT_EQ(Bytes({0xFE, 0xFF, 0xFF, 0xFF, 0x34, 0x12, 0xD4, 0xC3, 0xB2, 0xA1}), mem.Bytes());
}

TEST(CArchive, ReadPastTheEndRaisesEndOfFile) {
    const std::string cut[] = {
        "",                                    // no length at all
        Bytes({0x05, 'a', 'b'}),               // text shorter than its length
        Bytes({0xFF, 0x10}),                   // two-byte length cut
        Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), // four-byte length cut
    };
    for (const std::string& bytes : cut) {
        SCOPED_TRACE(bytes.size());
        try {
            LoadString(bytes);
            FAIL() << "no exception";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(CArchiveException::endOfFile, e.m_cause);
        }
    }
}

TEST(CArchive, HugeLengthWithoutDataFailsWithoutHugeAllocation) {
    // 0x7FFFFFF0 bytes announced, three present: the read must end in the
    // archive's exception, not in an attempt to allocate two gigabytes.
    const std::string bytes = Bytes({0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0x7F, 'a', 'b', 'c'});
    EXPECT_THROW(LoadString(bytes), CArchiveException);
    const std::string tooLong = Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_THROW(LoadString(tooLong), CArchiveException);
}

TEST(CArchive, OtherStringEncodingMarkerIsMalformed) {
    try {
        LoadString(Bytes({0xFF, 0xFE, 0xFF, 0x01, 'a', 0x00}));
        FAIL() << "no exception";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(CArchiveException::badIndex, e.m_cause);
    }
}

TEST(CArchive, SmallBufferCarriesLongTexts) {
    CMemFile mem;
    const CString text(std::string(10000, 'z'));
    {
        CArchive ar(&mem, CArchive::store, 16);
        ar << text << text;
        ar.Close();
    }
    CMemFile in(mem.Bytes());
    CArchive ar(&in, CArchive::load, 16);
    CString a, b;
    ar >> a >> b;
    EXPECT_EQ(text, a);
    EXPECT_EQ(text, b);
}

TEST(CArchive, SixtyFourBitIntegersLowHalfFirstBothWays) {
    const struct {
        int64_t value;
        std::string bytes;
    } cases[] = {
        {0, Bytes({0, 0, 0, 0, 0, 0, 0, 0})},
        {0xFFFFFFFFLL, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0})},   // 4 GiB - 1
        {0x100000000LL, Bytes({0, 0, 0, 0, 0x01, 0, 0, 0})},           // 4 GiB
        {0x140000000LL, Bytes({0, 0, 0, 0x40, 0x01, 0, 0, 0})},        // 5 GiB
        {-1, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})}, // negative sizes read back
        {INT64_MIN, Bytes({0, 0, 0, 0, 0, 0, 0, 0x80})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        CMemFile mem;
        CArchive out(&mem, CArchive::store);
        out << c.value;
        out.Close();
        EXPECT_EQ(c.bytes, mem.Bytes());
        CMemFile in(c.bytes);
        CArchive ar(&in, CArchive::load);
        int64_t back = 0x5A5A5A5A;
        ar >> back;
        EXPECT_EQ(c.value, back);
    }
}

namespace {
template <typename T, typename = void> struct Storable : std::false_type {};
template <typename T>
struct Storable<T, std::void_t<decltype(std::declval<CArchive&>() << std::declval<T>())>>
    : std::true_type {};
template <typename T, typename = void> struct Loadable : std::false_type {};
template <typename T>
struct Loadable<T, std::void_t<decltype(std::declval<CArchive&>() >> std::declval<T&>())>>
    : std::true_type {};
} // namespace

// A field's width comes from its type: a char or bool would silently become
// four bytes in the file.
static_assert(!Storable<char>::value && !Storable<bool>::value && !Storable<signed char>::value);
static_assert(!Loadable<char>::value && !Loadable<bool>::value);
static_assert(Storable<uint8_t>::value && Storable<int64_t>::value && Loadable<uint64_t>::value);

TEST(CArchive, WriteOrReadAfterCloseIsAnErrorNotLostData) {
    CMemFile mem;
    CArchive out(&mem, CArchive::store);
    out << uint16_t(1);
    out.Close();
    out.Close(); // closing twice is harmless
    EXPECT_THROW(out << uint32_t(2), CArchiveException);
    EXPECT_EQ(Bytes({1, 0}), mem.Bytes());

    CMemFile in(Bytes({1, 0, 2, 0}));
    CArchive ar(&in, CArchive::load);
    uint16_t first = 0;
    ar >> first;
    ar.Close();
    uint16_t second = 0;
    EXPECT_THROW(ar >> second, CArchiveException);
    EXPECT_EQ(0, second);
}

TEST(CArchive, PositionCountsBytesThroughTheBuffer) {
    CMemFile mem;
    CArchive out(&mem, CArchive::store, 16);
    out << uint32_t(1) << CString(std::string(40, 'x'));
    EXPECT_EQ(45u, out.GetPosition()); // 4 + 1 + 40, partly still buffered
    out.Close();
    EXPECT_EQ(45u, out.GetPosition());

    CMemFile in(mem.Bytes());
    CArchive ar(&in, CArchive::load, 16);
    uint32_t n = 0;
    ar >> n;
    EXPECT_EQ(4u, ar.GetPosition()); // 16 bytes buffered, 4 consumed
    EXPECT_EQ(40u, ar.ReadStringLength());
    EXPECT_EQ(5u, ar.GetPosition());
}

namespace {

// A stream that can only be read in order, as a pipe.
class SequentialStream : public CMemFile {
public:
    using CMemFile::CMemFile;
    int64_t Skip(uint64_t) override { return -1; }
};

std::string Pattern(size_t n, char first) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>(first + i % 23);
    return s;
}

} // namespace

// Pieces shorter than the buffer are gathered in it, longer ones go past it:
// either way the bytes, their order and the position come out the same.
TEST(CArchive, PiecesAroundTheBufferSizeKeepTheirBytesAndPosition) {
    for (size_t piece : {1u, 15u, 16u, 17u, 31u, 32u, 33u, 100u}) {
        SCOPED_TRACE(piece);
        const std::string a = Pattern(piece, 'a'), b = Pattern(piece, 'B');
        CMemFile mem;
        CArchive out(&mem, CArchive::store, 16);
        out << uint8_t(7);
        out.Write(a.data(), static_cast<unsigned>(a.size()));
        out << uint8_t(8);
        out.Write(b.data(), static_cast<unsigned>(b.size()));
        EXPECT_EQ(2 + 2 * piece, out.GetPosition());
        out.Close();
        EXPECT_EQ("\x07" + a + "\x08" + b, mem.Bytes());

        CMemFile in(mem.Bytes());
        CArchive ar(&in, CArchive::load, 16);
        uint8_t seven = 0, eight = 0;
        std::string backA(piece, '\0'), backB(piece, '\0');
        ar >> seven;
        ar.Read(&backA[0], static_cast<unsigned>(piece));
        ar >> eight;
        ar.Read(&backB[0], static_cast<unsigned>(piece));
        EXPECT_EQ(7, seven);
        EXPECT_EQ(8, eight);
        EXPECT_EQ(a, backA);
        EXPECT_EQ(b, backB);
        EXPECT_EQ(2 + 2 * piece, ar.GetPosition());
        EXPECT_THROW(ar >> seven, CArchiveException);
    }
}

// The end of what was read is the end of the file only when no byte
// follows, also where the read stops at the edge of the buffer (the next
// byte is then still in the stream) and where the read went past the
// buffer straight into the caller's memory.
TEST(CArchive, EndIsExpectedOnlyWhenNoByteFollows) {
    for (size_t read : {1u, 15u, 16u, 17u, 32u, 40u}) {
        for (size_t extra : {0u, 1u, 2u}) {
            SCOPED_TRACE(std::to_string(read) + " read, " + std::to_string(extra) + " after");
            CMemFile in(std::string(read + extra, 'x'));
            CArchive ar(&in, CArchive::load, 16);
            std::string back(read, '\0');
            ar.Read(&back[0], static_cast<unsigned>(read));
            if (extra == 0) {
                EXPECT_NO_THROW(ar.ExpectEnd());
            } else {
                EXPECT_THROW(ar.ExpectEnd(), CArchiveException);
            }
        }
    }
}

// Checking a file skips contents; a stream that cannot move ahead is read
// instead, and both end in the end-of-file exception at the same place.
TEST(CArchive, SkipPassesOverBytesWhetherTheStreamSeeksOrNot) {
    const std::string bytes = Pattern(100, 'a');
    for (bool seekable : {true, false}) {
        for (uint64_t skip : {1u, 14u, 15u, 16u, 17u, 60u, 98u}) {
            SCOPED_TRACE(std::to_string(skip) + (seekable ? " seekable" : " sequential"));
            CMemFile mem(bytes);
            SequentialStream pipe(bytes);
            CArchive ar(seekable ? static_cast<CArchiveStream*>(&mem) : &pipe, CArchive::load, 16);
            uint8_t first = 0, next = 0;
            ar >> first;
            ar.Skip(skip);
            EXPECT_EQ(1 + skip, ar.GetPosition());
            ar >> next;
            EXPECT_EQ(bytes[1 + skip], static_cast<char>(next));
            EXPECT_THROW(ar.Skip(100 - 2 - skip + 1), CArchiveException);
        }
    }
}

// Contents go between a file and the archive through the archive's own
// buffer: the same bytes as Write and Read give, whatever their length.
TEST(CArchive, ContentsStreamThroughTheBufferAsWriteAndReadWouldGiveThem) {
    for (size_t piece : {0u, 1u, 15u, 16u, 17u, 33u, 100u}) {
        SCOPED_TRACE(piece);
        const std::string content = Pattern(piece, 'c');
        CMemFile source(content + "beyond");
        CMemFile mem;
        CArchive out(&mem, CArchive::store, 16);
        out << uint8_t(1);
        EXPECT_EQ(piece, out.WriteFrom(source, piece));
        out << uint8_t(2);
        EXPECT_EQ(2 + piece, out.GetPosition());
        out.Close();
        EXPECT_EQ("\x01" + content + "\x02", mem.Bytes());

        CMemFile in(mem.Bytes());
        CArchive ar(&in, CArchive::load, 16);
        uint8_t one = 0, two = 0;
        CMemFile target;
        ar >> one;
        ar.ReadTo(target, piece);
        ar >> two;
        EXPECT_EQ(content, target.Bytes());
        EXPECT_EQ(2, two);
        EXPECT_THROW(ar.ReadTo(target, 1), CArchiveException);
    }
}

TEST(CArchive, SourceThatEndsEarlyGivesWhatItHas) {
    CMemFile source("abc");
    CMemFile mem;
    CArchive out(&mem, CArchive::store, 16);
    EXPECT_EQ(3u, out.WriteFrom(source, 40));
    out.Close();
    EXPECT_EQ("abc", mem.Bytes());
}
