#pragma once
#include "String.h"

#include <cstdint>
#include <iconv.h>
#include <string>
#include <string_view>
#include <vector>

// Converts names between code page 932 (the file's) and UTF-8 (the disk's
// on POSIX systems).  Not for concurrent use.
class CNameConverter {
public:
    CNameConverter();
    ~CNameConverter();
    CNameConverter(const CNameConverter&) = delete;
    CNameConverter& operator=(const CNameConverter&) = delete;

    bool ToUtf8(const CString& strCp932, std::string& utf8);
    // A part of a code page 932 string, such as the name at the end of a path.
    bool ToUtf8(std::string_view cp932, std::string& utf8);
    bool FromUtf8(const std::string& utf8, CString& strCp932);
    // For showing: bytes that do not convert appear as \xNN.
    std::string ToUtf8Lossy(const CString& strCp932);

private:
    // What each character has converted to so far, by its code; 0 when not
    // yet asked.
    using Table = std::vector<uint32_t>;

    static bool Convert(iconv_t cd, Table& table, bool bFromCp932, std::string_view in,
                        std::string& out);
    static bool ConvertWhole(iconv_t cd, std::string_view in, std::string& out);
    static bool ConvertByCharacter(iconv_t cd, Table& table, bool bFromCp932, std::string_view in,
                                   std::string& out);
    static uint32_t Lookup(iconv_t cd, Table& table, uint32_t nKey, const char* pCharacter,
                           size_t nLength);

    iconv_t m_toUtf8;
    iconv_t m_fromUtf8;
    Table m_toUtf8Table;
    Table m_fromUtf8Table;
};
