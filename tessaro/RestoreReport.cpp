#include "RestoreReport.h"

#include "RestoreRecord.h"

#include <algorithm>

std::vector<CSkippedEntry> CRestoreReport::Unwritten(const std::vector<CSkippedEntry>& skipped) {
    std::vector<CSkippedEntry> unwritten;
    for (const CSkippedEntry& entry : skipped)
        if (IsUnwritten(entry.nReason) && !entry.bFolder)
            unwritten.push_back(entry);
    return unwritten;
}

// As the restore's record names it: a line break or a tab of a stored name
// can neither split one name into two lines of the box nor look like
// another name.
CString CRestoreReport::FullPath(const CSkippedEntry& entry, const CMigrationRoots& roots) {
    return CRestoreRecord::Printable(CRestoreRecord::FullPath(entry.nRoot, entry.strPath, roots));
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
