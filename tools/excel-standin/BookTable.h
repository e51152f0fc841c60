#pragma once
#include "StandinWorkbook.h"
#include "String.h"

#include <memory>
#include <vector>

// A workbook open in the stand-in: its full path and its contents, read when
// it was opened and changed only in memory until it is saved.
struct COpenBook {
    CString m_strPath;
    CStandinWorkbook m_contents;
    bool m_bOpen = true;
    bool m_bChanged = false; // changes not yet saved
};

// The application's open workbooks.
class CBookTable {
public:
    // Opens the book at fullPath, or gives the one already open there, as
    // Excel does; raises Excel's errors for a missing or foreign file.
    std::shared_ptr<COpenBook> Open(const CString& fullPath);
    void Close(const std::shared_ptr<COpenBook>& book);
    // Writes the book's contents to its file; raises Excel's error when it
    // cannot.
    static void Save(COpenBook& book);
    // Closes a book that nobody said whether to save, as Excel does: a
    // changed one is saved or not as the save prompt is answered, or, with
    // alerts off, closed unsaved.  False when the prompt was cancelled: the
    // book stays open.
    bool CloseUnasked(const std::shared_ptr<COpenBook>& book, bool displayAlerts);
    // Workbooks.Close: every book in the order of opening, each as above;
    // a cancelled prompt stops there.  Returns how many were closed.
    int CloseAll(bool displayAlerts);
    // The first open converter workbook that holds the macro, or null.
    std::shared_ptr<COpenBook> FindMacro(const CString& name) const;

private:
    std::vector<std::shared_ptr<COpenBook>> m_books;
};
