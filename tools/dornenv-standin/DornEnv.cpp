// Stand-in for the product's environment library.  Values come from
// HKLM\SOFTWARE\QZ\Morvane\Env (strings InstallDir, ProgramDir, DataDir,
// ProductName; DWORD Installed); each missing one is derived from where this
// DLL lies.  They are read once per process, so every construction in a run
// gives the same values.
#include "DornEnv.h"
#include "ScopedHandle_win.h"

#include <windows.h>

namespace {

const char kKey[] = "SOFTWARE\\QZ\\Morvane\\Env";
HINSTANCE g_hModule = nullptr;

bool ReadString(HKEY key, const char* name, CString& out) {
    char buf[1024] = {};
    DWORD type = 0, size = sizeof buf - 1;
    if (!key || ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf),
                                   &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return false;
    out = buf;
    // The last character, not a trail byte: "ソ" ends in the byte 0x5C.
    while (!out.IsEmpty() && out.ReverseFind('\\') == out.GetLength() - 1)
        out = out.Left(out.GetLength() - 1);
    return !out.IsEmpty();
}

bool ReadDword(HKEY key, const char* name, int32_t& out) {
    DWORD value = 0, type = 0, size = sizeof value;
    if (!key ||
        ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return false;
    out = static_cast<int32_t>(value);
    return true;
}

bool Exists(const CString& path) {
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// The folder above the one that holds this DLL ("<program dir>\Exe").
CString ProgramDirFromModule() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(g_hModule, path, MAX_PATH);
    CString dir(path);
    for (int i = 0; i < 2; ++i) {
        const int slash = dir.ReverseFind('\\');
        dir = slash > 0 ? dir.Left(slash) : CString(".");
    }
    return dir;
}

struct EnvValues {
    CString installDir, programDir, dataDir, productName, excelExt;
    int32_t installed = 0;
};

EnvValues ReadValues() {
    EnvValues v;
    CRegKeyHandle key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        key.Detach(); // a failed open leaves nothing of ours there
    if (!ReadString(key.Get(), "ProgramDir", v.programDir))
        v.programDir = ProgramDirFromModule();
    if (!ReadString(key.Get(), "InstallDir", v.installDir))
        v.installDir = v.programDir;
    if (!ReadString(key.Get(), "DataDir", v.dataDir))
        v.dataDir = v.programDir;
    if (!ReadString(key.Get(), "ProductName", v.productName))
        v.productName = "Morvane";
    if (!ReadDword(key.Get(), "Installed", v.installed))
        v.installed = Exists(v.installDir + "\\Data") ? 1 : 0;
    const CString myData = v.installDir + "\\Data\\MyData\\";
    const bool onlyType2 = Exists(myData + "ExType2.dat") && !Exists(myData + "ExType1.dat");
    v.excelExt = onlyType2 ? ".xlsm" : ".xls";
    return v;
}

const EnvValues& Values() {
    static const EnvValues values = ReadValues();
    return values;
}

} // namespace

CDornEnv::CDornEnv() {
    const EnvValues& v = Values();
    m_strInstallDir = v.installDir;
    m_strProgramDir = v.programDir;
    m_strDataDir = v.dataDir;
    m_strProductName = v.productName;
    m_strExcelExt = v.excelExt;
    m_strExeDir = v.programDir + "\\Exe";
    m_strMyDataDir = v.installDir + "\\Data\\MyData";
    m_strOrgDir = v.installDir + "\\Data\\Org";
    m_strExcelDir = v.dataDir + "\\Excel";
    m_strVersion = "1.0";
    m_strRegistryKey = CString("HKEY_LOCAL_MACHINE\\") + kKey;
    m_nInstalled = v.installed;
    m_nExcelFormat = v.excelExt == ".xlsm" ? 2 : 1;
}

CDornEnv::~CDornEnv() = default;

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        g_hModule = hInstance;
    return TRUE;
}
