#pragma once
#include "String.h"

#include <vector>

// The command line of ikotool.
class CIkoOptions {
public:
    enum Command { none, list, test, create, extract };
    static constexpr int kRootCount = 3; // product, data, common

    // False with strError on a usage error.
    bool Parse(const std::vector<CString>& args, CString& strError);
    static const char* Usage();

    Command m_nCommand = none;
    CString m_strFile;
    CString m_astrRoots[kRootCount];
    bool m_abRootGiven[kRootCount] = {};
    int m_nFormat = 0; // 0: from the installation's markers

private:
    bool ParseRoot(const CString& strValue, CString& strError);
    bool ParseFormat(const CString& strValue, CString& strError);
    bool ParseOption(const std::vector<CString>& args, size_t& i, CString& strError);
    bool CheckComplete(CString& strError) const;
};
