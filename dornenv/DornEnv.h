#pragma once
// The product's environment record, exported by DornEnv.dll.  Programs
// construct one wherever they need the product's directories, name or
// workbook extension, read the members and destroy it again.
#include "Object.h"
#include "String.h"

#include <cstdint>

#ifdef DORNENV_BUILD
#define DORNENV_API __declspec(dllexport)
#else
#define DORNENV_API __declspec(dllimport)
#endif

class DORNENV_API CDornEnv : public CObject {
public:
    CDornEnv();
    ~CDornEnv() override;

    CString m_strInstallDir;  // product directory, no trailing backslash
    CString m_strProgramDir;  // program directory (holds "\Exe")
    CString m_strDataDir;     // data directory (holds "\Excel")
    CString m_strProductName; // display name
    CString m_strExcelExt;    // ".xls" or ".xlsm"
    CString m_strExeDir;      // program directory + "\Exe"
    CString m_strMyDataDir;   // product directory + "\Data\MyData"
    CString m_strOrgDir;      // product directory + "\Data\Org"
    CString m_strExcelDir;    // data directory + "\Excel"
    CString m_strVersion;     // version of this library
    CString m_strRegistryKey; // where the values come from
    int32_t m_nInstalled;     // 0: the product is not installed here
    int32_t m_nExcelFormat;   // 1: ".xls", 2: ".xlsm"
};
