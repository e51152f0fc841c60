#include "BookOperator_win.h"

#include "BookFiles.h"
#include "BookNames.h"
#include "Time.h"
#include "WinApp_win.h"

// A backup name that is taken (by a file or a folder) gets the time of day
// before its extension; the new name is not tested again.
CString CBookOperator::MakeUniquePath(CString path) {
    if (!NameIsTaken(path))
        return path;
    return InsertBeforeExtension(path, CTime::GetCurrentTime().Format("%H%M%S"));
}

// The path by value, as the commands' interface has it.
// NOLINTNEXTLINE(performance-unnecessary-value-param): see above
CString CBookOperator::GetFileNamePart(CString path) {
    return FileNamePart(path);
}

// A failed check (Excel unreachable) reads as not protected: the caller
// goes on and the macros report their own failure.
int CBookOperator::CheckUnprotected(const CString& workFile, const CString& bookFile,
                                    const CString& protectedText) {
    if (MacroCheckProtect(workFile, bookFile) == 0)
        return 1;
    AfxMessageBox(protectedText);
    return 0;
}

CString CBookOperator::ProtectedBookText(const CString& bookFile) {
    return bookFile +
           "\nにはパスワード保護がかかっています。\nパスワード保護をはずす必要があります。";
}
