#pragma once
#include "String.h"

#include <iconv.h>
#include <string>

// Converts names between code page 932 (the file's) and UTF-8 (the disk's
// on POSIX systems).  Not for concurrent use.
class CNameConverter {
public:
    CNameConverter();
    ~CNameConverter();
    CNameConverter(const CNameConverter&) = delete;
    CNameConverter& operator=(const CNameConverter&) = delete;

    bool ToUtf8(const CString& strCp932, std::string& utf8);
    bool FromUtf8(const std::string& utf8, CString& strCp932);
    // For showing: bytes that do not convert appear as \xNN.
    std::string ToUtf8Lossy(const CString& strCp932);

private:
    static bool Convert(iconv_t cd, const std::string& in, std::string& out);

    iconv_t m_toUtf8;
    iconv_t m_fromUtf8;
};
