#pragma once
#include "BookChanges.h"
#include "String.h"

#include <functional>
#include <vector>

class CBookOperator;
class CRunCheck;
class CWaitDlg;

// One change of every workbook to the other file format, all or nothing.
// Everything that can be checked is checked before the first workbook is
// renamed; every workbook is copied into a safety folder; when a book then
// still fails (Excel dies, the disk fills), or the marker or the book list
// cannot take the new format, every book converted so far is put back and
// the list and the marker stay as they were.
class CFormatChangeRun {
public:
    enum Outcome { failed = 0, done = 1, refused = 2 };

    CFormatChangeRun(CBookOperator& op, const CString& workFile);
    Outcome Execute(CWaitDlg& wait);
    // After a failure: whether the books are back, and where their copies lie.
    CString FailureText() const;

    // The marker of the format ext and the name it takes for the other one.
    static void MarkerNames(const CString& productDir, const CString& ext, CString& from,
                            CString& to);

private:
    using BookVisit = std::function<bool(const CString& key, const CString& name)>;
    bool EveryBook(const BookVisit& visit) const;
    bool ReadBooks();
    Outcome SwitchWithoutBooks(CWaitDlg& wait);
    bool CheckBeforeChange() const;
    bool CheckFiles(const CRunCheck& check, const CString& name, bool bRequired) const;
    bool CheckDistinct(const CRunCheck& check) const;
    bool CheckProtection(const CRunCheck& check, const CString& name, bool bRequired) const;
    bool MakeSafetyCopies();
    bool CopyForSafety(const CString& name);
    void RemoveSafetyCopies();
    bool RebuildAll(CWaitDlg& wait);
    bool Commit();
    bool SaveList();
    Outcome PutBack();

    CBookOperator& m_op;
    CString m_strWorkFile;
    CString m_strProductDir;
    CString m_strExcelDir;
    CString m_strExt;
    CString m_strTarget;
    CString m_strSafetyDir;
    CString m_strMarkerFrom;
    CString m_strMarkerTo;
    bool m_bMadeSafetyDir = false;
    std::vector<CString> m_safetyCopies;
    CBookChanges m_changes;
    CString m_strNotPutBack; // each after a line break
};
