#include "ExcelVersion.h"

#include "String.h"
#include "Switches.h"
#include "ScopedHandle_win.h"
#include "Win_win.h"

int32_t ReadRegisteredExcelVersion() {
    CRegKeyHandle key;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, "Excel.Application\\CurVer", 0, KEY_READ,
                        key.Receive()) != ERROR_SUCCESS)
        return -1;
    char value[260] = {};
    DWORD size = sizeof value - 1; // always leaves a terminator
    DWORD type = 0;
    int32_t nVersion = -1;
    if (::RegQueryValueExA(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value),
                           &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ))
        nVersion = ExcelVersionFromCurVer(CString(value));
    return nVersion;
}
