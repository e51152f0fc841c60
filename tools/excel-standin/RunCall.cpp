#include "RunCall.h"

#include "AutomationError.h"
#include "BookTable.h"
#include "RegKey.h"
#include "ServerLog.h"
#include "VariantText.h"

namespace {

// The product's data directory, where its environment keeps it; else the
// product directory, two levels above the converter workbook.
CString DataDirFor(const CString& converterPath) {
    CRegKey key;
    CString dir;
    if (key.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\QZ\\Morvane\\Env") == ERROR_SUCCESS &&
        key.QueryString("DataDir", dir) == ERROR_SUCCESS && !dir.IsEmpty())
        return dir;
    return CBookLocator::ProductDirOf(converterPath);
}

MacroArg ToMacroArg(const VARIANT& v) {
    MacroArg arg;
    arg.typeName = VariantTypeName(v.vt);
    if (v.vt == VT_BSTR) {
        arg.type = MacroArg::typeText;
        arg.text = NarrowFromBstr(v.bstrVal);
    } else if (v.vt == VT_I4) {
        arg.type = MacroArg::typeLong;
        arg.value = v.lVal;
    }
    return arg;
}

void SetResult(VARIANT* result, const CStandinFaults::Result& r) {
    switch (r.kind) {
    case CStandinFaults::resultFalse:
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_FALSE;
        break;
    case CStandinFaults::resultInteger:
        result->vt = VT_I2;
        result->iVal = static_cast<SHORT>(r.value);
        break;
    case CStandinFaults::resultLong:
        result->vt = VT_I4;
        result->lVal = r.value;
        break;
    case CStandinFaults::resultEmpty:
        result->vt = VT_EMPTY;
        break;
    case CStandinFaults::resultDouble:
        result->vt = VT_R8;
        result->dblVal = r.dValue;
        break;
    case CStandinFaults::resultString:
        result->vt = VT_BSTR;
        result->bstrVal = BstrFromNarrow(r.strText);
        break;
    case CStandinFaults::resultError:
        result->vt = VT_ERROR;
        result->scode = static_cast<SCODE>(0x800A0000UL | static_cast<unsigned long>(r.value));
        break;
    }
}

} // namespace

// The log line names the macro and then every argument with its type, in the
// caller's order, and ends with the result or the error.
void CRunCall::Execute(const CDispatchObject::Args& args, VARIANT* result) {
    std::vector<CString> errors;
    m_faults = ExcelStandin::ReadFaults(&errors);
    for (const CString& error : errors)
        LogUnexpected(error);
    const VARIANT& nameArg = *args[0];
    const CString name =
        nameArg.vt == VT_BSTR ? NarrowFromBstr(nameArg.bstrVal) : DescribeVariant(nameArg);
    CString line = "Run\t" + EscapeControls(name);
    for (size_t i = 1; i < args.size(); ++i)
        line += "\t" + DescribeVariant(*args[i]);
    if (m_faults.DieAfterRuns() == m_nRun)
        Die(line);
    try {
        if (nameArg.vt != VT_BSTR) {
            LogUnexpected("Application.Run: macro name is " + name);
            throw CAutomationError("型が一致しません。");
        }
        Perform(name, args, result);
        LogEvent(line + "\t=> " + DescribeVariant(*result));
    } catch (const CAutomationError& e) {
        LogEvent(line + "\t=> ERROR:" + e.m_strDescription);
        throw;
    }
}

// An Excel that is killed in the middle of a call: no answer, no clean-up.
void CRunCall::Die(const CString& line) {
    LogEvent(line + "\t=> DIE");
    ::TerminateProcess(::GetCurrentProcess(), 3);
    ::ExitProcess(3);
}

// A delay keeps the thread busy without pumping messages, like Excel inside
// a long macro.
void CRunCall::Perform(const CString& name, const CDispatchObject::Args& args, VARIANT* result) {
    const auto home = m_books.FindMacro(name);
    if (!home)
        throw CAutomationError("マクロ '" + name +
                               "' を実行できません。このブックでマクロが使用できないか、またはすべ"
                               "てのマクロが無効になっている可能性があります。");
    if (const unsigned long ms = m_faults.DelayMs(name))
        ::Sleep(ms);
    if (m_faults.Raises(name))
        throw CAutomationError("アプリケーション定義またはオブジェクト定義のエラーです。");
    if (const CStandinFaults::Result* forced = m_faults.FindReturn(name))
        SetResult(result, *forced);
    else
        RunMacro(name, *home, args, result);
    if (m_faults.LeavesChanged(name))
        LeaveChanged(*home, args);
}

// A macro that opened the book of its first argument, changed it (a
// recalculation is enough) and forgot to close it: the book stays open in
// the instance with a change that no file holds.
void CRunCall::LeaveChanged(const COpenBook& home, const CDispatchObject::Args& args) {
    if (args.size() < 2 || args[1]->vt != VT_BSTR) {
        LogUnexpected("LeaveChanged: the macro has no book argument");
        return;
    }
    const CString path =
        CBookLocator(DataDirFor(home.m_strPath)).Resolve(NarrowFromBstr(args[1]->bstrVal));
    try {
        const auto book = m_books.Open(path);
        book->m_contents.SetValue("Book", "UnsavedChange", "1");
        book->m_bChanged = true;
        LogEvent("LeftChanged\t" + path);
    } catch (const CAutomationError& e) {
        LogUnexpected("LeaveChanged: " + e.m_strDescription);
    }
}

void CRunCall::RunMacro(const CString& name, const COpenBook& home,
                        const CDispatchObject::Args& args, VARIANT* result) {
    std::vector<MacroArg> macroArgs;
    for (size_t i = 1; i < args.size(); ++i)
        macroArgs.push_back(ToMacroArg(*args[i]));
    const CStandinMacros macros{CBookLocator(DataDirFor(home.m_strPath))};
    const MacroOutcome outcome = macros.Run(name, macroArgs);
    for (const CString& reason : outcome.reasons)
        LogEvent("Reason\t" + reason);
    if (outcome.kind == MacroOutcome::badArgumentCount || outcome.kind == MacroOutcome::notFound) {
        LogUnexpected("Application.Run: wrong number of arguments for " + name);
        throw CAutomationError("引数の数が一致していません。");
    }
    result->vt = VT_BOOL;
    result->boolVal = outcome.kind == MacroOutcome::returnedTrue ? VARIANT_TRUE : VARIANT_FALSE;
}
