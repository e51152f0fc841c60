#pragma once
#include "ComPtr_win.h"
#include "DispatchObject.h"

class CApplication;

// Excel's Workbooks collection: Open (0x2AA) and Close (0x115), which asks
// about every changed workbook as Excel does.
class CWorkbooks : public CDispatchObject {
public:
    static constexpr DISPID dispidOpen = 0x2AA;
    static constexpr DISPID dispidClose = 0x115;

    explicit CWorkbooks(CApplication* app);
    ~CWorkbooks() override;

protected:
    const char* ObjectName() const override { return "Workbooks"; }
    const std::vector<Member>& Members() const override;
    void Call(DISPID dispid, const Args& args, VARIANT* result) override;

private:
    void Open(const Args& args, VARIANT* result);
    CComPtr<CApplication> m_pApp;
};
