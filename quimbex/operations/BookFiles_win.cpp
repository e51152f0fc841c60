#include "BookFiles.h"

#include "BookChanges.h"
#include "BookNames.h"
#include "File_win.h"
#include "ScopedHandle_win.h"
#include "WinApp_win.h"

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

// The system opens a file by its short name, in any case of its letters and
// with trailing dots; a file copied to such a spelling would get it as its
// own name.  A pattern is never looked up: it would find another file.
CString NameInFolder(const CString& path) {
    const CString name = FileNamePart(path);
    if (name.Find('*') >= 0 || name.Find('?') >= 0)
        return name;
    WIN32_FIND_DATAA fd;
    const CFindHandle h(::FindFirstFileA(path, &fd));
    if (!h)
        return name;
    return fd.cFileName;
}

// The system opens "KYUY~GNT.XLS" as "kyuyo.xlsm": a rename or a template
// copied under the record's name would change that workbook, or make a
// second one beside it that the list then names.
bool NamesFileInFolder(const CString& excelDir, const CString& name) {
    if (!IsBookFileName(name))
        return false;
    WIN32_FIND_DATAA fd;
    const CFindHandle h(::FindFirstFileA(excelDir + name, &fd));
    if (!h)
        return true;
    return !(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
           name.CompareNoCase(fd.cFileName) == 0;
}

// A name too long for the folder is looked up by no one: the system would
// refuse or cut it.
bool NamesWorkbookInFolder(const CString& excelDir, const CString& name) {
    return IsBookRecordName(name) && FitsInFolder(excelDir, name) &&
           NamesFileInFolder(excelDir, name);
}

bool NamesBookInFolder(const CString& excelDir, const CString& name) {
    return NamesWorkbookInFolder(excelDir, name) && BookNamesFit(excelDir, name);
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

// Copying straight over the file would cut it when the disk fills up: the
// workbook would hold neither its data nor the template.
bool ReplaceFileWithCopy(const CString& from, const CString& to) {
    char temp[MAX_PATH];
    const int slash = to.ReverseFind('\\');
    if (slash < 0 || !::GetTempFileNameA(to.Left(slash), "qbx", 0, temp))
        return false;
    if (::CopyFileA(from, temp, FALSE) && ::MoveFileExA(temp, to, MOVEFILE_REPLACE_EXISTING))
        return true;
    ::DeleteFileA(temp);
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

namespace {

// A run that notes its changes writes the book list only when every book is
// done: a workbook whose name changes stays under its old one until then,
// so that a run that ends half-way (the program killed) leaves the list
// naming workbooks that exist.  Its backup is a copy.
bool CopyBookAside(const CString& bookPath, const CString& backupPath, const CString& templ,
                   const CString& newPath, CBookChanges& changes) {
    if (!CopyBookFile(bookPath, backupPath, true)) {
        CString text;
        text.Format("ブック\n%s\nのバックアップ\n%s\nを作成できませんでした。",
                    FileNamePart(bookPath).GetString(), FileNamePart(backupPath).GetString());
        AfxMessageBox(text);
        return false;
    }
    changes.NoteCopied(bookPath, backupPath, newPath, NameIsTaken(newPath));
    return CopyTemplate(templ, newPath);
}

} // namespace

// A workbook whose template copy failed is never left under its backup name
// only: the book list and the product would no longer find it.
bool ReplaceBookWithTemplate(const CString& bookPath, const CString& backupPath,
                             const CString& templ, const CString& newPath, const char* closeMessage,
                             CBookChanges* pChanges) {
    if (pChanges && newPath != bookPath)
        return CopyBookAside(bookPath, backupPath, templ, newPath, *pChanges);
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
