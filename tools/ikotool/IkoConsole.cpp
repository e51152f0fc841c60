#include "IkoConsole.h"

#include <cstdio>

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
