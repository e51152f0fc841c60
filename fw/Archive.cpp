#include "Archive.h"

#include <algorithm>
#include <cstring>

CArchive::CArchive(CArchiveStream* pStream, Mode nMode, int nBufSize)
    : m_pStream(pStream), m_nMode(nMode), m_buf(static_cast<size_t>(std::max(nBufSize, 16))) {}

CArchive::~CArchive() = default;

void CArchive::ThrowEndOfFile() const {
    throw CArchiveException(CArchiveException::endOfFile, m_pStream->GetFilePath());
}

// Bytes written to a closed archive would be lost without a word, and a read
// would see stale buffer contents.
void CArchive::CheckOpen() const {
    if (m_bClosed)
        throw CArchiveException(CArchiveException::generic, m_pStream->GetFilePath());
}

void CArchive::FillBuffer() {
    m_pos = 0;
    m_limit = m_pStream->Read(m_buf.data(), static_cast<unsigned>(m_buf.size()));
    m_nStreamBytes += m_limit;
}

// The stream runs ahead of the reader by what is still buffered, and behind
// the writer by what is not yet flushed.
uint64_t CArchive::GetPosition() const {
    return IsLoading() ? m_nStreamBytes - (m_limit - m_pos) : m_nStreamBytes + m_pos;
}

// The stream is asked once the buffer is used up: a file may end exactly
// at a buffer's edge.
void CArchive::ExpectEnd() {
    if (!IsLoading())
        throw CArchiveException(CArchiveException::writeOnly, m_pStream->GetFilePath());
    CheckOpen();
    if (m_pos == m_limit)
        FillBuffer();
    if (m_pos != m_limit)
        throw CArchiveException(CArchiveException::badIndex, m_pStream->GetFilePath());
}

// A piece at least as large as the buffer goes to the stream at once, after
// what is buffered: copying it through the buffer would only cost time.
void CArchive::Write(const void* p, unsigned n) {
    if (!IsStoring())
        throw CArchiveException(CArchiveException::readOnly, m_pStream->GetFilePath());
    CheckOpen();
    const auto* src = static_cast<const unsigned char*>(p);
    while (n > 0) {
        if (m_pos == m_buf.size())
            Flush();
        if (m_pos == 0 && n >= m_buf.size()) {
            WriteDirect(src, n);
            return;
        }
        const size_t chunk = std::min<size_t>(n, m_buf.size() - m_pos);
        std::memcpy(m_buf.data() + m_pos, src, chunk);
        m_pos += chunk;
        src += chunk;
        n -= static_cast<unsigned>(chunk);
    }
}

void CArchive::WriteDirect(const unsigned char* p, unsigned n) {
    m_pStream->Write(p, n);
    m_nStreamBytes += n;
}

// Likewise a piece at least as large as the buffer is read straight into
// the caller's memory once the buffer is used up.
void CArchive::Read(void* p, unsigned n) {
    if (!IsLoading())
        throw CArchiveException(CArchiveException::writeOnly, m_pStream->GetFilePath());
    CheckOpen();
    auto* dst = static_cast<unsigned char*>(p);
    while (n > 0) {
        if (m_pos == m_limit) {
            if (n >= m_buf.size()) {
                ReadDirect(dst, n);
                return;
            }
            FillBuffer();
            if (m_limit == 0)
                ThrowEndOfFile();
        }
        const size_t chunk = std::min<size_t>(n, m_limit - m_pos);
        std::memcpy(dst, m_buf.data() + m_pos, chunk);
        m_pos += chunk;
        dst += chunk;
        n -= static_cast<unsigned>(chunk);
    }
}

void CArchive::ReadDirect(unsigned char* p, unsigned n) {
    while (n > 0) {
        const unsigned got = m_pStream->Read(p, n);
        if (got == 0)
            ThrowEndOfFile();
        m_nStreamBytes += got;
        p += got;
        n -= got;
    }
}

// A stream that can move ahead is not read at all: checking a migration
// file then costs its records, not its contents.
void CArchive::Skip(uint64_t n) {
    if (!IsLoading())
        throw CArchiveException(CArchiveException::writeOnly, m_pStream->GetFilePath());
    CheckOpen();
    const size_t buffered = std::min<uint64_t>(n, m_limit - m_pos);
    m_pos += buffered;
    n -= buffered;
    if (n == 0)
        return;
    const int64_t skipped = m_pStream->Skip(n);
    if (skipped >= 0) {
        m_nStreamBytes += static_cast<uint64_t>(skipped);
        if (static_cast<uint64_t>(skipped) < n)
            ThrowEndOfFile();
        return;
    }
    while (n > 0) {
        FillBuffer();
        if (m_limit == 0)
            ThrowEndOfFile();
        m_pos = std::min<uint64_t>(n, m_limit);
        n -= m_pos;
    }
}

// The source reads straight into the free part of the buffer: a file's
// content is copied once, by the system, on its way into the archive.
uint64_t CArchive::WriteFrom(CArchiveStream& source, uint64_t n) {
    if (!IsStoring())
        throw CArchiveException(CArchiveException::readOnly, m_pStream->GetFilePath());
    CheckOpen();
    uint64_t done = 0;
    while (done < n) {
        if (m_pos == m_buf.size())
            Flush();
        const size_t room = static_cast<size_t>(std::min<uint64_t>(m_buf.size() - m_pos, n - done));
        const unsigned got = source.Read(m_buf.data() + m_pos, static_cast<unsigned>(room));
        if (got == 0)
            break;
        m_pos += got;
        done += got;
    }
    return done;
}

// The target writes straight from the buffer, likewise.
void CArchive::ReadTo(CArchiveStream& target, uint64_t n) {
    if (!IsLoading())
        throw CArchiveException(CArchiveException::writeOnly, m_pStream->GetFilePath());
    CheckOpen();
    while (n > 0) {
        if (m_pos == m_limit) {
            FillBuffer();
            if (m_limit == 0)
                ThrowEndOfFile();
        }
        const size_t chunk = static_cast<size_t>(std::min<uint64_t>(m_limit - m_pos, n));
        target.Write(m_buf.data() + m_pos, static_cast<unsigned>(chunk));
        m_pos += chunk;
        n -= chunk;
    }
}

void CArchive::Flush() {
    CheckOpen();
    if (IsStoring() && m_pos > 0) {
        m_pStream->Write(m_buf.data(), static_cast<unsigned>(m_pos));
        m_nStreamBytes += m_pos;
        m_pos = 0;
    }
}

void CArchive::Close() {
    if (!m_bClosed) {
        Flush();
        m_bClosed = true;
    }
}

CArchive& CArchive::operator<<(uint8_t v) {
    Write(&v, 1);
    return *this;
}

CArchive& CArchive::operator<<(uint16_t v) {
    const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    Write(b, 2);
    return *this;
}

CArchive& CArchive::operator<<(uint32_t v) {
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16),
                                static_cast<unsigned char>(v >> 24)};
    Write(b, 4);
    return *this;
}

CArchive& CArchive::operator<<(int32_t v) {
    return *this << static_cast<uint32_t>(v);
}

// Low 32 bits first.
CArchive& CArchive::operator<<(uint64_t v) {
    return *this << static_cast<uint32_t>(v) << static_cast<uint32_t>(v >> 32);
}

CArchive& CArchive::operator<<(int64_t v) {
    return *this << static_cast<uint64_t>(v);
}

CArchive& CArchive::operator>>(uint8_t& v) {
    Read(&v, 1);
    return *this;
}

CArchive& CArchive::operator>>(uint16_t& v) {
    unsigned char b[2];
    Read(b, 2);
    v = static_cast<uint16_t>(b[0] | (b[1] << 8));
    return *this;
}

CArchive& CArchive::operator>>(uint32_t& v) {
    unsigned char b[4];
    Read(b, 4);
    v = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
        (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
    return *this;
}

CArchive& CArchive::operator>>(int32_t& v) {
    uint32_t u;
    *this >> u;
    v = static_cast<int32_t>(u);
    return *this;
}

CArchive& CArchive::operator>>(uint64_t& v) {
    uint32_t low, high;
    *this >> low >> high;
    v = (static_cast<uint64_t>(high) << 32) | low;
    return *this;
}

CArchive& CArchive::operator>>(int64_t& v) {
    uint64_t u;
    *this >> u;
    v = static_cast<int64_t>(u);
    return *this;
}

// Count: two bytes below 0xFFFF, else FF FF and four bytes.
void CArchive::WriteCount(uint32_t n) {
    if (n < 0xFFFF) {
        *this << static_cast<uint16_t>(n);
    } else {
        *this << static_cast<uint16_t>(0xFFFF) << n;
    }
}

uint32_t CArchive::ReadCount() {
    uint16_t w;
    *this >> w;
    if (w != 0xFFFF)
        return w;
    uint32_t n;
    *this >> n;
    return n;
}

// String length prefix: one byte below 0xFF; else FF and two bytes below
// 0xFFFE; else FF FF FF and four bytes.  No terminator follows the text.
CArchive& CArchive::operator<<(const CString& s) {
    const uint32_t len = static_cast<uint32_t>(s.GetLength());
    if (len < 0xFF) {
        *this << static_cast<uint8_t>(len);
    } else if (len < 0xFFFE) {
        *this << static_cast<uint8_t>(0xFF) << static_cast<uint16_t>(len);
    } else {
        *this << static_cast<uint8_t>(0xFF) << static_cast<uint16_t>(0xFFFF) << len;
    }
    Write(s.GetString(), len);
    return *this;
}

// FF FE FF marks another string encoding that these files never hold: it is
// malformed here.
uint32_t CArchive::ReadStringLength() {
    uint8_t b;
    *this >> b;
    uint32_t len = b;
    if (b == 0xFF) {
        uint16_t w;
        *this >> w;
        if (w == 0xFFFE)
            throw CArchiveException(CArchiveException::badIndex, m_pStream->GetFilePath());
        len = w;
        if (w == 0xFFFF)
            *this >> len;
    }
    if (len > 0x7FFFFFFF)
        throw CArchiveException(CArchiveException::badIndex, m_pStream->GetFilePath());
    return len;
}

// The text is read in pieces, so a length that the file cannot back ends in
// the end-of-file exception after at most one piece of memory, never in a
// huge allocation.
CArchive& CArchive::operator>>(CString& s) {
    const uint32_t len = ReadStringLength();
    std::string text;
    constexpr uint32_t kPiece = 64 * 1024;
    while (text.size() < len) {
        const uint32_t chunk = std::min<uint32_t>(kPiece, len - static_cast<uint32_t>(text.size()));
        const size_t old = text.size();
        text.resize(old + chunk);
        Read(&text[old], chunk);
    }
    s = CString(std::move(text));
    return *this;
}
