#pragma once
#include "MigrationRoots.h"
#include "SkippedEntry.h"

#include <vector>

// What a restore tells the user about the entries of the file that it did
// not write although the user expects them on this computer.
class CRestoreReport {
public:
    // Names listed one per line; the rest are counted.
    static constexpr size_t kNamesShown = 5;

    // Targets the system refused (hidden, system, read-only, held open,
    // below a folder that could not be made), names without a form here and
    // paths that would leave their root.  Entries kept out on purpose (the
    // restore filter, a root this computer does not have) are not among them.
    static std::vector<CSkippedEntry> Unwritten(const std::vector<CSkippedEntry>& skipped);
    // The full paths of the first kNamesShown entries, one a line, each
    // followed by its reason when pReason gives one, then how many more
    // there are.
    static CString NameLines(const std::vector<CSkippedEntry>& unwritten,
                             const CMigrationRoots& roots,
                             const char* (*pReason)(CSkipReason) = nullptr);
    static CString FullPath(const CSkippedEntry& entry, const CMigrationRoots& roots);
};
