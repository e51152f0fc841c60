// Linked into in-process tests of Quimbex's code: the application object
// that gives message boxes their caption, and OLE with the message filter
// set up as the program sets it up.
#include "Ole_win.h"
#include "WinApp_win.h"

#include <gtest/gtest.h>

namespace {

CWinApp g_testApp("Quimbex");

class OleEnvironment : public testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(AfxOleInit());
        COleMessageFilter* filter = AfxOleGetMessageFilter();
        ASSERT_NE(nullptr, filter);
        filter->EnableBusyDialog(FALSE);
        filter->EnableNotRespondingDialog(FALSE);
        filter->SetMessagePendingDelay(10000);
    }
};

testing::Environment* const g_ole = testing::AddGlobalTestEnvironment(new OleEnvironment);

} // namespace
