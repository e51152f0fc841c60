#include "TessaroApp.h"

#include "Switches.h"

// The major version of the Excel registered for automation: the number
// after "Excel.Application." in the default value of
// "Excel.Application\CurVer"; -1 when there is none to read.
void CTessaroApp::ReadExcelVersion() {
    m_nExcelVersion = -1;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, "Excel.Application\\CurVer", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return;
    char value[260] = {};
    DWORD size = sizeof value - 1; // always leaves a terminator
    DWORD type = 0;
    if (::RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
            ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ))
        m_nExcelVersion = ParseLeadingNumber(CString(value).Mid(18));
    ::RegCloseKey(key);
}
