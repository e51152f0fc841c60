#include "IkoConsole.h"

#include "Mbcs.h"

#include <cstdio>

namespace {

const char kReplacement[] = "\xEF\xBF\xBD"; // U+FFFD

bool IsTrailByte932(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

// Single bytes that are no character of the code page.
bool IsUnusedByte932(unsigned char c) {
    return c == 0x80 || c == 0xA0 || c >= 0xFD;
}

} // namespace

std::string CIkoConsole::ToUtf8(const CString& str, bool* pbLossy) {
    const std::string& s = str.str();
    std::string utf8, piece;
    bool bLossy = false;
    for (size_t i = 0; i < s.size();) {
        const auto byte = static_cast<unsigned char>(s[i]);
        size_t len = 1;
        bool bChar = !IsUnusedByte932(byte);
        if (fw::IsLeadByte932(byte)) {
            bChar = i + 1 < s.size() && IsTrailByte932(static_cast<unsigned char>(s[i + 1]));
            len = bChar ? 2 : 1;
        }
        if (bChar && CharToUtf8(s.substr(i, len), piece))
            utf8 += piece;
        else {
            utf8 += kReplacement;
            bLossy = true;
        }
        i += len;
    }
    if (pbLossy)
        *pbLossy = bLossy;
    return utf8;
}

// Standard output is flushed before standard error is written, so that the
// two keep their order where both go to one terminal or file.
void CIkoConsole::Out(const CString& strLine) {
    ClearStatus();
    std::printf("%s\n", Shown(strLine).c_str());
}

void CIkoConsole::OutUtf8(const std::string& text) {
    ClearStatus();
    (void)std::fwrite(text.data(), 1, text.size(), stdout);
}

void CIkoConsole::Err(const CString& strLine) {
    ClearStatus();
    (void)std::fflush(stdout);
    (void)std::fprintf(stderr, "%s\n", Shown(strLine).c_str());
}

// The status line is plain ASCII, one column a byte; what a longer line
// before it left on the screen is blanked.
void CIkoConsole::Status(const CString& strLine) {
    (void)std::fflush(stdout);
    const size_t length = static_cast<size_t>(strLine.GetLength());
    (void)std::fprintf(stderr, "\r%s", strLine.GetString());
    if (m_nStatusLength > length)
        (void)std::fprintf(stderr, "%s\r%s", std::string(m_nStatusLength - length, ' ').c_str(),
                           strLine.GetString());
    (void)std::fflush(stderr);
    m_nStatusLength = length;
}

void CIkoConsole::ClearStatus() {
    if (m_nStatusLength == 0)
        return;
    (void)std::fprintf(stderr, "\r%s\r", std::string(m_nStatusLength, ' ').c_str());
    (void)std::fflush(stderr);
    m_nStatusLength = 0;
}
