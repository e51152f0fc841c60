#pragma once
#include "String.h"

#include <ctime>

// A local point in time, formatted with strftime's directives.
class CTime {
public:
    explicit CTime(std::time_t t = 0) : m_time(t) {}
    static CTime GetCurrentTime() { return CTime(std::time(nullptr)); }
    std::time_t GetTime() const { return m_time; }
    CString Format(const char* pszFormat) const;

private:
    std::time_t m_time;
};
