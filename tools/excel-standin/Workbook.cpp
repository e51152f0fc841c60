#include "Workbook.h"

#include "Application.h"
#include "AutomationError.h"
#include "ServerLog.h"
#include "VariantText.h"

CWorkbook::CWorkbook(CApplication* app, std::shared_ptr<COpenBook> book)
    : m_pApp(app), m_book(std::move(book)) {
    m_pApp->AddRef();
}

CWorkbook::~CWorkbook() {
    m_pApp->Release();
}

const std::vector<CDispatchObject::Member>& CWorkbook::Members() const {
    static const std::vector<Member> members = {
        {L"Close", dispidClose, DISPATCH_METHOD, 0, 1},
    };
    return members;
}

// SaveChanges left out (no argument, or the "missing" error variant) means
// no saving here: nobody could answer Excel's question invisibly.
bool CWorkbook::SaveChanges(const Args& args, CString& described) const {
    const bool missing =
        args.empty() || (args[0]->vt == VT_ERROR && args[0]->scode == DISP_E_PARAMNOTFOUND);
    described = missing ? CString("(none)") : DescribeVariant(*args[0]);
    if (missing)
        return false;
    VARIANT flag;
    ::VariantInit(&flag);
    if (FAILED(::VariantChangeType(&flag, const_cast<VARIANT*>(args[0]), 0, VT_I4))) {
        LogUnexpected("Workbook.Close: SaveChanges is " + described);
        throw CCallFailure{DISP_E_TYPEMISMATCH};
    }
    return flag.lVal != 0;
}

// Excel disconnects a closed workbook's object; a later call on it fails.
void CWorkbook::Call(DISPID, const Args& args, VARIANT*) {
    CString described;
    const bool save = SaveChanges(args, described);
    LogEvent("BookClose\t" + m_book->m_strPath + "\tSaveChanges=" + described);
    if (!m_book->m_bOpen) {
        LogUnexpected("Workbook.Close: the workbook is no longer open: " + m_book->m_strPath);
        throw CCallFailure{RPC_E_DISCONNECTED};
    }
    if (save) {
        if (!m_book->m_contents.Save(m_book->m_strPath))
            throw CAutomationError("'" + m_book->m_strPath + "' を保存できませんでした。");
        LogEvent("Saved\t" + m_book->m_strPath);
    }
    m_pApp->Books().Close(m_book);
}
