#pragma once
#include "ScopedHandle_win.h"
#include "SkippedEntry.h"
#include "WinApp_win.h"

#include <cstdint>
#include <vector>

// The migration tool: start-up checks, then the main dialog or, with
// "/K:1", the backup mode.  Each start does one of them and ends.
class CTessaroApp : public CWinApp {
public:
    CTessaroApp();
    BOOL InitInstance() override;
    int ExitInstance() override;

    bool CheckWritePermission();
    void SetRootDirectories();
    static bool ReadRegistryString(HKEY hRoot, const char* pszSubKey, const char* pszValueName,
                                   CString& strValue);
    void ParseSwitches();
    void RunBackup();
    bool WriteMigrationFile();
    // strMessage, followed by the cause of the last failed write if known.
    CString WithWriteError(const CString& strMessage) const;
    // pszFormat (file name, count, name lines) filled for the files that the
    // last written file lacks.
    CString LeftOutText(const char* pszFormat) const;
    bool RestoreMigrationFile();
    void ReadExcelVersion();

    int32_t m_nExcelVersion = -1;
    int32_t m_bBookRestored = 0;
    CString m_strBookExt;
    int32_t m_nCommand = 0;
    CString m_strFilePath;
    CString m_astrRoots[5];
    CString m_strWriteError; // why the last WriteMigrationFile failed
    // What the file that the last WriteMigrationFile wrote does not hold
    // whole; empty when it wrote none.
    std::vector<CSkippedEntry> m_leftOut;

private:
    bool TakeLocalMutex(const CString& strProductName);
    bool TakeGlobalMutex(const CString& strProductName);
    void ReleaseMutexes();
    void RunMainDialog();

    CHandle m_hMutex;
    bool m_bMutexCreated = false;
    CHandle m_hGlobalMutex;
};

extern CTessaroApp theApp;
