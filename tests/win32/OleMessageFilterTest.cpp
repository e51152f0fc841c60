#include "BookOperator_win.h"
#include "MsgBoxAnswerer.h"
#include "Ole_win.h"
#include "ProductFixture.h"

#include <atomic>
#include <thread>

namespace {

const DWORD kCancelCall = static_cast<DWORD>(-1);

// A filter whose dialogs only count, and answer as told.
class CountingFilter : public COleMessageFilter {
public:
    int busyDialogs = 0;
    int notRespondingDialogs = 0;
    int busyAnswer = IDRETRY;

protected:
    int OnBusyDialog() override {
        ++busyDialogs;
        return busyAnswer;
    }
    void OnNotRespondingDialog() override { ++notRespondingDialogs; }
};

void DrainMessages() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

// Presses a key in a thread's queue every 50 ms, as a user who waits.
class KeyPresser {
public:
    explicit KeyPresser(DWORD threadId)
        : m_thread([this, threadId] {
              while (!m_stop) {
                  ::PostThreadMessageA(threadId, WM_KEYDOWN, VK_SHIFT, 0);
                  ::Sleep(50);
              }
          }) {}
    ~KeyPresser() {
        m_stop = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

class OleMessageFilterWithExcel : public ProductFixture {
protected:
    MsgBoxAnswerer m_answers;
    CBookOperator m_op;
};

} // namespace

// Quimbex switches both dialogs off and sets the delay to 10000 ms; the
// other rows show that each setting is what decides.
TEST(OleMessageFilter, AnswersFollowTheSettings) {
    enum Call { retryLater, rejected, keyPending, nothingPending };
    const struct {
        const char* what;
        BOOL busy;
        BOOL notResponding;
        DWORD delay;
        DWORD retryReply;
        Call call;
        DWORD tick;
        int busyAnswer;
        DWORD answer;
        int busyDialogs;
        int notRespondingDialogs;
    } cases[] = {
        {"as Quimbex: busy server", FALSE, FALSE, 10000, 10, retryLater, 0, IDRETRY, 10, 0, 0},
        {"as Quimbex: busy for ten minutes", FALSE, FALSE, 10000, 10, retryLater, 600000, IDRETRY,
         10, 0, 0},
        {"as Quimbex: rejected for good", FALSE, FALSE, 10000, 10, rejected, 0, IDRETRY,
         kCancelCall, 0, 0},
        {"as Quimbex: key during a long call", FALSE, FALSE, 10000, 10, keyPending, 600000, IDRETRY,
         PENDINGMSG_WAITDEFPROCESS, 0, 0},
        {"retry reply", FALSE, FALSE, 10000, 250, retryLater, 600000, IDRETRY, 250, 0, 0},
        {"busy dialog, within the delay", TRUE, FALSE, 10000, 10, retryLater, 10000, IDRETRY, 10, 0,
         0},
        {"busy dialog, retry", TRUE, FALSE, 10000, 10, retryLater, 10001, IDRETRY, 0, 1, 0},
        {"busy dialog, cancel", TRUE, FALSE, 10000, 10, retryLater, 10001, IDCANCEL, kCancelCall, 1,
         0},
        {"busy dialog, rejected for good", TRUE, FALSE, 10000, 10, rejected, 600000, IDRETRY,
         kCancelCall, 0, 0},
        {"not responding, within the delay", FALSE, TRUE, 10000, 10, keyPending, 10000, IDRETRY,
         PENDINGMSG_WAITDEFPROCESS, 0, 0},
        {"not responding, key after the delay", FALSE, TRUE, 10000, 10, keyPending, 10001, IDRETRY,
         PENDINGMSG_WAITNOPROCESS, 0, 1},
        {"not responding, no key", FALSE, TRUE, 10000, 10, nothingPending, 600000, IDRETRY,
         PENDINGMSG_WAITDEFPROCESS, 0, 0},
        {"not responding, shorter delay", FALSE, TRUE, 500, 10, keyPending, 501, IDRETRY,
         PENDINGMSG_WAITNOPROCESS, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DrainMessages();
        CountingFilter filter;
        filter.EnableBusyDialog(c.busy);
        filter.EnableNotRespondingDialog(c.notResponding);
        filter.SetMessagePendingDelay(c.delay);
        filter.SetRetryReply(c.retryReply);
        filter.busyAnswer = c.busyAnswer;
        if (c.call == keyPending)
            ::PostThreadMessageA(::GetCurrentThreadId(), WM_KEYDOWN, VK_SHIFT, 0);
        DWORD answer = 0xDEADBEEF;
        if (c.call == retryLater || c.call == rejected)
            answer = filter.RetryRejectedCall(c.tick, c.call == rejected ? SERVERCALL_REJECTED
                                                                         : SERVERCALL_RETRYLATER);
        else
            answer = filter.MessagePending(c.tick);
        EXPECT_EQ(c.answer, answer);
        EXPECT_EQ(c.busyDialogs, filter.busyDialogs);
        EXPECT_EQ(c.notRespondingDialogs, filter.notRespondingDialogs);
    }
    DrainMessages();
}

// COM asks the thread's filter about the messages that arrive while a call
// to Excel is pending (Wine does so too): keys pressed during a long macro
// bring the not-responding dialog only when it is on and the call has
// outlasted the delay.
TEST_F(OleMessageFilterWithExcel, KeysDuringALongMacroBringTheDialogOnlyWhenItIsOn) {
    CStandinFaults faults;
    faults.SetDelay("CheckProtect", 1500);
    ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
    const struct {
        const char* what;
        BOOL notResponding;
        DWORD delay;
        bool dialog;
    } cases[] = {
        {"as Quimbex", FALSE, 10000, false},
        {"dialog on, the call outlasts the delay", TRUE, 300, true},
        {"dialog on, the delay outlasts the call", TRUE, 60000, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CountingFilter filter;
        filter.EnableBusyDialog(FALSE);
        filter.EnableNotRespondingDialog(c.notResponding);
        filter.SetMessagePendingDelay(c.delay);
        ASSERT_TRUE(filter.Register());
        {
            KeyPresser user(::GetCurrentThreadId());
            EXPECT_EQ(0, m_op.MacroCheckProtect(WorkFile(), "kyuyo.xls"));
        }
        filter.Revoke();
        DrainMessages();
        EXPECT_EQ(c.dialog, filter.notRespondingDialogs > 0) << filter.notRespondingDialogs;
    }
    EXPECT_TRUE(m_answers.Boxes().empty());
}

// Excel answers "busy, retry later" to the first calls.  The filter that the
// program registers retries without asking anybody.  (Wine's COM carries
// such a call out at once, so under Wine the filter is not even asked.)
TEST_F(OleMessageFilterWithExcel, BusyExcelIsWaitedForWithoutAnyDialog) {
    CStandinFaults faults;
    faults.SetRetryLaterCalls(3);
    ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
    ASSERT_NE(nullptr, AfxOleGetMessageFilter());
    EXPECT_EQ(0, m_op.MacroCheckProtect(WorkFile(), "kyuyo.xls"));
    EXPECT_EQ(1, m_op.MacroPayData(WorkFile(), "kyuyo.xls", "表参道店.xls"));
    std::vector<std::string> refused;
    for (const std::string& line : LogLines())
        if (line.rfind("RetryLater\t", 0) == 0)
            refused.push_back(line);
    EXPECT_EQ((std::vector<std::string>{"RetryLater\t1", "RetryLater\t2", "RetryLater\t3"}),
              refused);
    EXPECT_TRUE(m_answers.Boxes().empty());
}
