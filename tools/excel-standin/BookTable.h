#pragma once
#include "StandinWorkbook.h"
#include "String.h"

#include <memory>
#include <vector>

// A workbook open in the stand-in: its full path and the contents it had
// when it was opened.
struct COpenBook {
    CString m_strPath;
    CStandinWorkbook m_contents;
    bool m_bOpen = true;
};

// The application's open workbooks.
class CBookTable {
public:
    // Opens the book at fullPath, or gives the one already open there, as
    // Excel does; raises Excel's errors for a missing or foreign file.
    std::shared_ptr<COpenBook> Open(const CString& fullPath);
    void Close(const std::shared_ptr<COpenBook>& book);
    // Closes every book without saving; returns how many were open.
    int CloseAll();
    // The first open converter workbook that holds the macro, or null.
    std::shared_ptr<COpenBook> FindMacro(const CString& name) const;

private:
    std::vector<std::shared_ptr<COpenBook>> m_books;
};
