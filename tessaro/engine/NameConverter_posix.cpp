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

// All or nothing: an unmapped or cut character fails the whole name.
bool CNameConverter::Convert(iconv_t cd, const std::string& in, std::string& out) {
    if (cd == kNoConverter)
        return false;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    out.assign(in.size() * 3 + 4, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = &out[0];
    size_t dstLeft = out.size();
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) ||
        iconv(cd, nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1))
        return false;
    out.resize(out.size() - dstLeft);
    return true;
}

bool CNameConverter::ToUtf8(const CString& strCp932, std::string& utf8) {
    return Convert(m_toUtf8, strCp932.str(), utf8);
}

bool CNameConverter::FromUtf8(const std::string& utf8, CString& strCp932) {
    std::string out;
    if (!Convert(m_fromUtf8, utf8, out))
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
