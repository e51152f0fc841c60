#include "TessaroDlg_win.h"

#include "AboutDlg_win.h"
#include "FileDialog_win.h"
#include "MainDlgRes.h"
#include "ResourceModule_win.h"
#include "TessaroApp_win.h"
#include "TessaroRes.h"

namespace {
const char kMigrationFilter[] = "Morvane／移行データﾌｧｲﾙ(*.iko)|*.iko||";
} // namespace

// The small icon is loaded at its own size, so that the 16 x 16 picture of
// icon 128 shows in the caption rather than the large one shrunk.
CTessaroDlg::CTessaroDlg(CWnd* pParent)
    : CDialog(IDD_TESSARO_DIALOG, pParent),
      m_hIcon(::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_hSmallIcon(static_cast<HICON>(::LoadImageA(
          AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
          ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_SHARED))) {}

BOOL CTessaroDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AppendAboutEntry();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL,
                reinterpret_cast<LPARAM>(m_hSmallIcon ? m_hSmallIcon : m_hIcon));
    return TRUE;
}

// A separator and the About entry at the end of the system menu, when there
// is a menu and string 101 has a text.
void CTessaroDlg::AppendAboutEntry() {
    const HMENU hMenu = ::GetSystemMenu(m_hWnd, FALSE);
    char text[256] = {};
    if (!hMenu || ::LoadStringA(AfxGetResourceHandle(), IDS_ABOUTBOX, text, sizeof text) <= 0)
        return;
    ::AppendMenuA(hMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(hMenu, MF_STRING, IDM_ABOUT, text);
}

BOOL CTessaroDlg::OnCommand(UINT nID, UINT nCode) {
    if (nCode == BN_CLICKED && nID == IDC_CREATE_FILE) {
        OnCreateFile();
        return TRUE;
    }
    if (nCode == BN_CLICKED && nID == IDC_RESTORE_FILE) {
        OnRestoreFile();
        return TRUE;
    }
    return CDialog::OnCommand(nID, nCode);
}

bool CTessaroDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT* pResult) {
    switch (msg) {
    case WM_SYSCOMMAND:
        return OnSysCommand(static_cast<UINT>(wParam));
    case WM_PAINT:
        return OnPaint();
    case WM_QUERYDRAGICON:
        *pResult = reinterpret_cast<LRESULT>(OnQueryDragIcon());
        return true;
    case UM_CREATE_FILE:
        *pResult = OnDoCreateFile();
        return true;
    case UM_RESTORE_FILE:
        *pResult = OnDoRestoreFile();
        return true;
    default:
        return false;
    }
}

// The system keeps the low four bits of a system command for itself.
bool CTessaroDlg::OnSysCommand(UINT nID) {
    if ((nID & 0xFFF0) != IDM_ABOUT)
        return false;
    CAboutDlg about;
    about.DoModal();
    return true;
}

// Only a minimised dialog is painted here: the icon, centred in the client
// area.  Otherwise the dialog paints itself as usual.
bool CTessaroDlg::OnPaint() {
    if (!::IsIconic(m_hWnd))
        return false;
    PAINTSTRUCT ps;
    const HDC hdc = ::BeginPaint(m_hWnd, &ps);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
    const int cxIcon = ::GetSystemMetrics(SM_CXICON);
    const int cyIcon = ::GetSystemMetrics(SM_CYICON);
    RECT rect;
    ::GetClientRect(m_hWnd, &rect);
    const int x = (rect.right - rect.left - cxIcon + 1) / 2;
    const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    ::DrawIcon(hdc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &ps);
    return true;
}

// The save dialog, owned by this dialog; a name typed without extension
// gets ".iko".  Cancelling does nothing.
void CTessaroDlg::OnCreateFile() {
    CFileDialog dlg(FALSE, "iko", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    kMigrationFilter);
    if (dlg.DoModal() == IDOK)
        StartWork(UM_CREATE_FILE, dlg.GetPathName());
}

void CTessaroDlg::OnRestoreFile() {
    CFileDialog dlg(TRUE, "iko", "*.iko", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kMigrationFilter);
    if (dlg.DoModal() == IDOK)
        StartWork(UM_RESTORE_FILE, dlg.GetPathName());
}

// The work runs from a posted message, after this dialog has been repainted
// where the file dialog covered it: the long work blocks all painting.
void CTessaroDlg::StartWork(UINT nMessage, const CString& strPath) {
    theApp.m_strFilePath = strPath;
    m_strFilePath = strPath;
    ::PostMessageA(m_hWnd, nMessage, 0, 0);
    ::RedrawWindow(m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}
