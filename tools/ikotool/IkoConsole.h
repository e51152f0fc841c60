#pragma once
#include "String.h"

#include <memory>

// Standard output and error, and the command line's words, in the
// platform's encoding; the program itself works in code page 932.
class CIkoConsole {
public:
    CIkoConsole();
    ~CIkoConsole();
    void Out(const CString& strLine);
    void Err(const CString& strLine);
    // False when the word has no code page 932 form.
    bool FromArgument(const char* pszArg, CString& strArg);

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};
