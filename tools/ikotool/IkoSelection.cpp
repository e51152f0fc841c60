#include "IkoSelection.h"

#include "IkoOutput.h"
#include "RestorePath.h"
#include "TargetPath.h"

CIkoSelection::CIkoSelection(const std::vector<CString>& astrPatterns)
    : m_matched(astrPatterns.size(), 0), m_rootsNotGiven(astrPatterns.size(), 0) {
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

bool CIkoSelection::TakesStored(int nRoot, const CString& strStoredPath, bool bRootSet) {
    CString path = CRestorePath::Collapse(strStoredPath);
    while (!path.IsEmpty() && path[0] == '\\')
        path = path.Mid(1);
    bool bTaken = false;
    for (size_t i = 0; i < m_patterns.size(); ++i) {
        if (!m_patterns[i].Matches(path))
            continue;
        bTaken = true;
        if (bRootSet)
            ++m_matched[i];
        else if (nRoot >= 0 && nRoot < 32)
            m_rootsNotGiven[i] |= 1u << nRoot;
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
            out.Error(strFile + ": --only " + m_patterns[i].Text() + Unmatched(i));
            bAny = true;
        }
    return bAny;
}

// A pattern that met only files of roots not given names them: the file
// holds what was asked for, and a --root would reach it.
CString CIkoSelection::Unmatched(size_t nPattern) const {
    const unsigned roots = m_rootsNotGiven[nPattern];
    if (roots == 0)
        return " matches no file in it";
    CString list;
    for (int r = 0; r < 32; ++r)
        if (roots & (1u << r)) {
            CString one;
            one.Format("%s%d", list.IsEmpty() ? "" : ", ", r);
            list += one;
        }
    return " matches only files of root " + list + ", which was not given (--root " + list.Left(1) +
           "=FOLDER)";
}
