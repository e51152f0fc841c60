#include "IkoConsole.h"

#include <cstdio>

// The ANSI code page is 932: bytes pass unchanged.
struct CIkoConsole::Impl {};

CIkoConsole::CIkoConsole() = default;
CIkoConsole::~CIkoConsole() = default;

void CIkoConsole::Out(const CString& strLine) {
    std::printf("%s\n", strLine.GetString());
}

void CIkoConsole::Err(const CString& strLine) {
    (void)std::fflush(stdout);
    (void)std::fprintf(stderr, "%s\n", strLine.GetString());
}

bool CIkoConsole::FromArgument(const char* pszArg, CString& strArg) {
    strArg = pszArg;
    return true;
}
