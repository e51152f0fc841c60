#include "RegKey.h"

LONG CRegKey::Open(HKEY parent, const char* path, REGSAM access) {
    Close();
    return ::RegOpenKeyExA(parent, path, 0, access, m_hKey.Receive());
}

LONG CRegKey::Create(HKEY parent, const char* path) {
    Close();
    return ::RegCreateKeyExA(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_READ | KEY_WRITE, nullptr, m_hKey.Receive(), nullptr);
}

void CRegKey::Close() {
    m_hKey.Close();
}

LONG CRegKey::SetString(const char* name, const char* value) {
    return ::RegSetValueExA(m_hKey.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                            static_cast<DWORD>(lstrlenA(value)) + 1);
}

// Sizes the buffer from the value itself; a value stored without its
// terminating zero is still read whole.
LONG CRegKey::QueryString(const char* name, CString& value) const {
    DWORD type = 0, size = 0;
    LONG rc = ::RegQueryValueExA(m_hKey.Get(), name, nullptr, &type, nullptr, &size);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return ERROR_INVALID_DATA;
    std::vector<char> buf(size + 1, '\0');
    rc = ::RegQueryValueExA(m_hKey.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()),
                            &size);
    if (rc == ERROR_SUCCESS)
        value = buf.data();
    return rc;
}

LONG CRegKey::DeleteValue(const char* name) {
    return ::RegDeleteValueA(m_hKey.Get(), name);
}

std::vector<CString> CRegKey::SubKeyNames() const {
    std::vector<CString> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD len = sizeof name;
        const LONG rc =
            ::RegEnumKeyExA(m_hKey.Get(), i, name, &len, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_MORE_DATA)
            continue;
        if (rc != ERROR_SUCCESS)
            break;
        names.emplace_back(name);
    }
    return names;
}

LONG CRegKey::DeleteTree(HKEY parent, const char* path) {
    const LONG rc = ::RegDeleteTreeA(parent, path);
    return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}
