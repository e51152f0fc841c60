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
    }
    return "skipped";
}

bool IsUnwritten(CSkipReason nReason) {
    return nReason == CSkipReason::cannotWrite || nReason == CSkipReason::unconvertibleName ||
           nReason == CSkipReason::refusedPath;
}
