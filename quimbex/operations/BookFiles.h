#pragma once
#include "Exception.h"
#include "String.h"

// File steps that several commands share.

// A workbook (or marker) file exists at path; a folder never counts.
bool BookFileExists(const CString& path);
// Something, a file or a folder, already has this name.
bool NameIsTaken(const CString& path);

// The name under which its folder holds the file at path (one that
// exists), whatever spelling opened it; the name part of path otherwise.
CString NameInFolder(const CString& path);

// A file name names a file of excelDir (ending in "\\") as the system
// opens it: a book file name (IsBookFileName) that, where something has
// it, is a file whose folder holds it under this name in some case of its
// letters, never the short name of another workbook, nor a folder.  A name
// that nothing has passes: the commands tell a missing workbook themselves.
bool NamesFileInFolder(const CString& excelDir, const CString& name);
// A book record's file name is such a name with a workbook's extension
// (IsBookRecordName) that fits in excelDir itself.
bool NamesWorkbookInFolder(const CString& excelDir, const CString& name);
// ... and whose files' names all fit there too (BookNamesFit).
bool NamesBookInFolder(const CString& excelDir, const CString& name);

// Renames a workbook to its backup name.  A workbook open in Excel (access
// denied, sharing violation) is reported on standard output and with
// closeMessage; any other failure with the file error's own report.
bool RenameBookToBackup(const CString& bookPath, const CString& backupPath,
                        const char* closeMessage);

// Copies a workbook or a template, replacing a file of the target's name
// unless failIfExists.  A copy that fails half-way (a full disk) leaves no
// cut file under a name that was free before: Windows removes it itself,
// Wine does not, and a later run would take it for a workbook or a backup.
bool CopyBookFile(const CString& from, const CString& to, bool failIfExists = false);

// Copies `from` over the existing file `to`, whole or not at all: the copy
// goes to a temporary name beside `to` and replaces it in one rename.  A
// copy that fails (a full disk) leaves `to` as it was and no temporary file.
bool ReplaceFileWithCopy(const CString& from, const CString& to);

class CBookChanges;

// Copies a template to a workbook's name; a copy that fails is told (the
// template was found readable before, so the disk is the likely cause).
bool CopyTemplate(const CString& templ, const CString& bookPath);

// The workbook at bookPath becomes backupPath and the template takes its
// place at newPath.  A workbook that cannot be renamed is reported with
// closeMessage and stays.  When the copy fails the user is told and the
// workbook takes its name back at once, unless pChanges notes it for a run
// that puts back all its books when it fails.  False in both cases.  In
// such a run a workbook whose name changes is copied to its backup and
// keeps its name until the run is done.
bool ReplaceBookWithTemplate(const CString& bookPath, const CString& backupPath,
                             const CString& templ, const CString& newPath, const char* closeMessage,
                             CBookChanges* pChanges = nullptr);

// Writes a line such as "ERROR: accessDenied" to standard output at once.
void NoteOnStdout(const char* line);

// Tells the user of a file error on a workbook.  A workbook open in Excel
// (access denied, sharing violation) is reported on standard output and with
// closeMessage; any other failure with the file error's own report.
void ReportBookFileError(const CFileException& e, const char* closeMessage);

// True when folder holds an entry named `name`, single-byte letters compared
// without regard to case (also on a file system that tells them apart).
bool FolderHoldsName(const CString& folder, const CString& name);

// Today as backup names carry it: "2024年04月01日".
CString BackupDateText();

// Folds one step's result into a running result: once 0, always 0.
inline int FoldResult(int result, int step) {
    return result != 0 ? step : 0;
}
