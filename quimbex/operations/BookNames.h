#pragma once
#include "String.h"

// The text of path with suffix put before its extension (the part from the
// last "." of the file name on); at the end when the name has none.
CString InsertBeforeExtension(const CString& path, const CString& suffix);

// A workbook name of the Excel folder, as a switch value or a book record
// gives it, holds no "\", "/", ":" or "..".
bool IsPlainBookName(const CString& name);

// A book record's file name is a plain name that the system opens as it
// stands: not empty, no wildcard or character a file name cannot hold, no
// trailing dot or blank (the system drops them and opens another name),
// and no device name ("con.xls", "NUL") in place of a file.
bool IsBookFileName(const CString& name);

// A book record's file name names a workbook: a book file name that ends
// with a workbook's extension, ".xls" or ".xlsm" in any case.
bool IsBookRecordName(const CString& name);

// A name the system takes in folder (which ends with "\\"): the name no
// longer than a file name may be, and folder and name together shorter than
// the longest path.
bool FitsInFolder(const CString& folder, const CString& name);

// A book's key starts the names of its dated backups (key + date +
// extension): it holds no folder, drive or parent and no character a file
// name cannot hold.
bool IsBackupKeyText(const CString& key);

// Every backup name that starts with the key fits in excelDir.
bool BackupNamesFit(const CString& excelDir, const CString& key);

// Both: the key's backups are names of excelDir as they stand.
bool IsBookKey(const CString& excelDir, const CString& key);

// Every name a book record's file name gives its files in excelDir fits
// there: its payroll and attendance workbooks in either format, and the
// backups named after them.
bool BookNamesFit(const CString& excelDir, const CString& name);

// The part after the last "\"; the whole text when there is none.
CString FileNamePart(const CString& path);

// True when text ends with suffix, the suffix starting on a character
// boundary of text and single-byte letters compared without regard to case.
bool EndsWithNoCase(const CString& text, const CString& suffix);

// name without ext at its end (compared as EndsWithNoCase); name itself when
// it does not end with ext.
CString StripExtensionNoCase(const CString& name, const CString& ext);

// The attendance workbook `name` in dataDir's "\Excel" folder, with ext
// appended unless the name already ends with it (in any case).
CString AttendanceBookPathIn(const CString& dataDir, const CString& ext, const CString& name);

// name with every occurrence of the extension ext replaced by target (the
// file name of a workbook that changes format): single-byte letters in any
// case, on character boundaries, never inside a longer extension (the
// ".xls" of ".xlsm"); name itself when ext and target are the same.
// "a.xls.xls" becomes "a.xlsm.xlsm", "KYUYO.XLS" "KYUYO.xlsm".
CString WithExtensionReplaced(const CString& name, const CString& ext, const CString& target);
