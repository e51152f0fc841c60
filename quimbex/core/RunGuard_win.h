#pragma once
#include "ScopedHandle_win.h"

// Only one run of Quimbex changes the books at a time: two runs of a
// command on the same books rename and rebuild each other's workbooks.  The
// guard is a mutex of the machine's global namespace, so that a run of
// another user's session on the same installation is kept out as well; the
// books of an installation are shared by its users, and one name for the
// machine needs no spelling of the installation's path.  It is held from
// its taking until the object goes, that is for the whole run.
class CRunGuard {
public:
    static const char kMutexName[];
    static const char kLocalMutexName[];

    // false when another run holds the guard (this one must change nothing).
    bool Take();

private:
    CHandle m_hMutex;
};
