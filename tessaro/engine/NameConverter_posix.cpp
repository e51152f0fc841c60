#include "NameConverter.h"

#include "Mbcs.h"

namespace {

// What iconv_open answers when it cannot convert.
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

const char kHexDigits[] = "0123456789ABCDEF";

} // namespace

CNameConverter::CNameConverter()
    : m_toUtf8(iconv_open("UTF-8", "CP932")), m_fromUtf8(iconv_open("CP932", "UTF-8")) {}

CNameConverter::~CNameConverter() {
    if (m_toUtf8 != kNoConverter)
        iconv_close(m_toUtf8);
    if (m_fromUtf8 != kNoConverter)
        iconv_close(m_fromUtf8);
}

namespace {

constexpr uint32_t kFailed = 0xFFFFFFFF;

bool IsAscii(std::string_view s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

unsigned char Byte(std::string_view s, size_t i) {
    return i < s.size() ? static_cast<unsigned char>(s[i]) : 0;
}

bool IsContinuation(unsigned char c) {
    return c >= 0x80 && c <= 0xBF;
}

// The length and key (the code) of the code page 932 character at s[i]; 0
// when it is cut off.
size_t Cp932Character(std::string_view s, size_t i, uint32_t& nKey) {
    const unsigned char c = Byte(s, i);
    if (!fw::IsLeadByte932(c)) {
        nKey = c;
        return 1;
    }
    if (i + 1 >= s.size())
        return 0;
    nKey = (static_cast<uint32_t>(c) << 8) | Byte(s, i + 1);
    return 2;
}

// The length and code point of a well-formed UTF-8 character of two or three
// bytes at s[i]; 0 for anything else (overlong forms, surrogates, four
// bytes), which the whole-name conversion judges.
size_t Utf8Character(std::string_view s, size_t i, uint32_t& nKey) {
    const unsigned char c = Byte(s, i), c1 = Byte(s, i + 1), c2 = Byte(s, i + 2);
    if (c >= 0xC2 && c <= 0xDF && IsContinuation(c1)) {
        nKey = ((c & 0x1Fu) << 6) | (c1 & 0x3Fu);
        return 2;
    }
    if (c < 0xE0 || c > 0xEF || !IsContinuation(c1) || !IsContinuation(c2) ||
        (c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 > 0x9F))
        return 0;
    nKey = ((c & 0x0Fu) << 12) | ((c1 & 0x3Fu) << 6) | (c2 & 0x3Fu);
    return 3;
}

// Up to three bytes and their count in one table cell.
uint32_t Pack(const std::string& bytes) {
    if (bytes.empty() || bytes.size() > 3)
        return kFailed;
    uint32_t cell = static_cast<uint32_t>(bytes.size()) << 24;
    for (size_t i = 0; i < bytes.size(); ++i)
        cell |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << (16 - 8 * i);
    return cell;
}

char* Unpack(uint32_t cell, char* d) {
    const uint32_t n = cell >> 24;
    for (uint32_t i = 0; i < n; ++i)
        *d++ = static_cast<char>((cell >> (16 - 8 * i)) & 0xFF);
    return d;
}

} // namespace

// All or nothing: an unmapped or cut character fails the whole name.  Both
// code pages keep the 128 ASCII characters as they are (0x5C is the
// backslash in code page 932 too), so most names need no converter, and the
// others are put together from the characters converted before: a folder
// of Japanese names costs one converter call per distinct character, not
// one per name.
bool CNameConverter::Convert(iconv_t cd, Table& table, bool bFromCp932, std::string_view in,
                             std::string& out) {
    if (cd == kNoConverter)
        return false;
    if (IsAscii(in)) {
        out.assign(in.data(), in.size());
        return true;
    }
    return ConvertByCharacter(cd, table, bFromCp932, in, out) || ConvertWhole(cd, in, out);
}

bool CNameConverter::ConvertWhole(iconv_t cd, std::string_view in, std::string& out) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string copy(in); // iconv takes the input as modifiable
    out.assign(in.size() * 3 + 4, '\0');
    char* src = &copy[0];
    size_t srcLeft = in.size();
    char* dst = &out[0];
    size_t dstLeft = out.size();
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) ||
        iconv(cd, nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1))
        return false;
    out.resize(out.size() - dstLeft);
    return true;
}

// False whenever a character is not plainly convertible: the whole-name
// conversion then decides, so the result is always the converter's own.
bool CNameConverter::ConvertByCharacter(iconv_t cd, Table& table, bool bFromCp932,
                                        std::string_view in, std::string& out) {
    out.resize(in.size() * 3); // the most a character grows: 2 bytes of 932 become 3
    char* d = &out[0];
    for (size_t i = 0; i < in.size();) {
        if (Byte(in, i) < 0x80) {
            *d++ = in[i++];
            continue;
        }
        uint32_t key = 0;
        const size_t len = bFromCp932 ? Cp932Character(in, i, key) : Utf8Character(in, i, key);
        const uint32_t cell = len ? Lookup(cd, table, key, in.data() + i, len) : kFailed;
        if (cell == kFailed)
            return false;
        d = Unpack(cell, d);
        i += len;
    }
    out.resize(static_cast<size_t>(d - out.data()));
    return true;
}

uint32_t CNameConverter::Lookup(iconv_t cd, Table& table, uint32_t nKey, const char* pCharacter,
                                size_t nLength) {
    if (table.empty())
        table.assign(0x10000, 0);
    uint32_t& cell = table[nKey];
    if (cell == 0) {
        std::string out;
        cell = ConvertWhole(cd, std::string_view(pCharacter, nLength), out) ? Pack(out) : kFailed;
    }
    return cell;
}

bool CNameConverter::ToUtf8(const CString& strCp932, std::string& utf8) {
    return Convert(m_toUtf8, m_toUtf8Table, true, strCp932.str(), utf8);
}

bool CNameConverter::ToUtf8(std::string_view cp932, std::string& utf8) {
    return Convert(m_toUtf8, m_toUtf8Table, true, cp932, utf8);
}

bool CNameConverter::FromUtf8(const std::string& utf8, CString& strCp932) {
    std::string out;
    if (!Convert(m_fromUtf8, m_fromUtf8Table, false, utf8, out))
        return false;
    strCp932 = CString(std::move(out));
    return true;
}

// Character by character, so one bad byte spoils only itself.
std::string CNameConverter::ToUtf8Lossy(const CString& strCp932) {
    std::string all;
    if (ToUtf8(strCp932, all))
        return all;
    const std::string& s = strCp932.str();
    const int n = static_cast<int>(s.size());
    std::string out, piece;
    for (int i = 0; i < n;) {
        const int len = fw::CharLen932(s.data(), i, n);
        const CString ch(s.substr(static_cast<size_t>(i), static_cast<size_t>(len)));
        if (ToUtf8(ch, piece)) {
            out += piece;
        } else {
            for (const char c : s.substr(static_cast<size_t>(i), static_cast<size_t>(len))) {
                const auto b = static_cast<unsigned char>(c);
                out += "\\x";
                out += kHexDigits[b >> 4];
                out += kHexDigits[b & 0x0F];
            }
        }
        i += len;
    }
    return out;
}
