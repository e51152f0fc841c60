#pragma once
#include "IkoPattern.h"

#include <cstdint>
#include <vector>

class CIkoOutput;
class CTargetPath;

// The patterns of --only, each with the number of targets it took.
class CIkoSelection {
public:
    explicit CIkoSelection(const std::vector<CString>& astrPatterns);
    bool IsActive() const { return !m_patterns.empty(); }
    // Whether a target, in the canonical form the restore writes, is taken.
    bool Takes(const CTargetPath& target);
    // Whether an entry the restore has no target for (a refused path, a root
    // not given) is taken, by its path as stored.  Matches of a root not
    // given are counted apart: the pattern found something the run cannot
    // reach.
    bool TakesStored(int nRoot, const CString& strStoredPath, bool bRootSet);
    // Whether a path below its root (no leading backslash) matches, uncounted.
    bool TakesPath(const CString& strPath) const;
    // Names each pattern that took nothing; true when one did.
    bool ReportUnmatched(CIkoOutput& out, const CString& strFile) const;

private:
    CString Unmatched(size_t nPattern) const;

    std::vector<CIkoPattern> m_patterns;
    std::vector<int64_t> m_matched;
    std::vector<unsigned> m_rootsNotGiven; // per pattern, a bit for each root it met unset
};
