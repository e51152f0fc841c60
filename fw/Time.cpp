#include "Time.h"

#include "Mbcs.h"

#include <cstring>

// Directives are expanded one at a time and every other character is copied
// as it stands, so two-byte text such as "年" never passes through strftime.
CString CTime::Format(const char* pszFormat) const {
    std::tm local{};
    if (const std::tm* p = std::localtime(&m_time))
        local = *p;
    CString out;
    const int n = static_cast<int>(std::strlen(pszFormat));
    for (int i = 0; i < n;) {
        if (pszFormat[i] == '%' && i + 1 < n) {
            const char directive[3] = {'%', pszFormat[i + 1], '\0'};
            char buf[64];
            const size_t len = std::strftime(buf, sizeof buf, directive, &local);
            out += CString(buf, static_cast<int>(len));
            i += 2;
            continue;
        }
        const int len = fw::CharLen932(pszFormat, i, n);
        out += CString(pszFormat + i, len);
        i += len;
    }
    return out;
}
