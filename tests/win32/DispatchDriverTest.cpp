#include "DispatchDriver_win.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// An IDispatch that records every call and answers as told.  Arguments
// arrive last first, as IDispatch passes them.
class FakeDispatch : public IDispatch {
public:
    HRESULT answer = S_OK;
    UINT argErrToReport = 0;
    VARTYPE resultTypeOnEntry = 0xBEEF;
    std::vector<std::wstring> argsSeen; // in the order IDispatch passes them
    bool riidWasNull = false;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID, REFIID riid, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO*, UINT* argErr) override {
        riidWasNull = riid == IID_NULL;
        resultTypeOnEntry = result ? result->vt : 0xBEEF;
        for (UINT i = 0; i < params->cArgs; ++i)
            argsSeen.push_back(params->rgvarg[i].vt == VT_BSTR ? params->rgvarg[i].bstrVal : L"?");
        if (FAILED(answer)) {
            *argErr = argErrToReport;
            return answer;
        }
        if (result) {
            result->vt = VT_BSTR;
            result->bstrVal = ::SysAllocString(L"result");
        }
        return S_OK;
    }
    ULONG refs = 1;
};

} // namespace

TEST(COleDispatchDriver, ReusedResultIsClearedBeforeTheServerFillsIt) {
    FakeDispatch fake;
    COleDispatchDriver driver;
    driver.AttachDispatch(&fake);
    COleVariant result;
    driver.Invoke(1, DISPATCH_METHOD, nullptr, 0, &result);
    ASSERT_EQ(VT_BSTR, result.vt);
    driver.Invoke(1, DISPATCH_METHOD, nullptr, 0, &result); // would leak the first BSTR
    EXPECT_EQ(VT_EMPTY, fake.resultTypeOnEntry);
    EXPECT_TRUE(fake.riidWasNull);
    driver.m_lpDispatch = nullptr; // the fake is not reference counted for real
}

TEST(COleDispatchDriver, FailedCallNamesTheArgumentInTheCallersOrder) {
    const struct {
        HRESULT answer;
        UINT argErr; // as IDispatch counts: from the last argument
        UINT expected;
    } cases[] = {
        {DISP_E_TYPEMISMATCH, 0, 2},
        {DISP_E_TYPEMISMATCH, 2, 0},
        {DISP_E_PARAMNOTFOUND, 1, 1},
        {DISP_E_TYPEMISMATCH, 7, COleException::noArgument}, // out of range
        {DISP_E_MEMBERNOTFOUND, 0, COleException::noArgument},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.answer << " " << c.argErr);
        FakeDispatch fake;
        fake.answer = c.answer;
        fake.argErrToReport = c.argErr;
        COleDispatchDriver driver;
        driver.AttachDispatch(&fake);
        COleVariant a("a"), b("b"), cc("c");
        VARIANT* args[] = {&a, &b, &cc};
        try {
            driver.Invoke(1, DISPATCH_METHOD, args, 3, nullptr);
            ADD_FAILURE() << "no exception";
        } catch (const COleException& e) {
            EXPECT_EQ(c.answer, e.m_sc);
            EXPECT_EQ(c.expected, e.m_nArgErr);
        }
        EXPECT_EQ((std::vector<std::wstring>{L"c", L"b", L"a"}), fake.argsSeen);
        driver.m_lpDispatch = nullptr;
    }
}
