#pragma once
#include <cstdarg>
#include <string>

// The formats of CString::Format are those of the C library the program
// uses: with mingw-w64's GCC the GNU-compatible one, which libstdc++ selects.
#if defined(__MINGW32__) && !defined(__clang__)
#define FW_PRINTF_FORMAT(f, a) __attribute__((format(gnu_printf, f, a)))
#else
#define FW_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))
#endif

// A byte string in code page 932.  Searching, trimming and case folding step
// over whole characters, so a trail byte is never mistaken for an ASCII one.
class CString {
public:
    CString() = default;
    CString(const char* psz) : m_s(psz ? psz : "") {}
    CString(const char* p, int nLength) : m_s(p, static_cast<size_t>(nLength)) {}
    CString(char ch, int nRepeat = 1) : m_s(static_cast<size_t>(nRepeat), ch) {}
    explicit CString(std::string s) : m_s(std::move(s)) {}

    int GetLength() const { return static_cast<int>(m_s.size()); }
    bool IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    char GetAt(int i) const { return m_s[static_cast<size_t>(i)]; }
    char operator[](int i) const { return GetAt(i); }
    void SetAt(int i, char ch) { m_s[static_cast<size_t>(i)] = ch; }
    const char* GetString() const { return m_s.c_str(); }
    operator const char*() const { return m_s.c_str(); }
    const std::string& str() const { return m_s; }

    CString& operator=(const char* psz);
    CString& operator+=(const CString& s);
    CString& operator+=(const char* psz);
    CString& operator+=(char ch);

    int Compare(const char* psz) const;
    int CompareNoCase(const char* psz) const;

    int Find(char ch, int nStart = 0) const;
    int Find(const char* pszSub, int nStart = 0) const;
    int ReverseFind(char ch) const;

    CString Left(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Right(int nCount) const;

    CString& MakeUpper();
    CString& MakeLower();
    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();
    int Replace(const char* pszOld, const char* pszNew);

    // printf formats, checked at each call like printf's.
    void Format(const char* pszFormat, ...) FW_PRINTF_FORMAT(2, 3);
    void FormatV(const char* pszFormat, va_list args);
    void AppendFormat(const char* pszFormat, ...) FW_PRINTF_FORMAT(2, 3);

    // For Win32 calls that fill a caller's buffer.
    char* GetBuffer(int nMinLength);
    void ReleaseBuffer(int nNewLength = -1);

private:
    std::string m_s;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const char* b);
CString operator+(const char* a, const CString& b);
CString operator+(const CString& a, char b);
inline bool operator==(const CString& a, const CString& b) {
    return a.str() == b.str();
}
inline bool operator==(const CString& a, const char* b) {
    return a.Compare(b) == 0;
}
inline bool operator==(const char* a, const CString& b) {
    return b.Compare(a) == 0;
}
inline bool operator!=(const CString& a, const CString& b) {
    return !(a == b);
}
inline bool operator!=(const CString& a, const char* b) {
    return !(a == b);
}
inline bool operator<(const CString& a, const CString& b) {
    return a.str() < b.str();
}
