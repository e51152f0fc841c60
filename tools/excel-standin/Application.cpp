#include "Application.h"

#include "AutomationError.h"
#include "RunCall.h"
#include "ServerLog.h"
#include "VariantText.h"
#include "Workbooks.h"

namespace {

const wchar_t kDisplayAlerts[] = L"DisplayAlerts";

} // namespace

const std::vector<CDispatchObject::Member>& CApplication::Members() const {
    // Run takes the macro name and up to 30 arguments, as Excel's does.
    static const std::vector<Member> members = {
        {L"Run", dispidRun, DISPATCH_METHOD, 1, 31},
        {L"Workbooks", dispidWorkbooks, DISPATCH_PROPERTYGET, 0, 0},
        {kDisplayAlerts, dispidDisplayAlerts, DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT, 0, 0},
    };
    return members;
}

// A fault can make DisplayAlerts a name this Excel does not know.
STDMETHODIMP CApplication::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT cNames, LCID lcid,
                                         DISPID* dispids) {
    if (names && cNames > 0 && dispids &&
        ::CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, names[0], -1, kDisplayAlerts, -1) ==
            CSTR_EQUAL &&
        ExcelStandin::ReadFaults().GetAlertsFault() == CStandinFaults::alertsUnknown) {
        for (UINT i = 0; i < cNames; ++i)
            dispids[i] = DISPID_UNKNOWN;
        LogEvent("GetIDsOfNames\tDisplayAlerts\t=> unknown");
        return DISP_E_UNKNOWNNAME;
    }
    return CDispatchObject::GetIDsOfNames(riid, names, cNames, lcid, dispids);
}

void CApplication::Call(DISPID dispid, const Args& args, VARIANT* result) {
    if (dispid == dispidRun) {
        CRunCall(m_books, ++m_nRuns).Execute(args, result);
        return;
    }
    if (dispid == dispidDisplayAlerts) {
        result->vt = VT_BOOL;
        result->boolVal = m_bDisplayAlerts ? VARIANT_TRUE : VARIANT_FALSE;
        LogEvent("DisplayAlerts\tget\t=> " + DescribeVariant(*result));
        return;
    }
    LogEvent("Workbooks");
    result->vt = VT_DISPATCH;
    result->pdispVal = new CWorkbooks(this);
}

// Excel takes anything that converts to a Boolean.
void CApplication::Put(DISPID, const VARIANT& value) {
    const CString line = "DisplayAlerts\tput\t" + DescribeVariant(value);
    VARIANT flag;
    ::VariantInit(&flag);
    if (FAILED(::VariantChangeType(&flag, const_cast<VARIANT*>(&value), 0, VT_BOOL))) {
        LogUnexpected("Application.DisplayAlerts: put of " + DescribeVariant(value));
        throw CCallFailure{DISP_E_TYPEMISMATCH};
    }
    if (ExcelStandin::ReadFaults().GetAlertsFault() == CStandinFaults::alertsRaise) {
        const CString error("Application クラスの DisplayAlerts プロパティを設定できません。");
        LogEvent(line + "\t=> ERROR:" + error);
        throw CAutomationError(error);
    }
    m_bDisplayAlerts = flag.boolVal != VARIANT_FALSE;
    LogEvent(line);
}
