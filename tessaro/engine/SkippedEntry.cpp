#include "SkippedEntry.h"

const char* SkipReasonText(CSkipReason nReason) {
    switch (nReason) {
    case CSkipReason::refusedPath:
        return "refused path";
    case CSkipReason::filtered:
        return "kept out by the restore filter";
    case CSkipReason::cannotWrite:
        return "cannot be written";
    case CSkipReason::emptyRoot:
        return "its root directory is not set";
    case CSkipReason::unconvertibleName:
        return "name cannot be converted";
    case CSkipReason::cannotRead:
        return "cannot be read";
    case CSkipReason::notFollowed:
        return "not followed";
    case CSkipReason::cannotList:
        return "folder cannot be listed";
    case CSkipReason::sizeChanged:
        return "changed while it was written";
    case CSkipReason::notAWindowsName:
        return "name not allowed on Windows";
    case CSkipReason::nothingToWrite:
        return "empty: nothing to write";
    }
    return "skipped";
}

bool IsUnwritten(CSkipReason nReason) {
    return nReason == CSkipReason::cannotWrite || nReason == CSkipReason::unconvertibleName ||
           nReason == CSkipReason::refusedPath;
}

// bUnwritten: those a user expects on disk and did not get; else the
// others, kept out or passed over.
size_t CountFiles(const std::vector<CSkippedEntry>& skipped, bool bUnwritten) {
    size_t n = 0;
    for (const CSkippedEntry& skip : skipped)
        if (!skip.bFolder && IsUnwritten(skip.nReason) == bUnwritten)
            ++n;
    return n;
}
