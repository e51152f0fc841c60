#include "RunGuard_win.h"

const char CRunGuard::kMutexName[] = "Global\\hQuimbex";
// For a system without the global namespace.
const char CRunGuard::kLocalMutexName[] = "hQuimbex";

// A mutex that already exists belongs to a run that works; one another
// user's run created refuses us access, which says the same.  Two starts at
// the same moment cannot both create it: the second finds it there.
bool CRunGuard::Take() {
    ::SetLastError(ERROR_SUCCESS);
    m_hMutex.Attach(::CreateMutexA(nullptr, FALSE, kMutexName));
    DWORD error = ::GetLastError();
    if (!m_hMutex && error != ERROR_ACCESS_DENIED) {
        ::SetLastError(ERROR_SUCCESS);
        m_hMutex.Attach(::CreateMutexA(nullptr, FALSE, kLocalMutexName));
        error = ::GetLastError();
    }
    if (m_hMutex && error != ERROR_ALREADY_EXISTS)
        return true;
    m_hMutex.Close();
    return false;
}
