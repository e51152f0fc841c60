#pragma once
#include "ScopedHandle_win.h"
#include "String.h"

#include <windows.h>

#include <memory>

// Holds a file open as Excel holds an open workbook: others may read it,
// but neither write, rename nor delete it.
class HeldFile {
public:
    explicit HeldFile(const CString& path);
    bool IsHeld() const { return static_cast<bool>(m_handle); }

private:
    CFileHandle m_handle;
};

// Something a test holds while a program runs (a handle, a changed file),
// given back when it goes.
using Holding = std::shared_ptr<void>;
Holding HoldHandle(HANDLE handle);
// The file is read-only until given back: writing, copying over, replacing
// and deleting it fail with access denied, as Windows refuses a standard
// user; renaming it works.
Holding HoldReadOnly(const CString& path);
// The file (made anew, never empty) grows while held, as a log that another
// program keeps writing: a line every millisecond or so, until given back.
Holding HoldGrowing(const CString& path);
// The file's permissions deny this user reading it (and writing it), until
// given back, as a file of another user's that this one may not open.
Holding HoldUnreadable(const CString& path);
// The folder and everything in it refuse to be written, renamed, deleted or
// given other attributes, as a folder whose permissions deny this user,
// until given back.
Holding HoldFolderReadOnly(const CString& dir);
// A Unix symbolic link at `link` to `target`, which a Windows program under
// Wine cannot make itself (CreateSymbolicLink there makes nothing), until
// given back.
Holding HoldUnixLink(const CString& link, const CString& target);
