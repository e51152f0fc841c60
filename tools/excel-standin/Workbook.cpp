#include "Workbook.h"

#include "Application.h"
#include "AutomationError.h"
#include "ServerLog.h"
#include "VariantText.h"

CWorkbook::CWorkbook(CApplication* app, std::shared_ptr<COpenBook> book)
    : m_pApp(CComPtr<CApplication>::Share(app)), m_book(std::move(book)) {}

CWorkbook::~CWorkbook() = default;

const std::vector<CDispatchObject::Member>& CWorkbook::Members() const {
    static const std::vector<Member> members = {
        {L"Close", dispidClose, DISPATCH_METHOD, 0, 1},
    };
    return members;
}

// SaveChanges left out: no argument, or the "missing" error variant.
bool CWorkbook::SaveChangesGiven(const Args& args) {
    return !args.empty() && !(args[0]->vt == VT_ERROR && args[0]->scode == DISP_E_PARAMNOTFOUND);
}

bool CWorkbook::SaveChanges(const VARIANT& arg) {
    VARIANT flag;
    ::VariantInit(&flag);
    if (FAILED(::VariantChangeType(&flag, const_cast<VARIANT*>(&arg), 0, VT_I4))) {
        LogUnexpected("Workbook.Close: SaveChanges is " + DescribeVariant(arg));
        throw CCallFailure{DISP_E_TYPEMISMATCH};
    }
    return flag.lVal != 0;
}

// Excel disconnects a closed workbook's object; a later call on it fails.
// Told nothing, Excel asks about a changed book (or, alerts off, does not
// save it); told, it does as it is told.
void CWorkbook::Call(DISPID, const Args& args, VARIANT*) {
    const bool given = SaveChangesGiven(args);
    const bool save = given && SaveChanges(*args[0]);
    LogEvent("BookClose\t" + m_book->m_strPath +
             "\tSaveChanges=" + (given ? DescribeVariant(*args[0]) : CString("(none)")));
    if (!m_book->m_bOpen) {
        LogUnexpected("Workbook.Close: the workbook is no longer open: " + m_book->m_strPath);
        throw CCallFailure{RPC_E_DISCONNECTED};
    }
    if (!given) {
        m_pApp->Books().CloseUnasked(m_book, m_pApp->DisplayAlerts());
        return;
    }
    if (save)
        CBookTable::Save(*m_book);
    m_pApp->Books().Close(m_book);
}
