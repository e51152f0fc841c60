#include "RestoreReport.h"

#include "RestorePath.h"

#include <algorithm>

std::vector<CSkippedEntry> CRestoreReport::Unwritten(const std::vector<CSkippedEntry>& skipped) {
    std::vector<CSkippedEntry> unwritten;
    for (const CSkippedEntry& entry : skipped)
        if (IsUnwritten(entry.nReason))
            unwritten.push_back(entry);
    return unwritten;
}

// The file stores runs of backslashes between the levels; the user reads
// the path as the system shows it.
CString CRestoreReport::FullPath(const CSkippedEntry& entry, const CMigrationRoots& roots) {
    CString relative = CRestorePath::Collapse(entry.strPath);
    if (!CMigrationRoots::IsIndex(entry.nRoot) || roots[entry.nRoot].IsEmpty())
        return relative;
    return roots[entry.nRoot] + "\\" + relative;
}

CString CRestoreReport::NameLines(const std::vector<CSkippedEntry>& unwritten,
                                  const CMigrationRoots& roots,
                                  const char* (*pReason)(CSkipReason)) {
    CString lines;
    const size_t shown = std::min(unwritten.size(), kNamesShown);
    for (size_t i = 0; i < shown; ++i) {
        lines += "\n" + FullPath(unwritten[i], roots);
        if (pReason)
            lines += CString("（") + pReason(unwritten[i].nReason) + "）";
    }
    if (unwritten.size() > shown) {
        CString more;
        more.Format("\nほか %u 件", static_cast<unsigned>(unwritten.size() - shown));
        lines += more;
    }
    return lines;
}
