#pragma once
#include "BookTable.h"
#include "DispatchObject.h"

// Excel's Application object: Run (0x103) and Workbooks (0x23C).
class CApplication : public CDispatchObject {
public:
    static constexpr DISPID dispidRun = 0x103;
    static constexpr DISPID dispidWorkbooks = 0x23C;

    CBookTable& Books() { return m_books; }

protected:
    const char* ObjectName() const override { return "Application"; }
    const std::vector<Member>& Members() const override;
    void Call(DISPID dispid, const Args& args, VARIANT* result) override;

private:
    CBookTable m_books;
    int m_nRuns = 0;
};
