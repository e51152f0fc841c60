#include "IkoPattern.h"

#include "Mbcs.h"

namespace {

bool IsSeparator(const std::string& c) {
    return c == "\\" || c == "/";
}

char Folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

CIkoPattern::CIkoPattern(const CString& strPattern)
    : m_strText(strPattern), m_chars(Characters(strPattern, true)) {}

// A run of separators is one, as in the restore's paths, and the pattern
// is anchored below the root, so its leading separators go.
std::vector<std::string> CIkoPattern::Characters(const CString& strText, bool bPattern) {
    const std::string& s = strText.str();
    const int n = static_cast<int>(s.size());
    std::vector<std::string> chars;
    for (int i = 0; i < n;) {
        const int len = fw::CharLen932(s.data(), i, n);
        std::string c = s.substr(static_cast<size_t>(i), static_cast<size_t>(len));
        i += len;
        if (bPattern && IsSeparator(c)) {
            if (chars.empty() || IsSeparator(chars.back()))
                continue;
            c = "\\";
        }
        chars.push_back(std::move(c));
    }
    return chars;
}

bool CIkoPattern::Same(const std::string& pattern, const std::string& path) {
    if (pattern == "?")
        return true;
    if (pattern.size() != path.size())
        return false;
    if (pattern.size() == 1)
        return Folded(pattern[0]) == Folded(path[0]);
    return pattern == path;
}

// The usual walk with one step back to the last "*".
bool CIkoPattern::Matches(const CString& strPath) const {
    const std::vector<std::string> path = Characters(strPath, false);
    size_t p = 0, s = 0, star = std::string::npos, resume = 0;
    while (s < path.size()) {
        if (p < m_chars.size() && m_chars[p] == "*") {
            star = p++;
            resume = s;
        } else if (p < m_chars.size() && Same(m_chars[p], path[s])) {
            ++p;
            ++s;
        } else if (star != std::string::npos) {
            p = star + 1;
            s = ++resume;
        } else
            return false;
    }
    while (p < m_chars.size() && m_chars[p] == "*")
        ++p;
    return p == m_chars.size();
}
