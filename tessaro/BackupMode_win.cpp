#include "TessaroApp_win.h"

#include "DornEnv.h"
#include "FileDialog_win.h"
#include "Time.h"

namespace {

const char kCreatedWithout[] =
    "ファイル名：%s\nバックアップファイルを作成しましたが、次のファイルは含まれていません"
    "（全 %u 件）。%s\n\nこれらのファイルは復元されません。他のアプリケーションで使用中の"
    "ファイルは、そのアプリケーションを終了してから、もう一度バックアップしてください。";

} // namespace

// The backup mode shows no window of its own: only the save dialog, without
// owner, proposing "<product>_バックアップ<time stamp>.iko", and one box
// without owner.  Cancelling the dialog ends the program silently.  A file
// written without some of the files names them with the exclamation icon.
void CTessaroApp::RunBackup() {
    CDornEnv env;
    const CString stamp = CTime::GetCurrentTime().Format("%Y%m%d%H%M%S");
    m_strFilePath.Format("%s_バックアップ%s.iko", env.m_strProductName.GetString(),
                         stamp.GetString());
    CFileDialog dlg(FALSE, "iko", m_strFilePath, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    "Morvane／ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙ(*.iko)|*.iko||");
    if (dlg.DoModal() != IDOK)
        return;
    m_strFilePath = dlg.GetPathName();
    CString caption;
    caption.Format("%s バックアップ", env.m_strProductName.GetString());
    CString text;
    if (WriteMigrationFile()) {
        text.Format("ファイル名：%s\nバックアップファイルを作成しました。",
                    m_strFilePath.GetString());
        ::MessageBoxA(nullptr, text, caption, MB_ICONINFORMATION);
    } else if (!m_leftOut.empty()) {
        ::MessageBoxA(nullptr, LeftOutText(kCreatedWithout), caption, MB_ICONEXCLAMATION);
    } else {
        text.Format("ファイル名：%s\n%sバックアップファイルが作成できませんでした。",
                    m_strFilePath.GetString(), env.m_strProductName.GetString());
        ::MessageBoxA(nullptr, WithWriteError(text), caption, MB_ICONEXCLAMATION);
    }
}
