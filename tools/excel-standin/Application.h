#pragma once
#include "BookTable.h"
#include "DispatchObject.h"

// Excel's Application object: Run (0x103), Workbooks (0x23C) and the
// property DisplayAlerts (0x157, True until a client sets it; the instance
// keeps what was set for as long as it runs).
class CApplication : public CDispatchObject {
public:
    static constexpr DISPID dispidRun = 0x103;
    static constexpr DISPID dispidWorkbooks = 0x23C;
    static constexpr DISPID dispidDisplayAlerts = 0x157;

    CBookTable& Books() { return m_books; }
    bool DisplayAlerts() const { return m_bDisplayAlerts; }

    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT cNames, LCID lcid,
                               DISPID* dispids) override;

protected:
    const char* ObjectName() const override { return "Application"; }
    const std::vector<Member>& Members() const override;
    void Call(DISPID dispid, const Args& args, VARIANT* result) override;
    void Put(DISPID dispid, const VARIANT& value) override;

private:
    CBookTable m_books;
    int m_nRuns = 0;
    bool m_bDisplayAlerts = true;
};
