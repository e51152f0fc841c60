#include "RunCheck.h"

#include "BookFiles.h"
#include "BookNames.h"
#include "BookOperator_win.h"
#include "DornEnv.h"
#include "ProductPaths.h"
#include "SafeFile_win.h"
#include "ScopedHandle_win.h"
#include "WinApp_win.h"

#include <algorithm>
#include <cstdint>

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

// The file's volume and index: one file whatever spelling of its name
// opened it (the case of its letters, its short name, trailing dots).
// Opened for no access, so that no other program's hold gets in the way.
bool GetFileIdentity(const CString& path, BY_HANDLE_FILE_INFORMATION& info) {
    const CFileHandle h(::CreateFileA(path, 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return h && ::GetFileInformationByHandle(h.Get(), &info) != FALSE;
}

bool IsSameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
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

// A list that another program holds for itself, or that this user may not
// read, is named as 9 and 12 name it: the user can see which file to free.
bool CRunCheck::ReadsList(const char* cannotRun, bool bMissingIsEmpty) const {
    CExcelFileMap& list = m_op.m_bookMap;
    if (list.Load())
        return true;
    // A folder of the list's name is no list, as for 9 and 12.
    const bool missing = !BookFileExists(list.GetMngPath());
    if (missing && list.GetLoadState() != CExcelFileMap::damaged) {
        if (bMissingIsEmpty)
            return true;
    } else if (list.GetLoadState() == CExcelFileMap::unopened) {
        return Refuse(
            Formatted("ブック管理データファイル\n%s\nを読み込めません。", list.GetMngPath()));
    }
    AfxMessageBox(cannotRun);
    return false;
}

// key + date + extension is the payroll backup's name, "勤怠_" + key + "_"
// + date + extension the attendance backup's: a key with a folder, a
// parent or a drive would put the backup outside the Excel folder, where
// the product never finds the book's old data, and one too long for a name
// there has the system cut the backup's name or refuse it half-way.
// A deep product folder leaves too little of the longest path for a
// backup's name: the list is fine, and saying it is damaged would send the
// user after the wrong fault.
bool CRunCheck::IsBackupKey(const CString& key) const {
    if (!IsBackupKeyText(key))
        return Refuse(
            Formatted("ブック管理データファイルが壊れています。\nブック名\n%s\nは控えのファ"
                      "イル名に使えません。",
                      key));
    CDornEnv env;
    return BackupNamesFit(CProductPaths(env).ExcelFolder() + "\\", key) ||
           Refuse(Formatted("ブック名\n%s\nの控えのファイル名が長すぎます。", key));
}

// A name that leads out of the Excel folder would have the run rename or
// overwrite the product's own files, one the system opens as another
// workbook (its short name, trailing dots) would change that one: the list
// is damaged.
bool CRunCheck::IsBookName(const CString& name) const {
    CDornEnv env;
    const CString excelDir = CProductPaths(env).ExcelFolder() + "\\";
    if (!NamesWorkbookInFolder(excelDir, name))
        return Refuse(
            Formatted("ブック管理データファイルが壊れています。\n%s\nはExcelフォルダのブックを"
                      "指していません。",
                      name));
    return BookNamesFit(excelDir, name) ||
           Refuse(Formatted("%s\nの勤怠ブックまたは控えのファイル名が長すぎます。", name));
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

// Two records of one workbook would have a run change it twice (a year
// update two years on) or fail half-way on the name the first change took
// away.  A workbook whose identity cannot be read is left to the other
// checks.
bool CRunCheck::AreDistinct(const std::vector<std::pair<CString, CString>>& books) const {
    std::vector<std::pair<BY_HANDLE_FILE_INFORMATION, const CString*>> seen;
    for (const auto& book : books) {
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileIdentity(book.first, info))
            continue;
        for (const auto& earlier : seen) {
            if (!IsSameFile(earlier.first, info))
                continue;
            CString text;
            text.Format("%s\nと\n%s\nは同じブックです。\nブック管理データファイルが壊れています。",
                        earlier.second->GetString(), book.second.GetString());
            return Refuse(text);
        }
        seen.emplace_back(info, &book.second);
    }
    return true;
}

namespace {

void AddBookWorkbooks(const CString& excelDir, const CString& name,
                      std::vector<std::pair<CString, CString>>& books) {
    books.emplace_back(excelDir + name, name);
    books.emplace_back(excelDir + "勤怠_" + name, "勤怠_" + name);
}

} // namespace

// A record of another book's attendance workbook would have the run copy a
// payroll template over that workbook.  The other books are taken in the
// order the lists show them; one whose name opens no workbook of the
// folder as it stands is no file of a chosen book, and is left out.
bool CRunCheck::AreDistinctFromEveryBook(const std::vector<CString>& chosenKeys) const {
    CDornEnv env;
    const CString excelDir = CProductPaths(env).ExcelFolder() + "\\";
    const CMap<CString, CDataForExMap>& list = m_op.m_bookMap.m_mapBooks;
    std::vector<std::pair<CString, CString>> chosen;
    for (const CString& key : chosenKeys) {
        CDataForExMap book;
        if (list.Lookup(key, book))
            AddBookWorkbooks(excelDir, book.m_strFileName, chosen);
    }
    if (!AreDistinct(chosen))
        return false;
    std::vector<std::pair<int32_t, CString>> others;
    for (POSITION pos = list.GetStartPosition(); pos;) {
        CString key;
        CDataForExMap book;
        list.GetNextAssoc(pos, key, book);
        if (std::find(chosenKeys.begin(), chosenKeys.end(), key) == chosenKeys.end() &&
            NamesWorkbookInFolder(excelDir, book.m_strFileName))
            others.emplace_back(book.m_nOrder, book.m_strFileName);
    }
    std::stable_sort(others.begin(), others.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& other : others) {
        std::vector<std::pair<CString, CString>> books = chosen;
        AddBookWorkbooks(excelDir, other.second, books);
        if (!AreDistinct(books))
            return false;
    }
    return true;
}

// A workbook rebuilt under a name that another one takes too would be
// written over by it (a book of each format, "kyuyo.xls" and "kyuyo.xlsm",
// in a format change), and its data carried from the other one.
bool CRunCheck::TakeDistinctNames(const std::vector<std::pair<CString, CString>>& renames) const {
    for (size_t i = 0; i < renames.size(); ++i)
        for (size_t j = 0; j < i; ++j) {
            if (renames[i].second.CompareNoCase(renames[j].second) != 0)
                continue;
            CString text;
            text.Format("%s\nと\n%s\nは変換後に同じ名前\n%s\nになります。",
                        renames[j].first.GetString(), renames[i].first.GetString(),
                        renames[i].second.GetString());
            return Refuse(text);
        }
    return true;
}

// A failed check (Excel unreachable) reads as not protected, as everywhere:
// the macros then report their own failure.
bool CRunCheck::IsUnprotected(const CString& name) const {
    return m_op.CheckUnprotected(m_strWorkFile, name,
                                 CBookOperator::ProtectedBookText(name) + "\n" + m_strStopLine) !=
           0;
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
