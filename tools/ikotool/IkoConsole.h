#pragma once
#include "String.h"

#include <memory>
#include <string>

// Standard output and error, and the command line's words, in the
// platform's encoding; the program itself works in code page 932.  On a
// terminal one status line may stand below the output: every other line
// takes it away first, and the next Status draws it again.
class CIkoConsole {
public:
    CIkoConsole();
    ~CIkoConsole();
    CIkoConsole(const CIkoConsole&) = delete;
    CIkoConsole& operator=(const CIkoConsole&) = delete;

    void Out(const CString& strLine);
    // Text already in UTF-8 (a JSON document), written unchanged.
    void OutUtf8(const std::string& text);
    void Err(const CString& strLine);
    void Status(const CString& strLine);
    void ClearStatus();
    bool ErrIsTerminal() const;
    // For a JSON document: each character of code page 932 in UTF-8, and
    // U+FFFD for each one that is none (a lead byte whose next byte is no
    // trail byte stands alone, so the byte after it keeps its meaning);
    // *pbLossy, when given, tells whether there was one.  The same on every
    // platform.
    std::string ToUtf8(const CString& str, bool* pbLossy = nullptr);
    // False when the word has no code page 932 form.
    bool FromArgument(const char* pszArg, CString& strArg);

private:
    std::string Shown(const CString& str);
    // One whole character of code page 932 (one or two bytes) in UTF-8;
    // false when the platform has no form for it.
    bool CharToUtf8(const std::string& strChar, std::string& utf8);

    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
    size_t m_nStatusLength = 0; // columns of the status line on the screen
};
