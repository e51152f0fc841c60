#pragma once
#include "Win_win.h"

// The hourglass while an object lives; the cursor before it comes back.
class CWaitCursor {
public:
    CWaitCursor() : m_hPrevious(::SetCursor(::LoadCursor(nullptr, IDC_WAIT))) {}
    ~CWaitCursor() { Restore(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    void Restore() {
        if (m_bActive)
            ::SetCursor(m_hPrevious);
        m_bActive = false;
    }

private:
    HCURSOR m_hPrevious;
    bool m_bActive = true;
};
