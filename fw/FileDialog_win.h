#pragma once
#include "Wnd_win.h"

// The platform's open or save dialog.  The filter is written as
// "description|pattern|...||"; the chosen full path comes from GetPathName.
class CFileDialog {
public:
    CFileDialog(BOOL bOpenFileDialog, const char* pszDefExt = nullptr,
                const char* pszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                const char* pszFilter = nullptr, CWnd* pParentWnd = nullptr);

    INT_PTR DoModal(); // IDOK or IDCANCEL
    CString GetPathName() const { return m_strPath; }

private:
    BOOL m_bOpen;
    CString m_strDefExt;
    CString m_strFileName;
    DWORD m_dwFlags;
    CString m_strFilter;
    CWnd* m_pParentWnd;
    CString m_strPath;
};

// "a|b||" as the platform wants it: each "|" a terminator, stepping over
// two-byte characters (a trail byte may be 0x7C).
std::string FilterWithTerminators(const CString& filter);
