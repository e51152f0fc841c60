#pragma once
#include "Win.h"

// Initialises OLE for the process; FALSE when it cannot.  OLE is
// uninitialised again when the process ends.
BOOL AfxOleInit();

// The application thread's OLE message filter.  With its dialogs switched off
// it answers every busy or rejected call by retrying, silently.
class COleMessageFilter {
public:
    void EnableBusyDialog(BOOL bEnable) { m_bEnableBusy = bEnable; }
    void EnableNotRespondingDialog(BOOL bEnable) { m_bEnableNotResponding = bEnable; }
    void SetMessagePendingDelay(DWORD nTimeout) { m_nTimeout = nTimeout; }
    void SetRetryReply(DWORD nRetryReply) { m_nRetryReply = nRetryReply; }

    BOOL m_bEnableBusy = TRUE;
    BOOL m_bEnableNotResponding = TRUE;
    DWORD m_nTimeout = 8000;
    DWORD m_nRetryReply = 10;
};

// The filter registered by AfxOleInit; null before.
COleMessageFilter* AfxOleGetMessageFilter();
