#pragma once
#include "MigrationRoots.h"
#include "SkippedEntry.h"

#include <vector>

// What "作成" and the backup mode tell about the files of the installation
// that the file they wrote does not hold whole.
class CLeftOutReport {
public:
    // The first few full paths, each with its reason, then how many more.
    static CString NameLines(const std::vector<CSkippedEntry>& leftOut,
                             const CMigrationRoots& roots);
    static const char* Reason(CSkipReason nReason);
};
