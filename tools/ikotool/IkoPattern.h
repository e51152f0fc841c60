#pragma once
#include "String.h"

#include <string>
#include <vector>

// A pattern of --only: "*" any run of characters (separators too), "?" one
// character, "/" and "\" one separator, letters of either case.  Matched
// character by character on a code page 932 path below its root, so that
// the trail byte of "表" is neither a separator nor half of a match.
class CIkoPattern {
public:
    explicit CIkoPattern(const CString& strPattern);
    // strPath: a path below its root, with single backslashes and no
    // leading one.
    bool Matches(const CString& strPath) const;
    const CString& Text() const { return m_strText; }

private:
    // One character of a path: a byte, or a lead byte and its trail byte.
    static std::vector<std::string> Characters(const CString& strText, bool bPattern);
    static bool Same(const std::string& pattern, const std::string& path);

    CString m_strText;
    std::vector<std::string> m_chars;
};
