#include "IkoConsole.h"

#include "NameConverter.h"

#include <unistd.h>

// The terminal speaks UTF-8.
struct CIkoConsole::Impl {
    CNameConverter names;
};

CIkoConsole::CIkoConsole() : m_pImpl(std::make_unique<Impl>()) {}
CIkoConsole::~CIkoConsole() = default;

std::string CIkoConsole::Shown(const CString& str) {
    return m_pImpl->names.ToUtf8Lossy(str);
}

bool CIkoConsole::CharToUtf8(const std::string& strChar, std::string& utf8) {
    return m_pImpl->names.ToUtf8(std::string_view(strChar), utf8);
}

bool CIkoConsole::ErrIsTerminal() const {
    return ::isatty(STDERR_FILENO) == 1;
}

bool CIkoConsole::FromArgument(const char* pszArg, CString& strArg) {
    return m_pImpl->names.FromUtf8(pszArg, strArg);
}
