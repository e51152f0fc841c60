#include "BookTable.h"

#include "AutomationError.h"
#include "SavePrompt.h"
#include "ServerLog.h"
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

void CBookTable::Save(COpenBook& book) {
    if (!book.m_contents.Save(book.m_strPath))
        throw CAutomationError("'" + book.m_strPath + "' を保存できませんでした。");
    book.m_bChanged = false;
    LogEvent("Saved\t" + book.m_strPath);
}

// Alerts off, Excel takes the default answer, which closes without saving.
bool CBookTable::CloseUnasked(const std::shared_ptr<COpenBook>& book, bool displayAlerts) {
    if (book->m_bChanged) {
        const CSavePrompt::Answer answer =
            displayAlerts ? CSavePrompt::Ask(*book) : CSavePrompt::dontSave;
        if (answer == CSavePrompt::cancel)
            return false;
        if (answer == CSavePrompt::save)
            Save(*book);
        else
            LogEvent("Discarded\t" + book->m_strPath);
    }
    Close(book);
    return true;
}

int CBookTable::CloseAll(bool displayAlerts) {
    int closed = 0;
    for (const auto& book : std::vector<std::shared_ptr<COpenBook>>(m_books)) {
        if (!CloseUnasked(book, displayAlerts))
            break;
        ++closed;
    }
    return closed;
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
