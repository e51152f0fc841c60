#pragma once
#include "String.h"

// Decides whether a relative path read from a migration file stays below
// its root directory on every platform that may restore it.
class CRestorePath {
public:
    // Empty when the path is safe; otherwise what makes it unsafe.
    static CString Refusal(const CString& strRelPath);
    // The path without the runs of separators the format writes, for showing.
    static CString Collapse(const CString& strRelPath);

private:
    static CString ComponentRefusal(const CString& strComponent);
    static bool IsDeviceName(const CString& strComponent);
};
