#include "String.h"

#include "Mbcs.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

char FoldLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char FoldUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Applies fold to every single-byte character; two-byte characters stay.
template <typename Fold> void FoldSingleBytes(std::string& s, Fold fold) {
    const int n = static_cast<int>(s.size());
    for (int i = 0; i < n;) {
        const int len = fw::CharLen932(s.data(), i, n);
        if (len == 1)
            s[static_cast<size_t>(i)] = fold(s[static_cast<size_t>(i)]);
        i += len;
    }
}

// True when the text of length m that starts on the character boundary i
// also ends on one: a match must never take half of a two-byte character.
bool EndsOnBoundary(const std::string& s, int i, int m) {
    const int n = static_cast<int>(s.size());
    int j = i;
    while (j < i + m)
        j += fw::CharLen932(s.data(), j, n);
    return j == i + m;
}

bool MatchesAt(const std::string& s, int i, const char* sub, int m) {
    return i + m <= static_cast<int>(s.size()) &&
           s.compare(static_cast<size_t>(i), static_cast<size_t>(m), sub) == 0 &&
           EndsOnBoundary(s, i, m);
}

int Clamp(int v, int lo, int hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

} // namespace

CString& CString::operator=(const char* psz) {
    m_s = psz ? psz : "";
    return *this;
}

CString& CString::operator+=(const CString& s) {
    m_s += s.m_s;
    return *this;
}

CString& CString::operator+=(const char* psz) {
    if (psz)
        m_s += psz;
    return *this;
}

CString& CString::operator+=(char ch) {
    m_s += ch;
    return *this;
}

int CString::Compare(const char* psz) const {
    const int r = std::strcmp(m_s.c_str(), psz ? psz : "");
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

// Folds single-byte letters only: "Ａ" and "ａ" (two-byte) stay different.
int CString::CompareNoCase(const char* psz) const {
    std::string a = m_s, b = psz ? psz : "";
    FoldSingleBytes(a, FoldLower);
    FoldSingleBytes(b, FoldLower);
    const int r = std::strcmp(a.c_str(), b.c_str());
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CString::Find(char ch, int nStart) const {
    const int n = GetLength();
    if (nStart < 0)
        nStart = 0;
    for (int i = 0; i < n;) {
        const int len = fw::CharLen932(m_s.data(), i, n);
        if (i >= nStart && len == 1 && m_s[static_cast<size_t>(i)] == ch)
            return i;
        i += len;
    }
    return -1;
}

// A match counts only where it begins and ends on character boundaries of
// this string.  A null text is found nowhere.
int CString::Find(const char* pszSub, int nStart) const {
    if (!pszSub)
        return -1;
    const int n = GetLength();
    const int m = static_cast<int>(std::strlen(pszSub));
    if (nStart < 0)
        nStart = 0;
    if (nStart > n)
        return -1;
    for (int i = 0; i + m <= n;) {
        if (i >= nStart && MatchesAt(m_s, i, pszSub, m))
            return i;
        if (i == n)
            break;
        i += fw::CharLen932(m_s.data(), i, n);
    }
    return -1;
}

int CString::ReverseFind(char ch) const {
    const int n = GetLength();
    int found = -1;
    for (int i = 0; i < n;) {
        const int len = fw::CharLen932(m_s.data(), i, n);
        if (len == 1 && m_s[static_cast<size_t>(i)] == ch)
            found = i;
        i += len;
    }
    return found;
}

CString CString::Left(int nCount) const {
    nCount = Clamp(nCount, 0, GetLength());
    return CString(m_s.substr(0, static_cast<size_t>(nCount)));
}

CString CString::Mid(int nFirst) const {
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const {
    nFirst = Clamp(nFirst, 0, GetLength());
    nCount = Clamp(nCount, 0, GetLength() - nFirst);
    return CString(m_s.substr(static_cast<size_t>(nFirst), static_cast<size_t>(nCount)));
}

CString CString::Right(int nCount) const {
    nCount = Clamp(nCount, 0, GetLength());
    return CString(m_s.substr(m_s.size() - static_cast<size_t>(nCount)));
}

CString& CString::MakeUpper() {
    FoldSingleBytes(m_s, FoldUpper);
    return *this;
}

CString& CString::MakeLower() {
    FoldSingleBytes(m_s, FoldLower);
    return *this;
}

CString& CString::Trim() {
    return TrimRight().TrimLeft();
}

CString& CString::TrimLeft() {
    size_t i = 0;
    while (i < m_s.size() && IsSpace(m_s[i]))
        ++i;
    m_s.erase(0, i);
    return *this;
}

// White space is single-byte and never a trail byte, yet the end is found by
// walking characters so that the rule stays obvious.
CString& CString::TrimRight() {
    const int n = GetLength();
    int keep = 0;
    for (int i = 0; i < n;) {
        const int len = fw::CharLen932(m_s.data(), i, n);
        if (len > 1 || !IsSpace(m_s[static_cast<size_t>(i)]))
            keep = i + len;
        i += len;
    }
    m_s.erase(static_cast<size_t>(keep));
    return *this;
}

int CString::Replace(const char* pszOld, const char* pszNew) {
    const int m = pszOld ? static_cast<int>(std::strlen(pszOld)) : 0;
    if (m == 0)
        return 0;
    std::string out;
    int count = 0;
    const int n = GetLength();
    for (int i = 0; i < n;) {
        if (MatchesAt(m_s, i, pszOld, m)) {
            out += pszNew ? pszNew : "";
            i += m;
            ++count;
            continue;
        }
        const int len = fw::CharLen932(m_s.data(), i, n);
        out.append(m_s, static_cast<size_t>(i), static_cast<size_t>(len));
        i += len;
    }
    m_s.swap(out);
    return count;
}

// args comes initialised from the caller's va_start; the analyser cannot
// see that across the call.
void CString::FormatV(const char* pszFormat, va_list args) {
    va_list copy;
    va_copy(copy, args);
    // NOLINTNEXTLINE(clang-analyzer-valist.Uninitialized): see above
    const int needed = std::vsnprintf(nullptr, 0, pszFormat, copy);
    va_end(copy);
    std::vector<char> buf(needed < 0 ? 1 : static_cast<size_t>(needed) + 1);
    if (needed < 0 || std::vsnprintf(buf.data(), buf.size(), pszFormat, args) != needed) {
        m_s.clear();
        return;
    }
    m_s.assign(buf.data(), static_cast<size_t>(needed));
}

// printf semantics are the framework's interface (CString::Format): the
// callers' literals and arguments are checked by the compiler's format
// warnings instead.
void CString::Format(const char* pszFormat, ...) { // NOLINT(cert-dcl50-cpp): see above
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::AppendFormat(const char* pszFormat, ...) { // NOLINT(cert-dcl50-cpp): as Format
    CString more;
    va_list args;
    va_start(args, pszFormat);
    more.FormatV(pszFormat, args);
    va_end(args);
    m_s += more.m_s;
}

char* CString::GetBuffer(int nMinLength) {
    if (nMinLength > GetLength())
        m_s.resize(static_cast<size_t>(nMinLength));
    return &m_s[0];
}

void CString::ReleaseBuffer(int nNewLength) {
    if (nNewLength < 0)
        nNewLength = static_cast<int>(std::strlen(m_s.c_str()));
    m_s.resize(static_cast<size_t>(nNewLength));
}

CString operator+(const CString& a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(const CString& a, const char* b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(const char* a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(const CString& a, char b) {
    CString r(a);
    r += b;
    return r;
}
