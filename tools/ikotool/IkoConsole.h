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
    // For a JSON document: what cannot be converted is shown as best it can.
    std::string ToUtf8(const CString& str);
    // False when the word has no code page 932 form.
    bool FromArgument(const char* pszArg, CString& strArg);

private:
    std::string Shown(const CString& str);

    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
    size_t m_nStatusLength = 0; // columns of the status line on the screen
};
