#include "IkoConsole.h"

#include "NameConverter.h"

#include <cstdio>

// The terminal speaks UTF-8.
struct CIkoConsole::Impl {
    CNameConverter names;
};

CIkoConsole::CIkoConsole() : m_pImpl(std::make_unique<Impl>()) {}
CIkoConsole::~CIkoConsole() = default;

void CIkoConsole::Out(const CString& strLine) {
    std::printf("%s\n", m_pImpl->names.ToUtf8Lossy(strLine).c_str());
}

void CIkoConsole::Err(const CString& strLine) {
    (void)std::fflush(stdout);
    (void)std::fprintf(stderr, "%s\n", m_pImpl->names.ToUtf8Lossy(strLine).c_str());
}

bool CIkoConsole::FromArgument(const char* pszArg, CString& strArg) {
    return m_pImpl->names.FromUtf8(pszArg, strArg);
}
