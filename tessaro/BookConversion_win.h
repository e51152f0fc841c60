#pragma once
#include "String.h"

#include "Win_win.h"

class CDornEnv;

// The conversion of every book by Quimbex after a restore that brought a
// book map.  The outcome comes back only through the marker "ExMng.dat",
// which Quimbex creates when every book was converted.
class CBookConversion {
public:
    explicit CBookConversion(const CDornEnv& env);
    // Runs Quimbex to its end.  False when it could not be started or did
    // not convert every book; the user has been told.
    bool Run();
    // Called once the success has been told.
    void RemoveMarker();

private:
    bool Start(PROCESS_INFORMATION& pi);
    static void WaitForEnd(const PROCESS_INFORMATION& pi);
    bool Succeeded() const;

    CString m_strExe;
    CString m_strMarker;
};
