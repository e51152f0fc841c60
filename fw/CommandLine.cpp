#include "CommandLine.h"

#include "Mbcs.h"

#include <cstring>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The end of the first token.  A quoted token runs to the closing quote; an
// unquoted one to the first blank.  Characters are stepped over whole: every
// byte of a Japanese name belongs to the token, never to the blanks.
int EndOfProgramName(const char* s, int n) {
    if (n > 0 && s[0] == '"') {
        for (int i = 1; i < n; i += fw::CharLen932(s, i, n))
            if (s[i] == '"')
                return i + 1;
        return n;
    }
    int i = 0;
    while (i < n && !IsBlank(s[i]))
        i += fw::CharLen932(s, i, n);
    return i;
}

} // namespace

CString CommandLineTail(const char* pszCommandLine) {
    if (!pszCommandLine)
        return CString();
    const int n = static_cast<int>(std::strlen(pszCommandLine));
    int i = EndOfProgramName(pszCommandLine, n);
    while (i < n && IsBlank(pszCommandLine[i]))
        ++i;
    return CString(pszCommandLine + i);
}
