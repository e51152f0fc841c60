#include "LeftOutReport.h"

#include "RestoreReport.h"

CString CLeftOutReport::NameLines(const std::vector<CSkippedEntry>& leftOut,
                                  const CMigrationRoots& roots) {
    return CRestoreReport::NameLines(leftOut, roots, &Reason);
}

// Short, for the end of a line; the reasons of a restore do not arise here.
const char* CLeftOutReport::Reason(CSkipReason nReason) {
    switch (nReason) {
    case CSkipReason::unconvertibleName:
        return "ファイル名に使用できない文字があります";
    case CSkipReason::notAWindowsName:
        return "Windowsで使用できない名前です";
    case CSkipReason::cannotRead:
        return "ファイルを読み込めません";
    case CSkipReason::cannotList:
        return "フォルダーの内容を読み込めません";
    case CSkipReason::sizeChanged:
        return "作成中にファイルが変更されました";
    case CSkipReason::notFollowed:
        return "フォルダーの階層が深すぎるか、特殊なファイルです";
    default:
        return "ファイルを読み込めません";
    }
}
