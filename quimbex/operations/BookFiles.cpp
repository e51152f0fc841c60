#include "BookFiles.h"

#include "BookChanges.h"
#include "BookNames.h"
#include "File.h"
#include "ScopedHandle.h"
#include "WinApp.h"

#include <cstdio>

// Only a file is a workbook.  A name that ends in a separator names a
// folder, whatever the file system makes of it (Wine finds the file
// kyuyo.xls under the name kyuyo.xls\ too), and a folder is never renamed
// or overwritten as if it were a workbook.
bool BookFileExists(const CString& path) {
    const int last = path.GetLength() - 1;
    if (last < 0 || path.ReverseFind('\\') == last || path.ReverseFind('/') == last)
        return false;
    CFileStatus status;
    return CFile::GetStatus(path, status) && !(status.m_attribute & FILE_ATTRIBUTE_DIRECTORY);
}

bool NameIsTaken(const CString& path) {
    CFileStatus status;
    return CFile::GetStatus(path, status) != FALSE;
}

// A program started without standard output has nowhere to write the line,
// and nothing else to do about it: the message box follows all the same.
void NoteOnStdout(const char* line) {
    (void)std::fputs(line, stdout);
    (void)std::fputs("\n", stdout);
    (void)std::fflush(stdout);
}

bool RenameBookToBackup(const CString& bookPath, const CString& backupPath,
                        const char* closeMessage) {
    try {
        CFile::Rename(bookPath, backupPath);
        return true;
    } catch (const CFileException& e) {
        ReportBookFileError(e, closeMessage);
        return false;
    }
}

bool CopyBookFile(const CString& from, const CString& to, bool failIfExists) {
    const bool existed = NameIsTaken(to);
    if (::CopyFileA(from, to, failIfExists ? TRUE : FALSE))
        return true;
    if (!existed)
        ::DeleteFileA(to);
    return false;
}

namespace {

CString FailedCopyText(const CString& bookPath) {
    CString text;
    text.Format("ひな形のブックを\n%s\nにコピーできませんでした。",
                FileNamePart(bookPath).GetString());
    return text;
}

} // namespace

bool CopyTemplate(const CString& templ, const CString& bookPath) {
    if (CopyBookFile(templ, bookPath))
        return true;
    AfxMessageBox(FailedCopyText(bookPath));
    return false;
}

// A workbook whose template copy failed is never left under its backup name
// only: the book list and the product would no longer find it.
bool ReplaceBookWithTemplate(const CString& bookPath, const CString& backupPath,
                             const CString& templ, const CString& newPath, const char* closeMessage,
                             CBookChanges* pChanges) {
    if (!RenameBookToBackup(bookPath, backupPath, closeMessage))
        return false;
    if (pChanges) {
        pChanges->NoteReplaced(bookPath, backupPath, newPath, NameIsTaken(newPath));
        return CopyTemplate(templ, newPath);
    }
    if (CopyBookFile(templ, newPath))
        return true;
    CString text = FailedCopyText(newPath);
    if (::MoveFileA(backupPath, bookPath))
        text += "\n元のブックはそのまま残しています。";
    else
        text.AppendFormat("\n元のブックは\n%s\nとして保存されています。",
                          FileNamePart(backupPath).GetString());
    AfxMessageBox(text);
    return false;
}

void ReportBookFileError(const CFileException& e, const char* closeMessage) {
    if (e.m_cause == CFileException::accessDenied ||
        e.m_cause == CFileException::sharingViolation) {
        NoteOnStdout("ERROR: accessDenied");
        AfxMessageBox(closeMessage);
    } else {
        AfxMessageBox(e.GetErrorMessage());
    }
}

bool FolderHoldsName(const CString& folder, const CString& name) {
    WIN32_FIND_DATAA fd;
    const CFindHandle h(::FindFirstFileA(folder + "\\*", &fd));
    if (!h)
        return false;
    bool found = false;
    do
        found = name.CompareNoCase(fd.cFileName) == 0;
    while (!found && ::FindNextFileA(h.Get(), &fd));
    return found;
}

CString BackupDateText() {
    return CTime::GetCurrentTime().Format("%Y年%m月%d日");
}
