#pragma once
#include "Dialog_win.h"

// Private messages that start the long work once the file dialog is gone
// and the main dialog has been repainted.
constexpr UINT UM_CREATE_FILE = WM_USER + 13;
constexpr UINT UM_RESTORE_FILE = WM_USER + 14;

// Dialog 102, the main window: "作成" writes a migration file, "復元"
// restores one, "閉じる" ends the program.
class CTessaroDlg : public CDialog {
public:
    explicit CTessaroDlg(CWnd* pParent = nullptr);

    CString m_strFilePath; // the path chosen in the last file dialog

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT nID, UINT nCode) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    bool OnSysCommand(UINT nID);
    bool OnPaint();
    HICON OnQueryDragIcon() const { return m_hIcon; }
    void OnCreateFile();
    void OnRestoreFile();
    LRESULT OnDoCreateFile();
    LRESULT OnDoRestoreFile();

    HICON m_hIcon;
    HICON m_hSmallIcon;

private:
    void AppendAboutEntry();
    void StartWork(UINT nMessage, const CString& strPath);
};
