#pragma once
#include "ScopedHandle_win.h"
#include "String.h"

#include <windows.h>

#include <vector>

// An open registry key that closes itself.  Failures return the Win32 error
// code (ERROR_SUCCESS when it worked).
class CRegKey {
public:
    CRegKey() = default;
    ~CRegKey() { Close(); }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;

    LONG Open(HKEY parent, const char* path, REGSAM access = KEY_READ);
    LONG Create(HKEY parent, const char* path);
    void Close();
    HKEY Handle() const { return m_hKey.Get(); }

    // "" names the default value.
    LONG SetString(const char* name, const char* value);
    LONG QueryString(const char* name, CString& value) const;
    LONG DeleteValue(const char* name);
    std::vector<CString> SubKeyNames() const;

    // Deletes path with all its subkeys; a missing key is no failure.
    static LONG DeleteTree(HKEY parent, const char* path);

private:
    CRegKeyHandle m_hKey;
};
