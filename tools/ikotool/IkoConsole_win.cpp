#include "IkoConsole.h"

#include <windows.h>

// The ANSI code page is 932: bytes pass unchanged, except into UTF-8.
struct CIkoConsole::Impl {};

CIkoConsole::CIkoConsole() = default;
CIkoConsole::~CIkoConsole() = default;

std::string CIkoConsole::Shown(const CString& str) {
    return str.str();
}

// Strictly: a pair the code page does not assign is no character, not the
// code page's default one.
bool CIkoConsole::CharToUtf8(const std::string& strChar, std::string& utf8) {
    wchar_t w[2];
    const int wide = ::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, strChar.data(),
                                           static_cast<int>(strChar.size()), w, 2);
    if (wide <= 0)
        return false;
    char bytes[8];
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, w, wide, bytes, sizeof bytes, nullptr, nullptr);
    if (n <= 0)
        return false;
    utf8.assign(bytes, static_cast<size_t>(n));
    return true;
}

// A console, not merely a character device: _isatty holds NUL for one.
bool CIkoConsole::ErrIsTerminal() const {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

bool CIkoConsole::FromArgument(const char* pszArg, CString& strArg) {
    strArg = pszArg;
    return true;
}
