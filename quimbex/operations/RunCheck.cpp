#include "RunCheck.h"

#include "BookFiles.h"
#include "BookOperator.h"
#include "SafeFile.h"
#include "ScopedHandle.h"
#include "WinApp.h"

namespace {

// Opens the file as a rename (and an overwrite) would, sharing everything,
// so that only another program's hold makes it fail; the Win32 error, or 0.
DWORD ChangeError(const CString& path, bool bOverwrite) {
    const DWORD access = DELETE | (bOverwrite ? GENERIC_WRITE : 0);
    const CFileHandle h(::CreateFileA(path, access,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h)
        return ::GetLastError();
    return ERROR_SUCCESS;
}

bool CanOpenForReading(const CString& path) {
    const CFileHandle h(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(h);
}

CString Formatted(const char* format, const CString& name) {
    CString text;
    text.Format(format, name.GetString());
    return text;
}

} // namespace

CRunCheck::CRunCheck(CBookOperator& op, const CString& workFile, const char* stopLine)
    : m_op(op), m_strWorkFile(workFile), m_strStopLine(stopLine) {}

bool CRunCheck::Refuse(const CString& reason) const {
    AfxMessageBox(reason + "\n" + m_strStopLine);
    return false;
}

bool CRunCheck::Exists(const CString& path, const CString& name) const {
    return BookFileExists(path) || Refuse(Formatted("%s\nが見つかりません。", name));
}

// A workbook that Excel holds open is what "ERROR: accessDenied" tells the
// product, as when a rename fails; a read-only one can be renamed but not
// written over.
bool CRunCheck::CanChange(const CString& path, const CString& name, bool bOverwrite) const {
    const DWORD err = BookFileExists(path) ? ChangeError(path, bOverwrite) : ERROR_SUCCESS;
    if (err == ERROR_SUCCESS)
        return true;
    NoteOnStdout("ERROR: accessDenied");
    if (err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION)
        return Refuse(Formatted(
            "%s\nは他のアプリケーションで開かれています。\nブックを閉じてください。", name));
    return Refuse(Formatted("%s\nは書き込みが禁止されているため、変更できません。", name));
}

// A failed check (Excel unreachable) reads as not protected, as everywhere:
// the macros then report their own failure.
bool CRunCheck::IsUnprotected(const CString& name) const {
    if (m_op.MacroCheckProtect(m_strWorkFile, name) == 0)
        return true;
    return Refuse(name +
                  "\nにはパスワード保護がかかっています。\nパスワード保護をはずす必要があります。");
}

bool CRunCheck::CanReadTemplate(const CString& path) const {
    if (BookFileExists(path) && CanOpenForReading(path))
        return true;
    return Refuse(Formatted("ひな形のブック\n%s\nが見つからないか、読み込めません。", path));
}

// The temporary file beside it is made and removed again, as Save makes it.
bool CRunCheck::CanWriteList(const CString& path) const {
    CSafeFile probe;
    if (probe.Open(path))
        return true;
    return Refuse(Formatted("ブック管理データファイル\n%s\nに書き込めません。", path));
}

bool CRunCheck::CanRenameMarker(const CString& from, const CString& to) const {
    if (!BookFileExists(from)) {
        NoteOnStdout("ERROR: fileNotFound");
        return Refuse(Formatted("ブックの形式を示すファイル\n%s\nが見つかりません。", from));
    }
    if (!NameIsTaken(to)) {
        if (ChangeError(from, false) == ERROR_SUCCESS)
            return true;
        NoteOnStdout("ERROR: accessDenied");
    }
    return Refuse(Formatted("ブックの形式を示すファイル\n%s\nの名前を変更できません。", from));
}
