#include "FileDialog_win.h"

#include "Mbcs.h"

#include <commdlg.h>

#include <vector>

std::string FilterWithTerminators(const CString& filter) {
    std::string out = filter.str();
    const int n = static_cast<int>(out.size());
    for (int i = 0; i < n; i += fw::CharLen932(out.data(), i, n))
        if (out[static_cast<size_t>(i)] == '|')
            out[static_cast<size_t>(i)] = '\0';
    return out; // c_str() adds the terminator that ends the list
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char* pszDefExt, const char* pszFileName,
                         DWORD dwFlags, const char* pszFilter, CWnd* pParentWnd)
    : m_bOpen(bOpenFileDialog), m_strDefExt(pszDefExt), m_strFileName(pszFileName),
      m_dwFlags(dwFlags), m_strFilter(pszFilter), m_pParentWnd(pParentWnd) {}

INT_PTR CFileDialog::DoModal() {
    std::vector<char> file(MAX_PATH * 4, '\0');
    m_strFileName.str().copy(file.data(), file.size() - 1);
    const std::string filter = FilterWithTerminators(m_strFilter);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = CWnd::GetSafeOwner(m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr);
    ofn.lpstrFilter = m_strFilter.IsEmpty() ? nullptr : filter.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrDefExt = m_strDefExt.IsEmpty() ? nullptr : m_strDefExt.GetString();
    ofn.Flags = m_dwFlags | OFN_EXPLORER;
    const BOOL ok = m_bOpen ? ::GetOpenFileNameA(&ofn) : ::GetSaveFileNameA(&ofn);
    if (!ok)
        return IDCANCEL;
    m_strPath = file.data();
    return IDOK;
}
