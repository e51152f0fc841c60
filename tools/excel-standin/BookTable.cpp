#include "BookTable.h"

#include "AutomationError.h"
#include "StandinMacros.h"

#include <algorithm>

std::shared_ptr<COpenBook> CBookTable::Open(const CString& fullPath) {
    for (const auto& book : m_books)
        if (book->m_strPath.CompareNoCase(fullPath) == 0)
            return book;
    auto book = std::make_shared<COpenBook>();
    book->m_strPath = fullPath;
    CString text;
    if (!book->m_contents.Load(fullPath)) {
        text.Format(
            "'%s' が見つかりません。ファイル名およびファイルの保存場所が正しいかどうかを確認し"
            "てください。",
            fullPath.GetString());
        throw CAutomationError(text);
    }
    if (!book->m_contents.IsWorkbook()) {
        text.Format("ファイル形式またはファイル拡張子が正しくないため、ファイル '%s' を開くことがで"
                    "きません。",
                    fullPath.GetString());
        throw CAutomationError(text);
    }
    m_books.push_back(book);
    return book;
}

void CBookTable::Close(const std::shared_ptr<COpenBook>& book) {
    book->m_bOpen = false;
    m_books.erase(std::remove(m_books.begin(), m_books.end(), book), m_books.end());
}

int CBookTable::CloseAll() {
    const int n = static_cast<int>(m_books.size());
    for (const auto& book : m_books)
        book->m_bOpen = false;
    m_books.clear();
    return n;
}

// The product's macros live in its converter workbook only.
std::shared_ptr<COpenBook> CBookTable::FindMacro(const CString& name) const {
    if (!CStandinMacros::Exists(name))
        return nullptr;
    for (const auto& book : m_books)
        if (book->m_contents.Kind().CompareNoCase("Converter") == 0)
            return book;
    return nullptr;
}
