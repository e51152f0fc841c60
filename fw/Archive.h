#pragma once
#include "ArchiveStream.h"
#include "Exception.h"

#include <cstdint>
#include <vector>

// The framework's serialisation archive: a buffered reader or writer of
// little-endian integers, the count encoding and length-prefixed strings.
// Every short or malformed read throws CArchiveException.
class CArchive {
public:
    enum Mode { store = 0, load = 1 };

    CArchive(CArchiveStream* pStream, Mode nMode, int nBufSize = 4096);
    // Discards unwritten bytes: a storing archive is finished by Close().
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsLoading() const { return m_nMode == load; }
    bool IsStoring() const { return m_nMode == store; }

    CArchive& operator<<(uint8_t v);
    CArchive& operator<<(uint16_t v);
    CArchive& operator<<(int32_t v);
    CArchive& operator<<(uint32_t v);
    CArchive& operator<<(int64_t v);
    CArchive& operator<<(uint64_t v);
    CArchive& operator<<(const CString& s);
    CArchive& operator>>(uint8_t& v);
    CArchive& operator>>(uint16_t& v);
    CArchive& operator>>(int32_t& v);
    CArchive& operator>>(uint32_t& v);
    CArchive& operator>>(int64_t& v);
    CArchive& operator>>(uint64_t& v);
    CArchive& operator>>(CString& s);

    // A char or bool would be promoted to a four-byte integer without a
    // word: the width of every field is chosen by its type, so these do not
    // compile.
    CArchive& operator<<(char) = delete;
    CArchive& operator<<(signed char) = delete;
    CArchive& operator<<(bool) = delete;
    CArchive& operator>>(char&) = delete;
    CArchive& operator>>(signed char&) = delete;
    CArchive& operator>>(bool&) = delete;

    void WriteCount(uint32_t n);
    uint32_t ReadCount();
    // The string length prefix alone; the text follows with Read().
    uint32_t ReadStringLength();

    void Write(const void* p, unsigned n);
    void Read(void* p, unsigned n); // all n bytes or CArchiveException
    // Reads past n bytes, all of them or CArchiveException.
    void Skip(uint64_t n);
    // Stores up to n bytes read from source, fewer only when source ends;
    // returns how many.  The bytes go through the buffer, never a copy.
    uint64_t WriteFrom(CArchiveStream& source, uint64_t n);
    // Loads n bytes into target, all of them or CArchiveException.
    void ReadTo(CArchiveStream& target, uint64_t n);
    void Flush();
    // Writes what is buffered; every later read or write is an error.
    void Close();
    // Bytes read or written through this archive so far.
    uint64_t GetPosition() const;
    // Loading: a byte left unread after the last field is a malformed
    // file (CArchiveException), as a missing one is.
    void ExpectEnd();

private:
    void FillBuffer();
    void ReadDirect(unsigned char* p, unsigned n);
    void WriteDirect(const unsigned char* p, unsigned n);
    void ThrowEndOfFile() const;
    void CheckOpen() const;

    CArchiveStream* m_pStream;
    Mode m_nMode;
    std::vector<unsigned char> m_buf;
    size_t m_pos = 0;            // next byte to read or write in m_buf
    size_t m_limit = 0;          // bytes valid in m_buf when loading
    uint64_t m_nStreamBytes = 0; // bytes moved to or from the stream
    bool m_bClosed = false;
};
