#include "IkoSelection.h"

#include "IkoOutput.h"
#include "TargetPath.h"

CIkoSelection::CIkoSelection(const std::vector<CString>& astrPatterns)
    : m_matched(astrPatterns.size(), 0) {
    for (const CString& pattern : astrPatterns)
        m_patterns.emplace_back(pattern);
}

// Every pattern is tried, so that each one's count is whole.
bool CIkoSelection::Takes(const CTargetPath& target) {
    CString path = target.RelativePath();
    while (!path.IsEmpty() && path[0] == '\\')
        path = path.Mid(1);
    bool bTaken = false;
    for (size_t i = 0; i < m_patterns.size(); ++i)
        if (m_patterns[i].Matches(path)) {
            ++m_matched[i];
            bTaken = true;
        }
    return bTaken;
}

bool CIkoSelection::TakesPath(const CString& strPath) const {
    if (!IsActive())
        return true;
    for (const CIkoPattern& pattern : m_patterns)
        if (pattern.Matches(strPath))
            return true;
    return false;
}

bool CIkoSelection::ReportUnmatched(CIkoOutput& out, const CString& strFile) const {
    bool bAny = false;
    for (size_t i = 0; i < m_patterns.size(); ++i)
        if (m_matched[i] == 0) {
            out.Error(strFile + ": --only " + m_patterns[i].Text() + " matches no file in it");
            bAny = true;
        }
    return bAny;
}
