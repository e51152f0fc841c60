#include "ExcelVersionCheck.h"

#include "RunOutcome.h"
#include "Win_win.h"

bool HasExcelVersion(int32_t version, int32_t minVersion, const char* caption,
                     const char* missingText, const char* oldText) {
    if (version >= minVersion)
        return true;
    ::MessageBoxA(nullptr, version == -1 ? missingText : oldText, caption,
                  MB_OK | MB_ICONINFORMATION);
    CRunOutcome::NoteFailed();
    return false;
}
