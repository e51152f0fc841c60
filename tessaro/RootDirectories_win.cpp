#include "TessaroApp_win.h"

#include "DornEnv.h"

#include <cstring>
#include <vector>

namespace {

// One byte more than the longest value, zero-filled: a REG_SZ stored
// without its terminating NUL still ends inside the buffer.
bool QueryStringValue(HKEY key, const char* pszValueName, DWORD cbMaxData, CString& strValue) {
    std::vector<char> buffer(static_cast<size_t>(cbMaxData) + 1, '\0');
    DWORD type = 0;
    DWORD size = cbMaxData;
    if (::RegQueryValueExA(key, pszValueName, nullptr, &type,
                           reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    strValue = buffer.data();
    return true;
}

} // namespace

// Roots 3 and 4 are the product directory again; no entry uses them.
void CTessaroApp::SetRootDirectories() {
    CDornEnv env;
    m_astrRoots[0] = env.m_strInstallDir;
    m_astrRoots[1] = env.m_strDataDir;
    CString common;
    if (ReadRegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\QZ\\SorvikV\\CommonV", "CommonDir",
                           common))
        m_astrRoots[2] = common;
    m_astrRoots[3] = env.m_strInstallDir;
    m_astrRoots[4] = env.m_strInstallDir;
}

// The key is opened for reading only: asking for full access fails for a
// standard user, whose migration files would then silently lack the common
// files.  The longest name and data lengths of the key size the read.
bool CTessaroApp::ReadRegistryString(HKEY hRoot, const char* pszSubKey, const char* pszValueName,
                                     CString& strValue) {
    CRegKeyHandle key;
    if (::RegOpenKeyExA(hRoot, pszSubKey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return false;
    DWORD cchMaxName = 0, cbMaxData = 0;
    const bool ok =
        ::RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           &cchMaxName, &cbMaxData, nullptr, nullptr) == ERROR_SUCCESS &&
        cchMaxName >= std::strlen(pszValueName) &&
        QueryStringValue(key.Get(), pszValueName, cbMaxData, strValue);
    return ok;
}
