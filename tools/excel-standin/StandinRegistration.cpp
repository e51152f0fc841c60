// Registration of the stand-in as "Excel.Application".  Wine 8 reads COM
// classes only from HKLM\Software\Classes, so everything goes there.
#include "ExcelStandinControl.h"

#include "RegKey.h"

#include <initguid.h>

namespace ExcelStandin {

// {62F53B1A-3CA7-4C56-8CA7-C40667C69079}: ours, not Excel's.
DEFINE_GUID(kClsidValue, 0x62f53b1a, 0x3ca7, 0x4c56, 0x8c, 0xa7, 0xc4, 0x06, 0x67, 0xc6, 0x90,
            0x79);
const CLSID kClsid = kClsidValue;
const char kClsidText[] = "{62F53B1A-3CA7-4C56-8CA7-C40667C69079}";
const char kProgId[] = "Excel.Application";
const char kWindowClass[] = "XLMAIN";
const char kExeName[] = "ExcelStandin.exe";

namespace {

const char kClasses[] = "Software\\Classes";

CString ClassesPath(const CString& sub) {
    return CString(kClasses) + "\\" + sub;
}
CString ClsidPath() {
    return ClassesPath(CString("CLSID\\") + kClsidText);
}

CString VersionedProgId(int version) {
    CString id;
    id.Format("%s.%d", kProgId, version);
    return id;
}

bool Fail(LONG rc) {
    ::SetLastError(static_cast<DWORD>(rc));
    return false;
}

// Sets the default value of path (created when missing) and, when name is
// given, the value name too.
LONG WriteValue(const CString& path, const char* name, const char* value) {
    CRegKey key;
    LONG rc = key.Create(HKEY_LOCAL_MACHINE, path);
    return rc == ERROR_SUCCESS ? key.SetString(name, value) : rc;
}

// True when the key's CLSID subkey names our class.
bool IsOurs(const CString& classesSubKey) {
    CRegKey key;
    CString clsid;
    return key.Open(HKEY_LOCAL_MACHINE, ClassesPath(classesSubKey + "\\CLSID")) == ERROR_SUCCESS &&
           key.QueryString("", clsid) == ERROR_SUCCESS && clsid.CompareNoCase(kClsidText) == 0;
}

LONG WriteVersionedProgId(int version) {
    const CString progId = VersionedProgId(version);
    LONG rc = WriteValue(ClassesPath(progId), "", "Excel stand-in application");
    if (rc == ERROR_SUCCESS)
        rc = WriteValue(ClassesPath(progId + "\\CLSID"), "", kClsidText);
    return rc;
}

// A path with a blank is quoted, or the command line would be cut there.
CString LocalServerCommand(const char* exePath) {
    char full[MAX_PATH];
    const DWORD n = ::GetFullPathNameA(exePath, MAX_PATH, full, nullptr);
    const CString path = (n > 0 && n < MAX_PATH) ? CString(full) : CString(exePath);
    return path.Find(' ') >= 0 ? "\"" + path + "\"" : path;
}

} // namespace

bool Register(const char* exePath, int version) {
    if (!Unregister())
        return false;
    const CString clsid = ClsidPath();
    const CString progId = VersionedProgId(version);
    const struct {
        CString path;
        const char* name;
        CString value;
    } values[] = {
        {clsid, "", "Excel stand-in application"},
        {clsid + "\\LocalServer32", "", LocalServerCommand(exePath)},
        {clsid + "\\ProgID", "", progId},
        {clsid + "\\VersionIndependentProgID", "", kProgId},
        {ClassesPath(kProgId), "", "Excel stand-in application"},
        {ClassesPath(CString(kProgId) + "\\CLSID"), "", kClsidText},
        {ClassesPath(CString(kProgId) + "\\CurVer"), "", progId},
    };
    for (const auto& v : values)
        if (const LONG rc = WriteValue(v.path, v.name, v.value); rc != ERROR_SUCCESS)
            return Fail(rc);
    const LONG rc = WriteVersionedProgId(version);
    return rc == ERROR_SUCCESS || Fail(rc);
}

// Removes our class, "Excel.Application" and every "Excel.Application.<n>"
// that names our class; a program identifier of another class stays.
bool Unregister() {
    CRegKey classes;
    LONG rc = classes.Open(HKEY_LOCAL_MACHINE, kClasses);
    if (rc != ERROR_SUCCESS)
        return Fail(rc);
    const CString versioned = CString(kProgId) + ".";
    for (const CString& name : classes.SubKeyNames()) {
        const bool progId = name.CompareNoCase(kProgId) == 0 ||
                            name.Left(versioned.GetLength()).CompareNoCase(versioned) == 0;
        if (progId && IsOurs(name))
            if ((rc = CRegKey::DeleteTree(HKEY_LOCAL_MACHINE, ClassesPath(name))) != ERROR_SUCCESS)
                return Fail(rc);
    }
    rc = CRegKey::DeleteTree(HKEY_LOCAL_MACHINE, ClsidPath());
    return rc == ERROR_SUCCESS || Fail(rc);
}

// Only an existing registration gets a CurVer: a lone CurVer would make a
// half-registered Excel.
bool SetCurVer(int version) {
    if (!IsOurs(kProgId))
        return Fail(ERROR_FILE_NOT_FOUND);
    LONG rc = WriteVersionedProgId(version);
    if (rc == ERROR_SUCCESS)
        rc = WriteValue(ClassesPath(CString(kProgId) + "\\CurVer"), "", VersionedProgId(version));
    return rc == ERROR_SUCCESS || Fail(rc);
}

bool RemoveCurVer() {
    const LONG rc =
        CRegKey::DeleteTree(HKEY_LOCAL_MACHINE, ClassesPath(CString(kProgId) + "\\CurVer"));
    return rc == ERROR_SUCCESS || Fail(rc);
}

CString ReadCurVer() {
    CRegKey key;
    CString value;
    if (key.Open(HKEY_LOCAL_MACHINE, ClassesPath(CString(kProgId) + "\\CurVer")) != ERROR_SUCCESS ||
        key.QueryString("", value) != ERROR_SUCCESS)
        return CString();
    return value;
}

CString ServerPathBeside(const void* address) {
    HMODULE module = nullptr;
    if (!::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                  GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<const char*>(address ? address : &kExeName), &module))
        module = nullptr;
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(module, path, MAX_PATH);
    CString dir(path);
    const int slash = dir.ReverseFind('\\');
    return (slash >= 0 ? dir.Left(slash + 1) : CString()) + kExeName;
}

} // namespace ExcelStandin
