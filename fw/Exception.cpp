#include "Exception.h"

namespace {

// The file name in a report; the framework says "不明" when it has none.
CString NameOrUnknown(const CString& name) {
    return name.IsEmpty() ? CString("不明") : name;
}

} // namespace

CString CArchiveException::GetErrorMessage() const {
    CString text;
    const CString name = NameOrUnknown(m_strFileName);
    switch (m_cause) {
    case endOfFile:
        text.Format("%s の読み込み中に予期しないファイルの終わりに達しました。", name.GetString());
        break;
    case badClass:
    case badSchema:
    case badIndex:
        text.Format("%s の形式が正しくありません。", name.GetString());
        break;
    case readOnly:
        text.Format("読み込み専用で開かれた %s に書き込もうとしました。", name.GetString());
        break;
    case writeOnly:
        text.Format("書き込み専用で開かれた %s から読み込もうとしました。", name.GetString());
        break;
    default:
        text.Format("%s へのアクセス中に予期しないエラーが発生しました。", name.GetString());
        break;
    }
    return text;
}

CString CFileException::GetErrorMessage() const {
    CString text;
    const CString name = NameOrUnknown(m_strFileName);
    switch (m_cause) {
    case fileNotFound:
        text.Format("%s が見つかりません。", name.GetString());
        break;
    case badPath:
        text.Format("%s のパスの一部またはすべてが無効です。", name.GetString());
        break;
    case tooManyOpenFiles:
        text.Format("開かれているファイルが多すぎるため、%s を開けません。", name.GetString());
        break;
    case accessDenied:
        text.Format("%s へのアクセスが拒否されました。", name.GetString());
        break;
    case sharingViolation:
        text.Format("%s は他のプロセスで使用中のため、アクセスできません。", name.GetString());
        break;
    case lockViolation:
        text.Format("%s のロックされた領域にアクセスしようとしました。", name.GetString());
        break;
    case diskFull:
        text.Format("%s の書き込み中にディスクがいっぱいになりました。", name.GetString());
        break;
    case endOfFile:
        text.Format("%s の終わりを越えてアクセスしようとしました。", name.GetString());
        break;
    case hardIO:
        text.Format("%s へのアクセス中にハードウェアの I/O エラーが発生しました。",
                    name.GetString());
        break;
    default:
        text.Format("%s へのアクセス中に予期しないエラーが発生しました。", name.GetString());
        break;
    }
    return text;
}

CString CMemoryException::GetErrorMessage() const {
    return CString("メモリが不足しています。");
}
