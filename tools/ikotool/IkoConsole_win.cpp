#include "IkoConsole.h"

#include <windows.h>

// The ANSI code page is 932: bytes pass unchanged, except into UTF-8.
struct CIkoConsole::Impl {};

CIkoConsole::CIkoConsole() = default;
CIkoConsole::~CIkoConsole() = default;

std::string CIkoConsole::Shown(const CString& str) {
    return str.str();
}

// A byte that is no character of code page 932 becomes the code page's
// default character: the document stays UTF-8.
std::string CIkoConsole::ToUtf8(const CString& str) {
    if (str.IsEmpty())
        return std::string();
    const int wide = ::MultiByteToWideChar(932, 0, str, str.GetLength(), nullptr, 0);
    std::wstring w(static_cast<size_t>(wide), L'\0');
    ::MultiByteToWideChar(932, 0, str, str.GetLength(), &w[0], wide);
    const int bytes =
        ::WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, &utf8[0], bytes, nullptr, nullptr);
    return utf8;
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
