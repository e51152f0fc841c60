#pragma once
#include "BookTable.h"
#include "ComPtr_win.h"
#include "DispatchObject.h"

#include <memory>

class CApplication;

// One open workbook: Close (0x115) with SaveChanges.
class CWorkbook : public CDispatchObject {
public:
    static constexpr DISPID dispidClose = 0x115;

    CWorkbook(CApplication* app, std::shared_ptr<COpenBook> book);
    ~CWorkbook() override;

protected:
    const char* ObjectName() const override { return "Workbook"; }
    const std::vector<Member>& Members() const override;
    void Call(DISPID dispid, const Args& args, VARIANT* result) override;

private:
    static bool SaveChangesGiven(const Args& args);
    static bool SaveChanges(const VARIANT& arg);
    CComPtr<CApplication> m_pApp;
    std::shared_ptr<COpenBook> m_book;
};
