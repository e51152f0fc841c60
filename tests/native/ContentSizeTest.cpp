// Contents are copied at exactly their recorded size, 4 GiB and more too.
#include "Archive.h"
#include "MemFile.h"
#include "MigrationTestSupport.h"
#include "MigrationReader.h"
#include "MigrationWriter.h"
#include "TargetFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

// The file's bytes, and what the writer left out.
std::string WriteAfterChange(const std::string& measured, const std::string& copied,
                             std::vector<CSkippedEntry>& skipped) {
    CMemFileSystem fs;
    fs.AddFile("src0\\Data\\MyData\\a.dat", measured);
    fs.AddFile("src0\\Data\\MyData\\b.dat", "next");
    CMigrationContext context(fs);
    CMigrationWriter writer(context, SourceRoots());
    EXPECT_TRUE(writer.BuildList());
    fs.AddFile("src0\\Data\\MyData\\a.dat", copied); // changes between listing and copying
    CMemFile mem;
    CArchive ar(&mem, CArchive::store);
    writer.Write(ar);
    ar.Close();
    skipped = context.m_skipped;
    return mem.Bytes();
}

// 4 GiB + 3 bytes, made and checked as they stream by, never stored.  The
// bytes are constant over 4 KiB blocks; the value depends on bits above 32,
// so content that wrapped round at 4 GiB would not match.
constexpr int64_t kBigSize = (int64_t(1) << 32) + 3;

char BlockValue(uint64_t offset) {
    return static_cast<char>((offset >> 12) + 3 * (offset >> 32));
}

// A file of the pattern, read from the source tree.
class PatternFile : public CFsFile {
public:
    unsigned Read(void* pBuf, unsigned nCount) override {
        const size_t n = static_cast<size_t>(std::min<int64_t>(nCount, kBigSize - m_pos));
        char* p = static_cast<char*>(pBuf);
        for (size_t done = 0; done < n;) {
            const auto at = static_cast<uint64_t>(m_pos);
            const size_t len = std::min<size_t>(n - done, 4096 - (at & 4095));
            std::memset(p + done, BlockValue(at), len);
            done += len;
            m_pos += static_cast<int64_t>(len);
        }
        return static_cast<unsigned>(n);
    }
    void Write(const void*, unsigned) override { FAIL(); }
    int64_t GetLength() override { return kBigSize; }
    void Close() override {}

private:
    int64_t m_pos = 0;
};

// Checks bytes against prefix + pattern + suffix as they arrive (a
// migration file or a restored file); Read produces them.
class PatternStream : public CFsFile {
public:
    PatternStream(std::string prefix, std::string suffix)
        : m_prefix(std::move(prefix)), m_suffix(std::move(suffix)) {}
    int64_t GetLength() override { return Total(); }
    void Close() override {}
    bool Matches() const { return m_bMatches && m_pos == static_cast<uint64_t>(Total()); }

    void Write(const void* pBuf, unsigned nCount) override {
        const char* p = static_cast<const char*>(pBuf);
        for (size_t done = 0; done < nCount;) {
            const size_t len = Next(nCount - done);
            m_bMatches = m_bMatches && std::memcmp(p + done, m_piece.data(), len) == 0;
            done += len;
        }
    }

    unsigned Read(void* pBuf, unsigned nCount) override {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(nCount, Total() - m_pos));
        for (size_t done = 0; done < n;) {
            const size_t len = Next(n - done);
            std::memcpy(static_cast<char*>(pBuf) + done, m_piece.data(), len);
            done += len;
        }
        return static_cast<unsigned>(n);
    }

private:
    int64_t Total() const {
        return static_cast<int64_t>(m_prefix.size() + m_suffix.size()) + kBigSize;
    }

    // The expected bytes from m_pos on, at most want of them, into m_piece.
    size_t Next(size_t want) {
        const uint64_t prefixEnd = m_prefix.size(), patternEnd = prefixEnd + kBigSize;
        if (m_pos < prefixEnd) {
            m_piece.assign(m_prefix, m_pos, std::min<uint64_t>(want, prefixEnd - m_pos));
        } else if (m_pos < patternEnd) {
            const uint64_t at = m_pos - prefixEnd;
            const uint64_t len = std::min<uint64_t>({want, 4096 - (at & 4095), patternEnd - m_pos});
            m_piece.assign(len, BlockValue(at));
        } else if (m_pos - patternEnd < m_suffix.size()) {
            m_piece.assign(m_suffix, m_pos - patternEnd, want);
        } else {
            m_bMatches = false; // more than expected
            m_piece.assign(want, '\0');
        }
        m_pos += m_piece.size();
        return m_piece.size();
    }

    std::string m_prefix, m_suffix, m_piece;
    uint64_t m_pos = 0;
    bool m_bMatches = true;
};

// The restored pattern as the restore writes it into a new file: its
// mark, the content after the mark's length in order, and the first bytes
// over the mark when the rest is there.
class RestoredPattern : public CFsFile {
public:
    // The restore lets the file go when it is renamed: what it received is
    // told then.
    explicit RestoredPattern(bool& bWhole) : m_bWhole(bWhole) {}
    ~RestoredPattern() override { m_bWhole = m_bMatches && m_bStart && m_pos == kBigSize; }
    int64_t GetLength() override { return m_pos; }
    void Close() override {}
    unsigned Read(void*, unsigned) override { return 0; }

    void Write(const void* pBuf, unsigned nCount) override {
        const char* p = static_cast<const char*>(pBuf);
        const std::string& mark = CTargetFile::Mark();
        const size_t nMark = std::min<size_t>(nCount, mark.size() - m_nMarked);
        m_bMatches = m_bMatches && std::memcmp(p, mark.data() + m_nMarked, nMark) == 0;
        m_nMarked += nMark;
        m_pos = std::max<int64_t>(m_pos, static_cast<int64_t>(m_nMarked));
        m_bMatches = m_bMatches && Same(static_cast<uint64_t>(m_pos), p + nMark, nCount - nMark);
        m_pos += nCount - nMark;
    }

    void WriteAt(int64_t nOffset, const void* pBuf, unsigned nCount) override {
        m_bStart = nOffset == 0 && m_nMarked == nCount && !m_bStart &&
                   Same(0, static_cast<const char*>(pBuf), nCount);
    }

private:
    static bool Same(uint64_t at, const char* p, size_t n) {
        char block[4096];
        for (size_t done = 0; done < n;) {
            const size_t len = std::min<size_t>(n - done, 4096 - ((at + done) & 4095));
            std::memset(block, BlockValue(at + done), len);
            if (std::memcmp(p + done, block, len) != 0)
                return false;
            done += len;
        }
        return true;
    }

    bool& m_bWhole;
    int64_t m_pos = 0;
    size_t m_nMarked = 0;
    bool m_bMatches = true;
    bool m_bStart = false;
};

class BigFileSystem : public CMemFileSystem {
public:
    std::unique_ptr<CFsFile> OpenForReading(const CString& strPath, CFsError& error) override {
        if (strPath.Find("big.dat") >= 0)
            return std::make_unique<PatternFile>();
        return CMemFileSystem::OpenForReading(strPath, error);
    }
    std::unique_ptr<CFsFile> CreateOrEmpty(const CString& /*strPath*/,
                                           CFsError& /*error*/) override {
        ++m_nRestored;
        return std::make_unique<RestoredPattern>(m_bRestoredWhole);
    }
    int m_nRestored = 0;
    bool m_bRestoredWhole = false;
};

// A file that grows after it was opened for copying: its length was taken
// when it was opened, as the platforms do, and the reading goes on past it.
class GrowingFile : public CFsFile {
public:
    unsigned Read(void* pBuf, unsigned nCount) override {
        const size_t n = std::min<size_t>(nCount, m_bytes.size() - m_pos);
        std::memcpy(pBuf, m_bytes.data() + m_pos, n);
        m_pos += n;
        return static_cast<unsigned>(n);
    }
    void Write(const void*, unsigned) override { FAIL(); }
    int64_t GetLength() override { return 10; }
    void Close() override {}

private:
    std::string m_bytes = "0123456789ABCDEF";
    size_t m_pos = 0;
};

class GrowingFileSystem : public CMemFileSystem {
public:
    std::unique_ptr<CFsFile> OpenForReading(const CString& strPath, CFsError& error) override {
        if (strPath.Find("a.dat") >= 0)
            return std::make_unique<GrowingFile>();
        return CMemFileSystem::OpenForReading(strPath, error);
    }
};

const std::string kBigPrefix = Header(1) + Le32(4) + Le32(0) + Str("") + Str("Data\\MyData") +
                               Le64(0) + Le32(1) + Le32(4) + Le32(0) + Str("\\Data\\MyData") +
                               Str("big.dat") + Le64(kBigSize);
const std::string kBigSuffix = Le32(0);

} // namespace

// The file stays readable with the size recorded first, and the changed
// file is named as not carried whole.
TEST(ContentSize, FileThatChangedWhileWrittenKeepsItsRecordedSizeAndIsNamed) {
    std::vector<CSkippedEntry> shrunkSkips, grownSkips;
    const std::string shrunk = WriteAfterChange("0123456789", "0123", shrunkSkips);
    EXPECT_NE(std::string::npos,
              shrunk.find(Str("a.dat") + Le64(10) + "0123" + std::string(6, '\0') + Le32(0)));
    const std::string grown = WriteAfterChange("0123456789", "0123456789ABCDEF", grownSkips);
    EXPECT_NE(std::string::npos, grown.find(Str("a.dat") + Le64(10) + "0123456789" + Le32(0)));
    for (const auto* skipped : {&shrunkSkips, &grownSkips}) {
        ASSERT_EQ(1u, skipped->size());
        EXPECT_EQ(CSkipReason::sizeChanged, (*skipped)[0].nReason);
        EXPECT_EQ("\\Data\\MyData\\a.dat", (*skipped)[0].strPath);
    }
    EXPECT_EQ("10 bytes when listed, 4 when copied", shrunkSkips[0].strCause);
    EXPECT_EQ("10 bytes when listed, 16 when copied", grownSkips[0].strCause);
    for (const std::string& bytes : {shrunk, grown}) {
        ASSERT_NO_THROW(Check(bytes));
        CMemFileSystem dst;
        dst.AddDirectory("dst0");
        ReadResult result(dst);
        Restore(bytes, dst, TargetRoots(), result);
        EXPECT_EQ("next", dst.FileBytes("dst0\\Data\\MyData\\b.dat"));
    }
}

// Measured at 10 bytes when listed and again when opened, it has 16 by the
// time its copy ends: the 10 bytes carried are not the whole file.
TEST(ContentSize, FileThatGrowsWhileItIsCopiedIsNamed) {
    GrowingFileSystem fs;
    fs.AddFile("src0\\Data\\MyData\\a.dat", "0123456789");
    CMigrationContext context(fs);
    CMigrationWriter writer(context, SourceRoots());
    ASSERT_TRUE(writer.BuildList());
    CMemFile mem;
    CArchive ar(&mem, CArchive::store);
    writer.Write(ar);
    ar.Close();
    EXPECT_NE(std::string::npos,
              mem.Bytes().find(Str("a.dat") + Le64(10) + "0123456789" + Le32(0)));
    ASSERT_EQ(1u, context.m_skipped.size());
    EXPECT_EQ(CSkipReason::sizeChanged, context.m_skipped[0].nReason);
    EXPECT_EQ("\\Data\\MyData\\a.dat", context.m_skipped[0].strPath);
}

TEST(ContentSize, FileOfMoreThanFourGibibytesIsWrittenAndRestoredWhole) {
    BigFileSystem src;
    src.AddFile("src0\\Data\\MyData\\big.dat", "");
    CMigrationContext context(src);
    CMigrationWriter writer(context, SourceRoots());
    ASSERT_TRUE(writer.BuildList());
    PatternStream written(kBigPrefix, kBigSuffix);
    CArchive out(&written, CArchive::store);
    writer.Write(out);
    out.Close();
    EXPECT_TRUE(written.Matches());

    BigFileSystem dst;
    dst.AddDirectory("dst0\\Data\\MyData");
    ReadResult result(dst);
    PatternStream file(kBigPrefix, kBigSuffix);
    CArchive in(&file, CArchive::load);
    CMigrationReader(result.context, TargetRoots(), file.GetLength()).Restore(in);
    EXPECT_EQ(1, dst.m_nRestored);
    EXPECT_TRUE(dst.m_bRestoredWhole);
    EXPECT_EQ(kBigSize, result.context.m_nBytes);
}
